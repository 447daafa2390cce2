#include "files/CsvWriter.h"

#include "files/WriteAll.h"
#include "record/NumberText.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {

char* CsvRow::room(size_t bytes)
{
    if (m_used + bytes > kLineBytes) {
        flush();
    }
    return m_line + m_used;
}

void CsvRow::flush()
{
    m_out.append(m_line, m_used);
    m_used = 0;
}

void CsvRow::separate()
{
    if (!m_first) {
        *room(1) = ',';
        ++m_used;
    }
    m_first = false;
}

CsvRow& CsvRow::text(std::string_view value)
{
    separate();
    // Short texts without quotes (validity texts, names) go into the line,
    // looked at and copied in one pass.
    if (value.size() + 2 <= kLineBytes / 2) {
        char* at = room(value.size() + 2);
        bool quoted = false;
        at[0] = '"';
        for (size_t i = 0; i < value.size(); ++i) {
            at[i + 1] = value[i];
            quoted = quoted || value[i] == '"';
        }
        if (!quoted) {
            at[value.size() + 1] = '"';
            m_used += value.size() + 2;
            return *this;
        }
    }
    flush();
    m_out.push_back('"');
    // Whole runs between quotes at a time, each quote doubled.
    for (size_t quote = value.find('"'); quote != std::string_view::npos; quote = value.find('"')) {
        m_out.append(value.substr(0, quote + 1)).push_back('"');
        value.remove_prefix(quote + 1);
    }
    m_out.append(value).push_back('"');
    return *this;
}

CsvRow& CsvRow::number(float value)
{
    separate();
    char* at = room(kSingleFixed6Max);
    m_used += static_cast<size_t>(writeSingleFixed6(at, value) - at);
    return *this;
}

CsvRow& CsvRow::fixed(double value, int decimals)
{
    separate();
    flush();
    appendFixed(m_out, value, decimals);
    return *this;
}

CsvRow& CsvRow::numbers(std::span<const float> values)
{
    if (values.empty()) {
        return *this;
    }
    separate();
    char* at = room(values.size() * (kSingleFixed6Max + 1));
    m_used += static_cast<size_t>(writeSingleFixed6List(at, values) - at);
    return *this;
}

CsvRow& CsvRow::integer(int32_t value)
{
    separate();
    char* at = room(16);
    m_used += static_cast<size_t>(std::to_chars(at, at + 16, value).ptr - at);
    return *this;
}

void CsvRow::end(bool trailingComma)
{
    char* at = room(3);
    if (trailingComma) {
        *at++ = ',';
        ++m_used;
    }
    std::memcpy(at, "\r\n", 2);
    m_used += 2;
    flush();
}

CsvFile::~CsvFile()
{
    close();
}

std::optional<FileError> CsvFile::create(const std::string& path)
{
    if (auto error = open(path)) {
        return error;
    }
    return empty();
}

std::optional<FileError> CsvFile::open(const std::string& path)
{
    close();
    // Opened without waiting, so that a named pipe nobody reads from is an
    // error (ENXIO) at once instead of a window that never answers again;
    // the writes themselves wait as usual.
    constexpr int kFlags = O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    bool created = true;
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        // Exists, or is a link whose target is still to be made.
        created = false;
        fd = ::open(path.c_str(), kFlags | O_CREAT, 0666);
    }
    if (fd < 0) {
        FileError error = fileErrorFromErrno(errno, path);
        struct stat info {};
        if (error.osError == ENXIO && ::stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode)) {
            error.detail = "is a named pipe that no program reads from";
        }
        return error;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        const int error = errno;
        ::close(fd);
        if (created) {
            ::unlink(path.c_str());
        }
        return fileErrorFromErrno(error, path);
    }
    m_fd = fd;
    m_path = path;
    m_created = created;
    return std::nullopt;
}

std::optional<FileError> CsvFile::empty()
{
    struct stat info {};
    // Only a regular file has content to drop; a device or a pipe has none.
    if (m_fd >= 0 && ::fstat(m_fd, &info) == 0 && S_ISREG(info.st_mode) && ::ftruncate(m_fd, 0) != 0) {
        return fileErrorFromErrno(errno, m_path);
    }
    return std::nullopt;
}

void CsvFile::discard()
{
    if (m_fd >= 0 && m_created) {
        ::unlink(m_path.c_str());
    }
    close();
}

std::optional<FileError> CsvFile::write(std::string_view bytes, bool sync)
{
    if (m_fd < 0) {
        return FileError{FileCause::InvalidFile, EBADF, m_path};
    }
    if (auto error = writeRows(m_fd, bytes, m_path)) {
        return error;
    }
    if (sync && ::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
        return fileErrorFromErrno(errno, m_path);
    }
    return std::nullopt;
}

void CsvFile::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::string csvWriteErrorText(const FileError& error)
{
    return "Error writing CSV file. Code: " + std::to_string(static_cast<int>(error.cause)) + ".";
}

}  // namespace tellurim
