// The system's file calls under the text files, one implementation per
// system (file_calls_posix.cpp: POSIX descriptors; file_calls_win32.cpp: the wide
// calls). Paths are UTF-8; every failure throws FileError naming the path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform.h"

namespace kesrow::files {

enum class Access {
    Read,       // the file must exist
    Write,      // created if missing; kept as it is (not emptied) when present
    Append,     // created if missing; writes go to the end
    CreateNew,  // created; fails when it exists
};

// The shared folder's files are opened as they are: a link in their place
// is refused, never followed to a file elsewhere. The user's own files
// (pas.txt) follow links as any program does.
enum class Links { Refuse, Follow };

// Opens without waiting (a FIFO in the file's place would block for ever)
// and keeps the file only when it is an ordinary file; a file opened to be
// read may be found out only by the calls below that read or measure it.
// A file that this call creates takes the permission bits (and, where the
// folder allows, the group) of likeFile, so that every user of a shared
// folder can use it.
int Open(const std::string& path, Access access, Links links = Links::Refuse, const std::string& likeFile = {});
// Reports a failed close: a network file system reports a failed write as late as here.
void Close(int fd, const std::string& path);
void CloseQuietly(int fd);
std::uint64_t Size(int fd, const std::string& path);
// Fails unless fd is an ordinary file: for a read that found nothing, or
// more than an ordinary file of its kind holds.
void CheckOrdinary(int fd, const std::string& path);
// Reads up to size bytes from the current position; 0 at the end.
std::size_t ReadSome(int fd, const std::string& path, char* buffer, std::size_t size);
// At most length bytes from offset on.
std::string ReadAt(int fd, const std::string& path, std::uint64_t offset, std::size_t length);
// One write, so that a line is never interleaved with another computer's
// append; a short write (a full disk) is a failure, its part cut off again.
void WriteWhole(int fd, const std::string& path, const std::string& bytes);
// The file's content becomes bytes, in place: one write at offset 0, then
// the file is cut to that length. It keeps its identity, owner and access
// rules; a reader in between sees the new line before the old tail.
void Overwrite(int fd, const std::string& path, const std::string& bytes);
// When the file was last written, by the clock of the computer that holds
// it (a file server's), and that moment in this computer's local time.
struct FileTime {
    std::int64_t seconds = 0;  // since 1970-01-01 UTC
    LocalDateTime local;
};
FileTime Modified(int fd, const std::string& path);
// The names in folder that start with prefix and end with suffix, at most
// most of them, in no particular order; links and folders among them too.
std::vector<std::string> FolderNames(const std::string& folder, std::string_view prefix, std::string_view suffix,
                                     std::size_t most);
// Nothing left at path; one that was never there is no failure.
void Remove(const std::string& path);
// The one place where a finished temporary file takes the file's place.
void MoveOver(const std::string& from, const std::string& to);

}  // namespace kesrow::files
