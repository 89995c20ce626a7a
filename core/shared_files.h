// The files the copies share, the texts they write, and the date-time text.
#pragma once

#include <string>
#include <string_view>

#include "core/platform.h"

namespace kesrow {

#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

inline constexpr const char* kStatusFileName = "kesrow.txt";
inline constexpr const char* kLogFileName = "kesrow.log";
inline constexpr const char* kServerPathFileName = "pas.txt";
inline constexpr const char* kFreeLine = "OK";

// The current directory, one separator, "pas.txt" (a root directory keeps
// its doubled separator, which names the same file).
std::string ServerPathFile(const std::string& currentDirectory);

// T: local short date, a blank, the time with seconds; the date alone at
// exactly midnight. "2026/12/07 9:05:03", never a comma or a double quote.
std::string DateTimeText(const LocalDateTime& t);

// The log lines' fixed pieces, written here and read back by the report:
// "H<kHostEnd>T<kConnected>", "H<kHostEnd>T<kDisconnected>", the latter
// for another computer followed by kNoteStart, a note and kNoteEnd, and
// "<kViolationMarker>H<kViolationHostEnd>T<kViolationEnd>".
inline constexpr std::string_view kHostEnd = "が、 ";
inline constexpr std::string_view kConnected = " 接続";
inline constexpr std::string_view kDisconnected = " 切断";
inline constexpr std::string_view kNoteStart = "（", kNoteEnd = "）";
inline constexpr std::string_view kViolationMark = "※※※※";
inline constexpr std::string_view kViolationHostEnd = "の接続違反が ";
inline constexpr std::string_view kViolationEnd = " にありました";
// The violation line is written as two items: the marker, then the message.
inline constexpr const char* kViolationMarker = "※※※※ ";

std::string ConnectLine(const std::string& host, const std::string& when);
std::string DisconnectLine(const std::string& host, const std::string& when);
// A disconnect written for another computer, its note saying by whom:
// "PC01が、 T 切断（PC03が引き継ぎ）", one field.
std::string MarkedDisconnectLine(const std::string& host, const std::string& when, const std::string& note);
std::string TakeOverNote(const std::string& by);
std::string ReleaseNote(const std::string& by);
std::string ViolationMessage(const std::string& host, const std::string& when);

}  // namespace kesrow
