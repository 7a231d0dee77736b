#include "cli/cli_version.h"

namespace quillmark {

std::string CliVersionLine() { return std::string("quillmark-cli ") + QUILLMARK_VERSION + "\n"; }

}  // namespace quillmark
