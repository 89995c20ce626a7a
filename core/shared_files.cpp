#include "core/shared_files.h"

#include <cstdio>

namespace kesrow {

std::string ServerPathFile(const std::string& currentDirectory)
{
    return currentDirectory + kPathSeparator + kServerPathFileName;
}

std::string DateTimeText(const LocalDateTime& t)
{
    char buf[64];
    if (t.hour == 0 && t.minute == 0 && t.second == 0)
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", t.year, t.month, t.day);
    else
        std::snprintf(buf, sizeof buf, "%04d/%02d/%02d %d:%02d:%02d", t.year, t.month, t.day, t.hour,
                      t.minute, t.second);
    return buf;
}

std::string ConnectLine(const std::string& host, const std::string& when)
{
    return host + std::string(kHostEnd) + when + std::string(kConnected);
}

std::string DisconnectLine(const std::string& host, const std::string& when)
{
    return host + std::string(kHostEnd) + when + std::string(kDisconnected);
}

std::string MarkedDisconnectLine(const std::string& host, const std::string& when, const std::string& note)
{
    return DisconnectLine(host, when).append(kNoteStart).append(note).append(kNoteEnd);
}

std::string TakeOverNote(const std::string& by) { return by + "が引き継ぎ"; }
std::string ReleaseNote(const std::string& by) { return by + "で解除"; }

std::string ViolationMessage(const std::string& host, const std::string& when)
{
    return host + std::string(kViolationHostEnd) + when + std::string(kViolationEnd);
}

}  // namespace kesrow
