#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {

/// Ends the whole test process (SIGALRM) when the scope is not left within
/// the given seconds, so that a read that blocks fails its test instead of
/// hanging the run.
class Deadline {
public:
    explicit Deadline(unsigned seconds) { ::alarm(seconds); }
    ~Deadline() { ::alarm(0); }
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;
};

/// A named pipe that nobody writes to: opening it for reading blocks.
inline std::string makeFifo(const std::filesystem::path& folder, const std::string& name)
{
    const std::string path = (folder / name).string();
    ::mkfifo(path.c_str(), 0600);
    return path;
}

/// A file of the given size that takes no room on disk (a hole).
inline std::string makeSparseFile(const std::filesystem::path& folder, const std::string& name,
                                  std::uint64_t bytes)
{
    const std::string path = (folder / name).string();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        [[maybe_unused]] const int truncated = ::ftruncate(fd, static_cast<off_t>(bytes));
        ::close(fd);
    }
    return path;
}

}  // namespace tellurim
