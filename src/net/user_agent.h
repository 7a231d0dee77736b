// What the program calls itself on every request of both of its HTTP clients.
#pragma once

#include <string>
#include <string_view>

namespace quillmark {

// The product token robots.txt groups must name to address this program ("User-agent:
// quillmark"); the crawl obeys that group, else the "*" group.
inline constexpr std::string_view kRobotsProductToken = "quillmark";

// "Quillmark/<version> (+robots.txt token: quillmark)": a site owner reading a log learns who
// fetched and how to keep the program out. The version is the build's (see
// cmake/QuillmarkVersion.cmake); only this file's object changes with it.
const std::string& ProgramUserAgent();

}  // namespace quillmark
