#include "app/run_aggregation.h"
