#include "core/text_file.h"

#include <cerrno>
#include <cstring>
#include <string>

#include "core/codepage.h"

namespace kesrow {
namespace {

[[noreturn]] void Fail(const std::string& path, int err)
{
    throw FileError(path, std::strerror(err), err);
}

}  // namespace

FileError::FileError(const std::string& path, const std::string& message, int error)
    : std::runtime_error(path + ": " + message), path_(path), error_(error)
{
}

TextFile::TextFile(const std::string& path, OpenMode mode) : path_(path)
{
    const char* how = mode == OpenMode::Input ? "rb" : mode == OpenMode::Output ? "wb" : "ab";
    file_ = std::fopen(path.c_str(), how);
    if (!file_) Fail(path, errno);
}

TextFile::~TextFile()
{
    if (file_) std::fclose(file_);
}

void TextFile::Close()
{
    std::FILE* f = file_;
    file_ = nullptr;
    if (f && std::fclose(f) != 0) Fail(path_, errno);
}

void TextFile::loadContent()
{
    if (loaded_) return;
    loaded_ = true;
    // Read straight into our own buffer: the status file is read ten times
    // a second, and every system call counts there.
    std::setvbuf(file_, nullptr, _IONBF, 0);
    char buf[65536];
    size_t n;
    do {
        n = std::fread(buf, 1, sizeof buf, file_);
        content_.append(buf, n);
    } while (n == sizeof buf);
    if (std::ferror(file_)) Fail(path_, errno);
}

bool TextFile::AtEnd()
{
    loadContent();
    return pos_ >= content_.size();
}

std::string TextFile::ReadField()
{
    if (AtEnd()) throw FileError(path_, "input past end of file");
    // Code page 932 trail bytes are never a comma, quote, CR or LF, so the
    // delimiters can be found byte by byte.
    while (pos_ < content_.size() && content_[pos_] == ' ') ++pos_;
    std::string field;
    if (pos_ < content_.size() && content_[pos_] == '"') {
        size_t close = content_.find('"', pos_ + 1);
        size_t end = close == std::string::npos ? content_.size() : close;
        field = content_.substr(pos_ + 1, end - pos_ - 1);
        pos_ = end == content_.size() ? end : end + 1;
        // Whatever follows the closing quote up to the delimiter is dropped.
        size_t delim = content_.find_first_of(",\r\n", pos_);
        pos_ = delim == std::string::npos ? content_.size() : delim;
    } else {
        size_t delim = content_.find_first_of(",\r\n", pos_);
        if (delim == std::string::npos) delim = content_.size();
        field = content_.substr(pos_, delim - pos_);
        pos_ = delim;
    }
    if (pos_ < content_.size()) {
        if (content_[pos_] == '\r' && pos_ + 1 < content_.size() && content_[pos_ + 1] == '\n')
            pos_ += 2;
        else
            pos_ += 1;
    }
    return FromCp932(field);
}

void TextFile::WriteLine(std::initializer_list<std::string_view> items)
{
    std::string line;
    for (auto item : items) line += ToCp932(item);
    line += "\r\n";
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0)
        Fail(path_, errno);
}

void ReplaceWithLine(const std::string& path, std::string_view text)
{
    const std::string temp = path + ".new";
    try {
        TextFile out(temp, OpenMode::Output);
        out.WriteLine({text});
        out.Close();
    } catch (...) {
        std::remove(temp.c_str());
        throw;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        std::remove(temp.c_str());
        Fail(path, err);
    }
}

}  // namespace kesrow
