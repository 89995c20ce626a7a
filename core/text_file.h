// Byte text files in code page 932 with CR LF line ends, opened, used and
// closed inside one procedure. Text crosses this boundary as UTF-8.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

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
    Output,  // created if missing, emptied if present
    Append,  // created if missing; writing starts at its end
};

class TextFile {
public:
    TextFile(const std::string& path, OpenMode mode);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // True when nothing is left to read.
    bool AtEnd();
    // The next comma- or line-delimited field: leading spaces skipped, a
    // quoted field taken between its quotes. Throws at the end of the file.
    std::string ReadField();
    // The items one after the other, then CR LF, in one write.
    void WriteLine(std::initializer_list<std::string_view> items);
    // Reports a failed flush; the destructor closes silently.
    void Close();

private:
    void loadContent();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::string content_;  // whole file when open for reading
    std::size_t pos_ = 0;
    bool loaded_ = false;
};

// Replaces the file by one line (text + CR LF) through a temporary file in
// the same folder, so a failed write never leaves it emptied.
void ReplaceWithLine(const std::string& path, std::string_view text);

}  // namespace kesrow
