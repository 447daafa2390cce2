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

/// The new version of a file, written under a temporary name in the folder
/// of the file it replaces, which takes the old file's place only when it is
/// complete. What the user set up stays: a symbolic link (also a dangling
/// one) keeps pointing where it did and its final target is replaced (or
/// created); the new file gets the old one's permission bits and, when the
/// program may set them (as root), its owner and group. A second name of the
/// old file (a hard link) keeps the old content. Errors name the path as
/// given. Destroyed before commit, the temporary file is removed.
class PendingReplacement {
public:
    PendingReplacement() = default;
    PendingReplacement(const PendingReplacement&) = delete;
    PendingReplacement& operator=(const PendingReplacement&) = delete;
    ~PendingReplacement();

    /// Finds the file to replace (refusing a folder, or a file its owner made
    /// read-only) and creates the temporary file beside it.
    std::optional<ReplaceFailure> begin(const std::string& path);
    /// Appends whole rows to the temporary file (see writeRows).
    std::optional<FileError> write(std::string_view bytes);
    /// Forces the bytes to disk and puts the new file in the old one's place.
    /// On failure the temporary file is removed and the old file untouched.
    std::optional<FileError> commit();
    /// Removes the temporary file; the old file stays as it was.
    void abandon();

    /// The temporary file's name, for a library that writes the new content
    /// itself by name (GDAL) instead of through write. It may truncate the
    /// file there or put a new one under that name; commit takes whichever
    /// file the name holds then, with the old file's permissions.
    const std::string& temporaryPath() const { return m_temporary; }

    bool isOpen() const { return m_fd >= 0; }
    /// Whether a file was there to replace when begin was called.
    bool replacesAFile() const { return m_replaces; }

private:
    std::optional<ReplaceFailure> createTemporary();
    std::optional<FileError> takeOverFrom(uint32_t mode, uint32_t owner, uint32_t group);
    std::optional<FileError> followTemporaryName();

    std::string m_path;       ///< as given, for messages
    std::string m_target;     ///< the file that is replaced (a link's final target)
    std::string m_temporary;  ///< the new file until commit
    int m_fd = -1;
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

/// The file that writing to path reaches: path itself, or the final target
/// of a chain of symbolic links (relative ones read from the link's folder),
/// which need not exist. Nothing when the links go round in a loop.
std::optional<std::string> finalLinkTarget(const std::string& path);

}  // namespace tellurim
