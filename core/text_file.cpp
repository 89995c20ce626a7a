#include "core/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/codepage.h"
#include "core/texts.h"

namespace kesrow {
namespace {

std::string SystemMessage(int err)
{
    char buf[256];
    // GNU strerror_r: the message in the user's language where the system has it.
    return strerror_r(err, buf, sizeof buf);
}

[[noreturn]] void Fail(const std::string& path, int err)
{
    throw FileError(path, SystemMessage(err), err);
}

// Opens without waiting (a FIFO in the file's place would block open for
// ever) and keeps the descriptor only for an ordinary file.
int OpenOrdinaryFile(const std::string& path, int flags, mode_t mode = 0666)
{
    const int fd = open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0) Fail(path, errno);
    struct stat st {};
    if (fstat(fd, &st) != 0) {
        const int err = errno;
        close(fd);
        Fail(path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        throw FileError(path, kNotOrdinaryFile, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    fcntl(fd, F_SETFL, flags & O_APPEND);  // of the flags F_SETFL sets, keep O_APPEND alone
    return fd;
}

// Reads from the current position to the end; more than limit bytes fails.
std::string ReadAtMost(int fd, const std::string& path, std::size_t limit)
{
    std::string content(std::min<std::size_t>(limit + 1, 65536), '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == content.size()) {
            if (size > limit) throw FileError(path, TooLargeText(limit), EFBIG);
            content.resize(std::min(limit + 1, size * 2));
        }
        const ssize_t n = read(fd, content.data() + size, content.size() - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(path, errno);
        if (n == 0) break;
        size += std::size_t(n);
    }
    if (size > limit) throw FileError(path, TooLargeText(limit), EFBIG);
    content.resize(size);
    return content;
}

// One write() call, so that a line is never interleaved with another
// computer's append; a short write (a full disk) is a failure.
void WriteWhole(int fd, const std::string& path, const std::string& bytes)
{
    ssize_t n;
    do n = write(fd, bytes.data(), bytes.size());
    while (n < 0 && errno == EINTR);
    if (n < 0) Fail(path, errno);
    if (std::size_t(n) != bytes.size()) Fail(path, ENOSPC);
}

// The one place where a finished temporary file takes the file's place.
void MoveOver(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0) Fail(to, errno);
}

std::string LineBytes(std::initializer_list<std::string_view> items)
{
    std::string line;
    for (auto item : items) line += ToCp932(item);
    line += "\r\n";
    return line;
}

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
    return fromCp932_ ? FromCp932(field) : field;
}

TextFile::TextFile(const std::string& path, OpenMode mode, std::size_t limit) : path_(path), limit_(limit)
{
    switch (mode) {
    case OpenMode::Input:
        fd_ = OpenOrdinaryFile(path, O_RDONLY);
        break;
    case OpenMode::Output:
        fd_ = OpenOrdinaryFile(path, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW);
        break;
    case OpenMode::Append: {
        // Read access only to see how the last line ends.
        try {
            fd_ = OpenOrdinaryFile(path, O_RDWR | O_APPEND | O_CREAT);
        } catch (const FileError& e) {
            if (e.error() != EACCES) throw;
            fd_ = OpenOrdinaryFile(path, O_WRONLY | O_APPEND | O_CREAT);
        }
        struct stat st {};
        char last = '\n';
        if (fstat(fd_, &st) == 0 && st.st_size > 0 && pread(fd_, &last, 1, st.st_size - 1) == 1)
            unendedLine_ = last == '\n' ? "" : last == '\r' ? "\n" : "\r\n";
        break;
    }
    }
}

TextFile::~TextFile()
{
    if (fd_ >= 0) close(fd_);
}

void TextFile::Close()
{
    const int fd = fd_;
    fd_ = -1;
    // A network file system reports a failed write as late as here.
    if (fd >= 0 && close(fd) != 0) Fail(path_, errno);
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
    WriteWhole(fd_, path_, std::string(unendedLine_) + LineBytes(items));
    unendedLine_ = {};
}

void ReplaceWithLine(const std::string& path, std::string_view text, std::string tempPath)
{
    if (tempPath.empty()) tempPath = path + ".new";
    // Failures name the file the user knows, not the temporary one.
    try {
        // Exclusive creation after the removal: a stale file or a planted
        // link in its place is never written through.
        if (unlink(tempPath.c_str()) != 0 && errno != ENOENT) Fail(path, errno);
        const int fd = OpenOrdinaryFile(tempPath, O_WRONLY | O_CREAT | O_EXCL);
        struct stat old {};
        if (stat(path.c_str(), &old) == 0) fchmod(fd, old.st_mode & 07777);  // keep who may read it
        try {
            WriteWhole(fd, path, LineBytes({text}));
        } catch (...) {
            close(fd);
            throw;
        }
        if (close(fd) != 0) Fail(path, errno);
        MoveOver(tempPath, path);
    } catch (const FileError& e) {
        unlink(tempPath.c_str());
        if (e.path() == path) throw;
        throw FileError(path, e.what() + e.path().size() + 2, e.error());
    }
}

std::string TemporaryFileFor(const std::string& path, const std::string& hostName)
{
    constexpr std::size_t kMostNameBytes = 64;
    std::string name;
    for (unsigned char c : hostName) {
        if (name.size() >= kMostNameBytes) break;
        const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (plain || c == '-' || c == '_' || c == '.') {
            name += char(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", c);
            name += hex;
        }
    }
    return path + "." + name + ".tmp";
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

std::string ReadTail(const std::string& path, std::size_t maxBytes, std::size_t& skipped)
{
    const int fd = OpenOrdinaryFile(path, O_RDONLY);
    struct Closer {
        int fd;
        ~Closer() { close(fd); }
    } closer{fd};
    struct stat st {};
    if (fstat(fd, &st) != 0) Fail(path, errno);
    skipped = 0;
    const std::size_t size = std::size_t(st.st_size);
    if (size <= maxBytes) {
        std::string all = ReadAtMost(fd, path, maxBytes);
        return all;
    }
    // One byte more than shown: a cut that falls on a line start loses nothing.
    const std::size_t start = size - maxBytes - 1;
    std::string tail(maxBytes + 1, '\0');
    ssize_t n;
    do n = pread(fd, tail.data(), tail.size(), off_t(start));
    while (n < 0 && errno == EINTR);
    if (n < 0) Fail(path, errno);
    tail.resize(std::size_t(n));
    const std::size_t lineStart = tail.find('\n');
    if (lineStart == std::string::npos) {
        skipped = size;
        return {};
    }
    skipped = start + lineStart + 1;
    return tail.substr(lineStart + 1);
}

}  // namespace kesrow
