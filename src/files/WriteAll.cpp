#include "files/WriteAll.h"

#include <cerrno>
#include <unistd.h>

namespace tellurim {

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

}  // namespace tellurim
