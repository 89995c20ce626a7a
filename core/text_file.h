// Byte text files in code page 932 with CR LF line ends, opened, used and
// closed inside one procedure. Text crosses this boundary as UTF-8.
//
// Everything in the shared folder may have been written by anyone: files are
// opened without blocking, only ordinary files are used, and a read takes at
// most what the file can sensibly hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/file_calls.h"

namespace kesrow {

// A failed file access; what() names the file and the system's message.
class FileError : public std::runtime_error {
public:
    FileError(const std::string& path, const std::string& message, int error = 0);
    const std::string& path() const { return path_; }
    // The errno behind the failure, 0 when there is none.
    int error() const { return error_; }

private:
    std::string path_;
    int error_;
};

enum class OpenMode {
    Input,   // the file must exist; reading starts at its beginning
    Output,  // created if missing; its one line is written over it in place
    Append,  // created if missing; writing starts at its end
};

// The most a one-line file (a host name, a path) may hold.
inline constexpr std::size_t kLineFileLimit = 4096;

struct FileOptions {
    // For Input, the most bytes the file may hold; more is a failure.
    std::size_t limit = kLineFileLimit;
    files::Links links = files::Links::Refuse;
    // A file that Output or Append creates takes this one's access.
    std::string likeFile{};
};

// The field rule over bytes already read: comma- or line-delimited fields,
// leading spaces skipped, a quoted field taken between its quotes.
class FieldReader {
public:
    // fromCp932: the bytes are code page 932, converted field by field;
    // false when they were converted whole already (a long log).
    explicit FieldReader(std::string bytes = {}, bool fromCp932 = true)
        : content_(std::move(bytes)), fromCp932_(fromCp932)
    {
    }
    bool AtEnd() const { return pos_ >= content_.size(); }
    // The next field as UTF-8; the caller tests AtEnd first.
    std::string ReadField();

private:
    std::string content_;
    bool fromCp932_;
    std::size_t pos_ = 0;
};

class TextFile {
public:
    TextFile(const std::string& path, OpenMode mode, const FileOptions& options = {});
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // True when nothing is left to read.
    bool AtEnd();
    // The next field by the field rule. Throws at the end of the file.
    std::string ReadField();
    // The items one after the other, then CR LF, in one write. In output
    // mode they become the file's whole content, written over the old in
    // place, so that a reader never finds it empty; in append mode a last
    // line left without its line end is ended first.
    void WriteLine(std::initializer_list<std::string_view> items);
    // When the file was last written, by the file server's clock.
    files::FileTime Modified() const;
    // Reports a failed close; the destructor closes silently.
    void Close();

private:
    void loadContent();

    std::string path_;
    int fd_ = -1;
    OpenMode mode_;
    std::size_t limit_;
    FieldReader reader_;
    bool loaded_ = false;
    std::string_view unendedLine_;  // what ends a torn last line before the first append
};

// Replaces the user's own one-line file (pas.txt) at once: written whole to
// path + ".new" beside it, then moved over it, so that a reader sees the old
// or the new content and a failed write leaves the old.
void ReplaceWithLine(const std::string& path, std::string_view text);

// The field to write so that the field rule reads value back whole: in
// double quotes when it holds a comma or starts with a blank (the rule
// strips them, so every copy reads it); otherwise as it is.
std::string FieldText(const std::string& value);
// value as a copy reads it after it was written with FieldText: through code
// page 932 and the field rule.
std::string AsReadBack(const std::string& value);

// The whole file as bytes; more than limit bytes is a failure.
std::string ReadWhole(const std::string& path, std::size_t limit);

// A large file read from its end back: pieces of whole lines, each at most
// chunkBytes, go to take, the last first, until take returns true or the
// pieces reach mostBytes back from the end. A line longer than chunkBytes
// ends the reading too.
void ReadBackwards(const std::string& path, std::size_t chunkBytes, std::uint64_t mostBytes,
                   const std::function<bool(std::string_view)>& take);

// The last part of a file that may be large: at most maxBytes, starting at
// the beginning of a line. skipped tells how many bytes were left out.
std::string ReadTail(const std::string& path, std::size_t maxBytes, std::size_t& skipped);

}  // namespace kesrow
