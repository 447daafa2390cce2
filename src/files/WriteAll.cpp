#include "files/WriteAll.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {

namespace {

// Where the next write lands in a regular file, or -1 for anything else.
off_t rowStart(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0 && (flags & O_APPEND) != 0) {
        return info.st_size;
    }
    return ::lseek(fd, 0, SEEK_CUR);
}

}  // namespace

std::optional<FileError> writeAll(int fd, std::string_view bytes, const std::string& fileName)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fileErrorFromErrno(errno, fileName);
        }
        if (written == 0) {
            return fileErrorFromErrno(ENOSPC, fileName);
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return std::nullopt;
}

std::optional<FileError> writeRows(int fd, std::string_view bytes, const std::string& fileName)
{
    const off_t start = rowStart(fd);
    auto error = writeAll(fd, bytes, fileName);
    if (error && start >= 0) {
        // The error already says what went wrong; a file that cannot even
        // be cut back has nothing better to report.
        while (::ftruncate(fd, start) != 0 && errno == EINTR) {
        }
        ::lseek(fd, start, SEEK_SET);
    }
    return error;
}

}  // namespace tellurim
