// The file system calls of the text files, one implementation per system:
// paths are UTF-8 here, and Windows takes them as UTF-16. Failures leave
// errno set, as the C library's own calls do.
#pragma once

#include <cstdio>
#include <string>

namespace kesrow {

std::FILE* OpenPath(const std::string& path, const char* mode);
// Moves from onto to, replacing to. False on failure.
bool RenamePath(const std::string& from, const std::string& to);
void RemovePath(const std::string& path);

}  // namespace kesrow
