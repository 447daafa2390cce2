#include "files/ReplaceFile.h"

#include "files/WriteAll.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tellurim {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

/// The file that a write to path must replace: path itself, or the final
/// target of a symbolic link, so that replacing never turns a link into a file.
std::string resolvedTarget(const std::string& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return path;  // dangling link: the link itself is replaced
    }
    return resolved;
}

}  // namespace

bool pathExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::optional<ReplaceFailure> replaceFileContents(const std::string& path, std::string_view bytes)
{
    if (path.empty() || path.find('\0') != std::string::npos) {
        return ReplaceFailure{ReplaceStage::Create, FileError{FileCause::BadPath, EINVAL, path}};
    }
    const std::string target = resolvedTarget(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists) {
        // A folder cannot be replaced by a file, and a file its owner made
        // read-only must not be replaced behind that protection.
        if (S_ISDIR(existing.st_mode)) {
            return ReplaceFailure{ReplaceStage::Create, fileErrorFromErrno(EISDIR, path)};
        }
        if (::access(target.c_str(), W_OK) != 0) {
            return ReplaceFailure{ReplaceStage::Create, fileErrorFromErrno(errno, path)};
        }
    }

    // A short private name in the target's folder: rename within one file
    // system is atomic, and a long target name cannot push it past the limit.
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target);
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder + "/.tellurim-" + std::to_string(::getpid()) + "-" +
                    std::to_string(counter.fetch_add(1)) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return ReplaceFailure{ReplaceStage::Create, fileErrorFromErrno(errno, path)};
        }
    }
    if (fd < 0) {
        return ReplaceFailure{ReplaceStage::Create, fileErrorFromErrno(EEXIST, path)};
    }

    int errorNumber = 0;
    bool ok = true;
    if (exists && ::fchmod(fd, existing.st_mode & 07777) != 0) {
        errorNumber = errno;
        ok = false;
    }
    if (ok) {
        if (const auto error = writeAll(fd, bytes, path)) {
            errorNumber = error->osError;
            ok = false;
        }
    }
    if (ok && ::fsync(fd) != 0) {
        errorNumber = errno;
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        errorNumber = errno;
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        errorNumber = errno;
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return ReplaceFailure{ReplaceStage::Write, fileErrorFromErrno(errorNumber, path)};
    }

    // Make the rename itself durable; a folder that cannot be synced does
    // not undo a replacement that has already happened.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return std::nullopt;
}

}  // namespace tellurim
