#include "files/ReplaceFile.h"

#include "files/WriteAll.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <random>
#include <sys/random.h>
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

// A name no other process can guess: ".tellurim-" and 16 random hex digits.
std::string temporaryName(const std::string& folder)
{
    uint64_t bits = 0;
    if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
        std::random_device device;
        bits = (uint64_t{device()} << 32) ^ device() ^ static_cast<uint64_t>(::getpid());
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string name = folder + "/.tellurim-";
    for (int shift = 60; shift >= 0; shift -= 4) {
        name.push_back(kHex[(bits >> shift) & 0xFU]);
    }
    return name + ".tmp";
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

namespace {

// The kernel's protected-link rule: a link in a sticky world-writable
// folder is followed only by its owner or when the folder's owner made it.
bool mayFollowLink(const std::string& link, const struct stat& linkInfo)
{
    struct stat folder {};
    if (::stat(folderOfPath(link).c_str(), &folder) != 0) {
        return false;
    }
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || linkInfo.st_uid == ::geteuid() || linkInfo.st_uid == folder.st_uid;
}

}  // namespace

std::optional<FileError> followLinks(const std::string& path, LinkTarget& target)
{
    target = LinkTarget{path, false};
    std::vector<char> buffer(PATH_MAX);
    for (int depth = 0; depth <= kMaxLinkDepth; ++depth) {
        struct stat info {};
        if (::lstat(target.file.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return std::nullopt;
        }
        if (!mayFollowLink(target.file, info)) {
            FileError refused = fileErrorFromErrno(EACCES, path);
            refused.detail = "is a link another user made in a shared folder; it is not followed";
            return refused;
        }
        // /proc/self/fd/1 and its kind stand for an open descriptor.
        target.throughDescriptor = target.throughDescriptor || target.file.rfind("/proc/", 0) == 0;
        const ssize_t length = ::readlink(target.file.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<size_t>(length) >= buffer.size()) {
            return std::nullopt;
        }
        const std::string link(buffer.data(), static_cast<size_t>(length));
        target.file = link.front() == '/' ? link : folderOfPath(target.file) + "/" + link;
    }
    return fileErrorFromErrno(ELOOP, path);
}

WriteWay writeWayFor(const std::string& path)
{
    // A link that may not be followed leads nowhere, not even to a device:
    // the replacement refuses it with its reason.
    LinkTarget target;
    struct stat info {};
    if (followLinks(path, target) || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
        return WriteWay::Replace;
    }
    return !S_ISREG(info.st_mode) || target.throughDescriptor ? WriteWay::InPlace : WriteWay::Replace;
}

PendingReplacement::~PendingReplacement()
{
    abandon();
}

std::optional<ReplaceFailure> PendingReplacement::begin(const std::string& path, Temporary kind)
{
    abandon();
    m_path = path;
    m_unflushed = 0;
    if (path.empty() || path.find('\0') != std::string::npos) {
        return failure(ReplaceStage::Create, EINVAL, path);
    }
    LinkTarget target;
    if (auto refused = followLinks(path, target)) {
        return ReplaceFailure{ReplaceStage::Create, *refused};
    }
    m_target = target.file;
    struct stat existing {};
    m_replaces = ::stat(m_target.c_str(), &existing) == 0;
    if (m_replaces) {
        // A folder cannot be replaced by a file, and a file its owner made
        // read-only must not be replaced behind that protection.
        if (S_ISDIR(existing.st_mode)) {
            FileError folder = fileErrorFromErrno(EISDIR, path);
            folder.detail = "is a folder";
            return ReplaceFailure{ReplaceStage::Create, folder};
        }
        if (::access(m_target.c_str(), W_OK) != 0) {
            return failure(ReplaceStage::Create, errno, path);
        }
    }
    if (auto created = createTemporary(kind)) {
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

std::optional<ReplaceFailure> PendingReplacement::createTemporary(Temporary kind)
{
    // In the target's folder: rename within one file system is atomic.
    const std::string folder = folderOfPath(m_target);
    m_fd = kind == Temporary::Unnamed ? ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666) : -1;
    if (m_fd >= 0) {
        m_unnamed = true;
        return std::nullopt;
    }
    // No unnamed files here: a random short name, which nobody can plant in
    // advance, and which a long target name cannot push past the limit.
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_temporary = temporaryName(folder);
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
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

// Gives the unnamed file a random name in its folder, to be renamed over
// the target at once. Linking a descriptor by itself needs a privilege;
// its name under /proc works for anyone.
int PendingReplacement::nameUnnamedFile()
{
    const std::string folder = folderOfPath(m_target);
    const std::string descriptor = "/proc/self/fd/" + std::to_string(m_fd);
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_temporary = temporaryName(folder);
        if (::linkat(m_fd, "", AT_FDCWD, m_temporary.c_str(), AT_EMPTY_PATH) == 0 ||
            ::linkat(AT_FDCWD, descriptor.c_str(), AT_FDCWD, m_temporary.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return 0;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    const int errorNumber = errno;
    m_temporary.clear();
    return errorNumber;
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
    if (!m_unnamed) {
        if (auto error = followTemporaryName()) {
            abandon();
            return error;
        }
    }
    int errorNumber = 0;
    if (::fsync(m_fd) != 0) {
        errorNumber = errno;
    }
    if (errorNumber == 0 && m_unnamed) {
        errorNumber = nameUnnamedFile();
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
    m_unnamed = false;
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
    m_unnamed = false;
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
