#include "core/path_io.h"

namespace kesrow {

std::FILE* OpenPath(const std::string& path, const char* mode)
{
    return std::fopen(path.c_str(), mode);
}

bool RenamePath(const std::string& from, const std::string& to)
{
    return std::rename(from.c_str(), to.c_str()) == 0;
}

void RemovePath(const std::string& path)
{
    std::remove(path.c_str());
}

}  // namespace kesrow
