#include "files/CsvWriter.h"

#include "files/WriteAll.h"
#include "record/NumberText.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tellurim {

void CsvRow::separate()
{
    if (!m_first) {
        m_out.push_back(',');
    }
    m_first = false;
}

CsvRow& CsvRow::text(std::string_view value)
{
    separate();
    m_out.push_back('"');
    // Whole runs between quotes at a time: most texts have no quote at all.
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
    appendSingleFixed6(m_out, value);
    return *this;
}

CsvRow& CsvRow::integer(int32_t value)
{
    separate();
    appendInteger(m_out, value);
    return *this;
}

void CsvRow::end(bool trailingComma)
{
    if (trailingComma) {
        m_out.push_back(',');
    }
    m_out.append("\r\n");
}

CsvFile::~CsvFile()
{
    close();
}

std::optional<FileError> CsvFile::create(const std::string& path)
{
    close();
    // Opened without waiting, so that a named pipe nobody reads from is an
    // error (ENXIO) at once instead of a window that never answers again;
    // the writes themselves wait as usual.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    if (fd < 0) {
        return fileErrorFromErrno(errno, path);
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        const int error = errno;
        ::close(fd);
        return fileErrorFromErrno(error, path);
    }
    m_fd = fd;
    m_path = path;
    return std::nullopt;
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
