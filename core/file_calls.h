// The system's file calls under the text files, one implementation per
// system (file_calls.cpp: POSIX descriptors; platform/win32: the wide
// calls). Paths are UTF-8; every failure throws FileError naming the path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kesrow::files {

enum class Access {
    Read,       // the file must exist
    Truncate,   // created if missing, emptied if present
    Append,     // created if missing; writes go to the end
    CreateNew,  // created; fails when it exists
};

// Opens without waiting (a FIFO in the file's place would block for ever)
// and keeps the file only when it is an ordinary file.
int Open(const std::string& path, Access access);
// Reports a failed close: a network file system reports a failed write as late as here.
void Close(int fd, const std::string& path);
void CloseQuietly(int fd);
std::uint64_t Size(int fd, const std::string& path);
// Reads up to size bytes from the current position; 0 at the end.
std::size_t ReadSome(int fd, const std::string& path, char* buffer, std::size_t size);
// At most length bytes from offset on.
std::string ReadAt(int fd, const std::string& path, std::uint64_t offset, std::size_t length);
// One write, so that a line is never interleaved with another computer's
// append; a short write (a full disk) is a failure.
void WriteWhole(int fd, const std::string& path, const std::string& bytes);
// The new file keeps who may read the file it replaces.
void KeepAccess(const std::string& replaced, int fd);
// Nothing left at path; one that was never there is no failure.
void Remove(const std::string& path);
// The one place where a finished temporary file takes the file's place.
void MoveOver(const std::string& from, const std::string& to);

}  // namespace kesrow::files
