#include <memory>

#include <ctime>
#include <filesystem>
#include <system_error>

#include <gtest/gtest.h>

#include "platform/posix/posix_services.h"
#include "scoped_env.h"
#include "test_files.h"

namespace kesrow {
namespace {

using testing::ScopedEnv;

LocalDateTime Fields(const std::tm& tm)
{
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool operator==(const LocalDateTime& a, const LocalDateTime& b)
{
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

// Japan's time, nine hours ahead of UTC, computed here from UTC.
LocalDateTime JapanTime(std::time_t t)
{
    t += 9 * 3600;
    std::tm tm{};
    gmtime_r(&t, &tm);
    return Fields(tm);
}

TEST(LocalClock, GivesTheLocalCalendarTimeOfNow)
{
    ScopedEnv tz("TZ", "JST-9");
    tzset();
    const std::time_t before = std::time(nullptr);
    const LocalDateTime now = LocalClock().now();
    const std::time_t after = std::time(nullptr);
    unsetenv("TZ");
    tzset();

    EXPECT_TRUE(now == JapanTime(before) || now == JapanTime(after))
        << now.year << "/" << now.month << "/" << now.day << " " << now.hour << ":" << now.minute
        << ":" << now.second;
}

TEST(CurrentDirectory, IsWhereTheProcessStandsAndAnErrorOnceRemoved)
{
    const auto original = std::filesystem::current_path();
    auto dir = std::make_unique<testing::TempDir>();
    std::filesystem::current_path(dir->path());
    EXPECT_EQ(CurrentDirectory(), std::filesystem::canonical(dir->path()).string());
    dir.reset();
    EXPECT_THROW(CurrentDirectory(), std::system_error);
    std::filesystem::current_path(original);
}

}  // namespace
}  // namespace kesrow
