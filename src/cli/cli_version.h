#pragma once
// What --version prints.

#include <string>

namespace quillmark {

// "quillmark-cli " and the version the build was made from ("0.1.0+128"), with a line end.
std::string CliVersionLine();

}  // namespace quillmark
