#pragma once

#include "files/FileError.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tellurim {

/// How a file replacement failed: before anything was written (the folder
/// refused a new file) or while writing it (a full disk, say).
enum class ReplaceStage { Create, Write };

struct ReplaceFailure {
    ReplaceStage stage = ReplaceStage::Create;
    FileError error;
};

/// The new version of a file, written as an unnamed file in the folder of
/// the file it replaces (a randomly named one where the file system has no
/// unnamed files), which takes the old file's place only when it is
/// complete: even a process killed part way leaves no stray file. What the
/// user set up stays: a symbolic link (also a dangling one) keeps pointing
/// where it did and its final target is replaced (or created); the new file
/// gets the old one's permission bits and, when the program may set them (as
/// root), its owner and group. A second name of the old file (a hard link)
/// keeps the old content. A link in a shared folder is followed only as the
/// kernel's protected-link rule allows (see followLinks). Errors name the
/// path as given. Destroyed before commit, the temporary file is removed.
class PendingReplacement {
public:
    PendingReplacement() = default;
    PendingReplacement(const PendingReplacement&) = delete;
    PendingReplacement& operator=(const PendingReplacement&) = delete;
    ~PendingReplacement();

    /// How the new file is made before commit.
    enum class Temporary {
        Unnamed,  ///< no name at all where the file system allows it
        Named,    ///< a random name, for a library that writes by name (GDAL)
    };
    /// Finds the file to replace (refusing a folder, or a file its owner made
    /// read-only) and creates the temporary file beside it.
    std::optional<ReplaceFailure> begin(const std::string& path, Temporary kind = Temporary::Unnamed);
    /// Appends whole rows to the temporary file (see writeRows).
    std::optional<FileError> write(std::string_view bytes);
    /// Forces the bytes to disk and puts the new file in the old one's place.
    /// On failure the temporary file is removed and the old file untouched.
    std::optional<FileError> commit();
    /// Removes the temporary file; the old file stays as it was.
    void abandon();

    /// The temporary file's name after begin(path, Temporary::Named), for a
    /// library that writes the new content itself by name instead of through
    /// write. It may truncate the file there or put a new one under that
    /// name; commit takes whichever file the name holds then, with the old
    /// file's permissions.
    const std::string& temporaryPath() const { return m_temporary; }

    bool isOpen() const { return m_fd >= 0; }
    /// Whether a file was there to replace when begin was called.
    bool replacesAFile() const { return m_replaces; }

private:
    std::optional<ReplaceFailure> createTemporary(Temporary kind);
    std::optional<FileError> followTemporaryName();
    std::optional<FileError> takeOverFrom(uint32_t mode, uint32_t owner, uint32_t group);
    int nameUnnamedFile();

    std::string m_path;       ///< as given, for messages
    std::string m_target;     ///< the file that is replaced (a link's final target)
    std::string m_temporary;  ///< the new file's name until commit (none while unnamed)
    int m_fd = -1;
    bool m_unnamed = false;   ///< the new file has no name before commit
    bool m_replaces = false;
    size_t m_unflushed = 0;   ///< bytes written since the disk was last asked to take them
};

/// Writes bytes to path so that the file at path is either its old self or
/// the complete new content, never a part of it, through a PendingReplacement
/// (links, permissions and owner kept as it keeps them); the bytes are on
/// disk before they take the old file's place.
std::optional<ReplaceFailure> replaceFileContents(const std::string& path, std::string_view bytes);

/// True when something (file, folder, link to one) exists at path.
bool pathExists(const std::string& path);

/// The folder part of a path: "." for a bare name, "/" for a file in the root.
std::string folderOfPath(const std::string& path);

/// Where writing to a path leads.
struct LinkTarget {
    std::string file;                ///< the final target, which need not exist
    bool throughDescriptor = false;  ///< a link on the way is a descriptor's (/dev/stdout)
};

/// The file that writing to path reaches: path itself, or the final target
/// of a chain of symbolic links (relative ones read from the link's folder).
/// Refused (with a detail) when the links go round in a loop, or when a
/// link lies in a sticky world-writable folder (/tmp) and belongs to neither
/// this user nor the folder's owner: the kernel's protected-link rule,
/// applied whatever the machine's setting, so that a link planted by another
/// user never redirects a write.
std::optional<FileError> followLinks(const std::string& path, LinkTarget& target);

/// How a file is written.
enum class WriteWay {
    Replace,  ///< a regular file, a link to one, a new file: atomic replacement
    InPlace,  ///< a device, a pipe or a descriptor name (/dev/stdout): opened and written
};

/// What the file at path is decides, never its folder: a device or a pipe
/// (or a link to one), and a descriptor name, are written in place; anything
/// else (a regular file in /dev/shm too) is replaced, and so is a path
/// through a link followLinks refuses, so that the refusal is reported.
WriteWay writeWayFor(const std::string& path);

/// The detail of a refusal to write a device or pipe in place of a file
/// that is kept whole, such as the settings.
inline constexpr std::string_view kNotARegularFile = "is not a regular file (a device or a pipe); it is left alone";

}  // namespace tellurim
