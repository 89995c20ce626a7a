#include "core/text_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/codepage.h"
#include "core/file_calls.h"
#include "core/texts.h"

namespace kesrow {
namespace {

std::string LineBytes(std::initializer_list<std::string_view> items)
{
    std::string line;
    for (auto item : items) line += ToCp932(item);
    line += "\r\n";
    return line;
}

// From the current position to the end; more than limit bytes fails. Read
// through a chunk on the stack, so that a four-byte status file costs four
// bytes and not a zeroed buffer of the limit's size on every tick. An
// ordinary file gives less than asked only at its end, so a short read is
// the last; reading nothing at all, or too much, may be a FIFO or a device
// in the file's place, and is told as such.
std::string ReadAtMost(int fd, const std::string& path, std::size_t limit)
{
    std::string content;
    char chunk[65536];
    for (;;) {
        const std::size_t asked = std::min(sizeof chunk, limit + 1 - content.size());
        const std::size_t n = files::ReadSome(fd, path, chunk, asked);
        content.append(chunk, n);
        if (content.size() > limit) {
            files::CheckOrdinary(fd, path);
            throw FileError(path, TooLargeText(limit), EFBIG);
        }
        if (n < asked) break;
    }
    if (content.empty()) files::CheckOrdinary(fd, path);
    return content;
}

// The next comma, CR or LF from pos on, or the end. (find_first_of calls
// memchr for every byte: a long log would spend its time there.)
std::size_t NextDelimiter(const std::string& s, std::size_t pos)
{
    return std::find_if(s.begin() + pos, s.end(), [](char c) { return c == ',' || c == '\r' || c == '\n'; }) - s.begin();
}

struct ClosedAtEnd {
    int fd;
    ~ClosedAtEnd() { files::CloseQuietly(fd); }
};

}  // namespace

FileError::FileError(const std::string& path, const std::string& message, int error)
    : std::runtime_error(path + ": " + message), path_(path), error_(error)
{
}

std::string FieldReader::ReadField()
{
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
        pos_ = NextDelimiter(content_, pos_);
    } else {
        const size_t delim = NextDelimiter(content_, pos_);
        field = content_.substr(pos_, delim - pos_);
        pos_ = delim;
    }
    if (pos_ < content_.size()) {
        if (content_[pos_] == '\r' && pos_ + 1 < content_.size() && content_[pos_ + 1] == '\n')
            pos_ += 2;
        else
            pos_ += 1;
    }
    return fromCp932_ ? FromCp932(field) : field;
}

TextFile::TextFile(const std::string& path, OpenMode mode, const FileOptions& options)
    : path_(path), mode_(mode), limit_(options.limit)
{
    switch (mode) {
    case OpenMode::Input:
        fd_ = files::Open(path, files::Access::Read, options.links);
        break;
    case OpenMode::Output:
        fd_ = files::Open(path, files::Access::Write, options.links, options.likeFile);
        break;
    case OpenMode::Append: {
        fd_ = files::Open(path, files::Access::Append, options.links, options.likeFile);
        // How the last line ends: a failure to tell is taken as a line end.
        std::string last;
        try {
            const std::uint64_t size = files::Size(fd_, path);
            if (size > 0) last = files::ReadAt(fd_, path, size - 1, 1);
        } catch (const FileError&) {
        }
        if (!last.empty()) unendedLine_ = last == "\n" ? "" : last == "\r" ? "\n" : "\r\n";
        break;
    }
    }
}

TextFile::~TextFile()
{
    if (fd_ >= 0) files::CloseQuietly(fd_);
}

files::FileTime TextFile::Modified() const
{
    return files::Modified(fd_, path_);
}

void TextFile::Close()
{
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0) files::Close(fd, path_);
}

void TextFile::loadContent()
{
    if (loaded_) return;
    loaded_ = true;
    reader_ = FieldReader(ReadAtMost(fd_, path_, limit_));
}

bool TextFile::AtEnd()
{
    loadContent();
    return reader_.AtEnd();
}

