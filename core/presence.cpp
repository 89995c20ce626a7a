#include "core/presence.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/shared_files.h"
#include "core/text_file.h"

namespace kesrow {
namespace {

// More presence files than an office has computers are not read.
constexpr std::size_t kMostPresences = 1000;

std::optional<Presence> ReadPresenceFile(const std::string& path)
{
    TextFile file(path, OpenMode::Input);
    Presence presence;
    if (file.AtEnd()) return {};
    presence.host = file.ReadField();
    if (!file.AtEnd()) presence.doing = file.ReadField();
    presence.written = file.Modified();
    file.Close();
    return presence;
}

}  // namespace

PresenceTimings PresenceTimingsOfThisRun()
{
    PresenceTimings timings;
    const char* given = std::getenv("KESROW_PRESENCE_SECONDS");
    unsigned refresh = 0, gone = 0;
    char end = 0;
    if (given && std::sscanf(given, "%u,%u%c", &refresh, &gone, &end) == 2 && refresh >= 1 && gone >= 1) {
        timings.refresh = std::chrono::seconds(refresh);
        timings.goneAfter = std::chrono::seconds(gone);
    }
    return timings;
}

std::string PresenceFileName(const std::string& host)
{
    std::string name = kPresencePrefix;
    for (const unsigned char c : host) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-') {
            name += char(c);
        } else if (c >= 'A' && c <= 'Z') {
            name += char(c - 'A' + 'a');
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "_%02X", c);
            name += hex;
        }
    }
    return name + kPresenceSuffix;
}

files::FileTime WritePresence(const std::string& serverPath, const std::string& host, bool holding,
                              const std::string& likeFile)
{
    TextFile file(serverPath + PresenceFileName(host), OpenMode::Output, {.likeFile = likeFile});
    file.WriteLine({FieldText(host), ",", holding ? kDoingHold : kDoingWait});
    const files::FileTime written = file.Modified();
    file.Close();
    return written;
}

std::optional<Presence> ReadPresence(const std::string& serverPath, const std::string& host)
{
    std::optional<Presence> presence;
    try {
        presence = ReadPresenceFile(serverPath + PresenceFileName(host));
    } catch (const FileError& e) {
        if (e.error() == ENOENT) return {};
        throw;
    }
    if (presence && presence->host != host) return {};
    return presence;
}

std::vector<Presence> ReadAllPresences(const std::string& serverPath)
{
    std::vector<Presence> all;
    const auto names = files::FolderNames(serverPath.empty() ? "." : serverPath, kPresencePrefix,
                                          kPresenceSuffix, kMostPresences);
    for (const std::string& name : names) {
        try {
            auto presence = ReadPresenceFile(serverPath + name);
            // Only a file that its own computer wrote: the name fits the content.
            if (presence && PresenceFileName(presence->host) == name) all.push_back(std::move(*presence));
        } catch (const FileError&) {
            // Removed meanwhile, or not an ordinary file: no presence.
        }
    }
    std::sort(all.begin(), all.end(), [](const Presence& a, const Presence& b) { return a.host < b.host; });
    return all;
}

bool Gone(const Presence& presence, std::int64_t reference, std::chrono::milliseconds goneAfter)
{
    return std::chrono::seconds(reference - presence.written.seconds) >= goneAfter;
}

std::string NoAnswerNote(const LocalDateTime& since, const LocalDateTime& today)
{
    char text[32];
    if (since.year == today.year && since.month == today.month && since.day == today.day)
        std::snprintf(text, sizeof text, "%d:%02d", since.hour, since.minute);
    else
        std::snprintf(text, sizeof text, "%d/%d %d:%02d", since.month, since.day, since.hour, since.minute);
    return std::string("（") + text + " から応答がありません）";
}

}  // namespace kesrow
