#pragma once
// The run aggregation: counting, folding and ranking the words of a gathering run.
// (The operation itself arrives with the text analysis.)
