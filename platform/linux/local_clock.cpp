#include <cerrno>
#include <ctime>
#include <system_error>

#include "platform/linux/posix_services.h"

namespace kesrow {

LocalDateTime LocalClock::now()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr)
        throw std::system_error(errno, std::generic_category(), "localtime_r");
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace kesrow