std::string TextFile::ReadField()
{
    if (AtEnd()) throw FileError(path_, kReadPastEnd);
    return reader_.ReadField();
}

void TextFile::WriteLine(std::initializer_list<std::string_view> items)
{
    if (mode_ == OpenMode::Output) return files::Overwrite(fd_, path_, LineBytes(items));
    files::WriteWhole(fd_, path_, std::string(unendedLine_) + LineBytes(items));
    unendedLine_ = {};
}

void ReplaceWithLine(const std::string& path, std::string_view text)
{
    const std::string tempPath = path + ".new";
    // Failures name the file the user knows, not the temporary one.
    try {
        // Exclusive creation after the removal: a stale file or a planted
        // link in its place is never written through.
        files::Remove(tempPath);
        const int fd = files::Open(tempPath, files::Access::CreateNew, files::Links::Refuse, path);
        try {
            files::WriteWhole(fd, path, LineBytes({text}));
        } catch (...) {
            files::CloseQuietly(fd);
            throw;
        }
        files::Close(fd, path);
        files::MoveOver(tempPath, path);
    } catch (const FileError& e) {
        try {
            files::Remove(tempPath);
        } catch (const FileError&) {
        }
        if (e.path() == path) throw;
        throw FileError(path, e.what() + e.path().size() + 2, e.error());
    }
}

std::string FieldText(const std::string& value)
{
    const bool blankAtAnEnd = !value.empty() && (value.front() == ' ' || value.back() == ' ');
    const bool needsQuotes = blankAtAnEnd || value.find(',') != std::string::npos;
    if (!needsQuotes || value.find('"') != std::string::npos) return value;
    return '"' + value + '"';
}

std::string AsReadBack(const std::string& value)
{
    return FieldReader(LineBytes({FieldText(value)})).ReadField();
}

std::string ReadWhole(const std::string& path, std::size_t limit)
{
    const ClosedAtEnd file{files::Open(path, files::Access::Read, files::Links::Refuse)};
    return ReadAtMost(file.fd, path, limit);
}

void ReadBackwards(const std::string& path, std::size_t chunkBytes, std::uint64_t mostBytes,
                   const std::function<bool(std::string_view)>& take)
{
    const ClosedAtEnd file{files::Open(path, files::Access::Read, files::Links::Refuse)};
    std::uint64_t end = files::Size(file.fd, path);
    const std::uint64_t first = end > mostBytes ? end - mostBytes : 0;
    while (end > first) {
        const std::uint64_t start = std::max(first, end - std::min<std::uint64_t>(end, chunkBytes));
        // One byte more: a cut that falls on a line start loses nothing. The
        // line the cut falls in is read with the chunk before.
        const std::uint64_t from = start > 0 ? start - 1 : 0;
        const std::string chunk = files::ReadAt(file.fd, path, from, std::size_t(end - from));
        std::size_t lineStart = 0;
        if (start > 0) {
            lineStart = chunk.find_first_of("\r\n") + 1;  // 0 when there is none
            if (lineStart == 0 || lineStart == chunk.size()) return;
        }
        if (take(std::string_view(chunk).substr(lineStart)) || start == first) return;
        end = from + lineStart;
    }
}

std::string ReadTail(const std::string& path, std::size_t maxBytes, std::size_t& skipped)
{
    const int fd = files::Open(path, files::Access::Read, files::Links::Refuse);
    const ClosedAtEnd closer{fd};
    skipped = 0;
    const std::size_t size = std::size_t(files::Size(fd, path));
    if (size <= maxBytes) return ReadAtMost(fd, path, maxBytes);
    // One byte more than shown: a cut that falls on a line start loses nothing.
    const std::size_t start = size - maxBytes - 1;
    const std::string tail = files::ReadAt(fd, path, start, maxBytes + 1);
    const std::size_t lineStart = tail.find('\n');
    if (lineStart == std::string::npos) {
        skipped = size;
        return {};
    }
    skipped = start + lineStart + 1;
    return tail.substr(lineStart + 1);
}

}  // namespace kesrow
