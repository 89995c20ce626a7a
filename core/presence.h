// Presence: each running copy keeps one small file of its own in the shared
// folder, written again every half minute and at every claim and release,
// and removed when the copy ends. A holder whose file has stood unwritten
// for three minutes is gone (a power cut, a crash, a copy killed), and the
// line may be taken over from it. Ages are told by the file server's clock
// alone: one presence's time against another's, never against this
// computer's clock. A holder without a presence file (a hand edit, a copy
// that keeps none) is never gone.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "core/file_calls.h"

namespace kesrow {

inline constexpr std::chrono::milliseconds kPresenceRefresh{30'000};
inline constexpr std::chrono::milliseconds kHolderGoneAfter{180'000};

struct PresenceTimings {
    std::chrono::milliseconds refresh = kPresenceRefresh;
    std::chrono::milliseconds goneAfter = kHolderGoneAfter;
};
// The shipped timings, or for tests those KESROW_PRESENCE_SECONDS gives:
// "refresh,gone", whole seconds, each at least 1.
PresenceTimings PresenceTimingsOfThisRun();

// What a copy is doing, as its presence file says it.
inline constexpr const char* kDoingHold = "回線を使用中";
inline constexpr const char* kDoingWait = "待機中";

// "kesrow.<host>.presence": the host name lowered, every byte but a-z,
// 0-9 and "-" written as "_XX", so that every file system takes it and
// computers whose names differ only in case share one file.
std::string PresenceFileName(const std::string& host);
inline constexpr const char* kPresencePrefix = "kesrow.";
inline constexpr const char* kPresenceSuffix = ".presence";

struct Presence {
    std::string host;
    std::string doing;
    files::FileTime written;
};

// Writes this computer's presence in place (created like the log when
// missing) and returns the file server's time of the write.
files::FileTime WritePresence(const std::string& serverPath, const std::string& host, bool holding,
                              const std::string& likeFile);
// The presence file of host; nothing when there is none, or when it names
// another computer. Throws FileError when it exists and cannot be read.
std::optional<Presence> ReadPresence(const std::string& serverPath, const std::string& host);
// Every presence in the folder that can be read, by host name.
std::vector<Presence> ReadAllPresences(const std::string& serverPath);

// The presence has stood unwritten for goneAfter by the time of reference
// (another write's time on the same server).
bool Gone(const Presence& presence, std::int64_t reference, std::chrono::milliseconds goneAfter);

// After the held line's tooltip for a holder that is gone: since when it
// has not answered; the date too when that was not today.
std::string NoAnswerNote(const LocalDateTime& since, const LocalDateTime& today);

}  // namespace kesrow
