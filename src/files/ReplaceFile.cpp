#include "files/ReplaceFile.h"

#include "files/WriteAll.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tellurim {

namespace {

// More links in a row than this are taken for a loop, as the system does.
constexpr int kMaxLinkDepth = 40;

ReplaceFailure failure(ReplaceStage stage, int errorNumber, const std::string& path)
{
    return ReplaceFailure{stage, fileErrorFromErrno(errorNumber, path)};
}

// Makes a rename in folder durable; a folder that cannot be synced does not
// undo a replacement that has already happened.
void syncFolder(const std::string& folder)
{
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

}  // namespace

std::string folderOfPath(const std::string& path)
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

std::optional<std::string> finalLinkTarget(const std::string& path)
{
    std::string current = path;
    std::vector<char> buffer(PATH_MAX);
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return current;
        }
        const ssize_t length = ::readlink(current.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) {
            return current;
        }
        const std::string link(buffer.data(), static_cast<size_t>(length));
        current = link.front() == '/' ? link : folderOfPath(current) + "/" + link;
    }
    return std::nullopt;
}

PendingReplacement::~PendingReplacement()
{
    abandon();
}

std::optional<ReplaceFailure> PendingReplacement::begin(const std::string& path)
{
    abandon();
    m_path = path;
    m_unflushed = 0;
    if (path.empty() || path.find('\0') != std::string::npos) {
        return failure(ReplaceStage::Create, EINVAL, path);
    }
    const std::optional<std::string> target = finalLinkTarget(path);
    if (!target) {
        return failure(ReplaceStage::Create, ELOOP, path);
    }
    m_target = *target;
    struct stat existing {};
    m_replaces = ::stat(m_target.c_str(), &existing) == 0;
    if (m_replaces) {
        // A folder cannot be replaced by a file, and a file its owner made
        // read-only must not be replaced behind that protection.
        if (S_ISDIR(existing.st_mode)) {
            return failure(ReplaceStage::Create, EISDIR, path);
        }
        if (::access(m_target.c_str(), W_OK) != 0) {
            return failure(ReplaceStage::Create, errno, path);
        }
    }
    if (auto created = createTemporary()) {
        return created;
    }
    if (m_replaces) {
        if (auto error = takeOverFrom(existing.st_mode, existing.st_uid, existing.st_gid)) {
            abandon();
            return ReplaceFailure{ReplaceStage::Write, *error};
        }
    }
    return std::nullopt;
}

std::optional<ReplaceFailure> PendingReplacement::createTemporary()
{
    // A short private name in the target's folder: rename within one file
    // system is atomic, and a long target name cannot push it past the limit.
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOfPath(m_target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        m_temporary = folder + "/.tellurim-" + std::to_string(::getpid()) + "-" +
                      std::to_string(counter.fetch_add(1)) + ".tmp";
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            return std::nullopt;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int errorNumber = errno;
    m_temporary.clear();
    return failure(ReplaceStage::Create, errorNumber, m_path);
}

std::optional<FileError> PendingReplacement::takeOverFrom(uint32_t mode, uint32_t owner, uint32_t group)
{
    // Owner first: changing it may clear the set-id bits that fchmod sets.
    struct stat fresh {};
    if (::geteuid() == 0 && ::fstat(m_fd, &fresh) == 0 && (fresh.st_uid != owner || fresh.st_gid != group) &&
        ::fchown(m_fd, owner, group) != 0) {
        return fileErrorFromErrno(errno, m_path);
    }
    if (::fchmod(m_fd, mode & 07777) != 0) {
        return fileErrorFromErrno(errno, m_path);
    }
    return std::nullopt;
}

std::optional<FileError> PendingReplacement::write(std::string_view bytes)
{
    if (m_fd < 0) {
        return FileError{FileCause::InvalidFile, EBADF, m_path};
    }
    if (auto error = writeRows(m_fd, bytes, m_path)) {
        return error;
    }
    // Large files are handed to the disk while they are written, so that the
    // sync before the rename waits for the last stretch only, not the whole file.
    constexpr size_t kWritebackBytes = size_t{8} << 20;
    m_unflushed += bytes.size();
    if (m_unflushed >= kWritebackBytes) {
        ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        m_unflushed = 0;
    }
    return std::nullopt;
}

// A library that wrote the temporary file by name may have put a new file
// there: that one is committed, with what the opened one had taken over.
std::optional<FileError> PendingReplacement::followTemporaryName()
{
    struct stat opened {};
    struct stat named {};
    if (::fstat(m_fd, &opened) != 0 || ::stat(m_temporary.c_str(), &named) != 0) {
        return fileErrorFromErrno(errno, m_path);
    }
    if (opened.st_dev == named.st_dev && opened.st_ino == named.st_ino) {
        return std::nullopt;
    }
    const int fresh = ::open(m_temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fresh < 0) {
        return fileErrorFromErrno(errno, m_path);
    }
    ::close(m_fd);
    m_fd = fresh;
    return takeOverFrom(opened.st_mode, opened.st_uid, opened.st_gid);
}

std::optional<FileError> PendingReplacement::commit()
{
    if (m_fd < 0) {
        return FileError{FileCause::InvalidFile, EBADF, m_path};
    }
    if (auto error = followTemporaryName()) {
        abandon();
        return error;
    }
    int errorNumber = 0;
    if (::fsync(m_fd) != 0) {
        errorNumber = errno;
    }
    if (::close(m_fd) != 0 && errorNumber == 0) {
        errorNumber = errno;
    }
    m_fd = -1;
    if (errorNumber == 0 && ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        errorNumber = errno;
    }
    if (errorNumber != 0) {
        abandon();
        return fileErrorFromErrno(errorNumber, m_path);
    }
    m_temporary.clear();
    syncFolder(folderOfPath(m_target));
    return std::nullopt;
}

void PendingReplacement::abandon()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());
        m_temporary.clear();
    }
}

bool pathExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::optional<ReplaceFailure> replaceFileContents(const std::string& path, std::string_view bytes)
{
    PendingReplacement replacement;
    if (auto failed = replacement.begin(path)) {
        return failed;
    }
    if (auto error = replacement.write(bytes)) {
        return ReplaceFailure{ReplaceStage::Write, *error};
    }
    if (auto error = replacement.commit()) {
        return ReplaceFailure{ReplaceStage::Write, *error};
    }
    return std::nullopt;
}

}  // namespace tellurim
