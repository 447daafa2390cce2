#pragma once

#include "files/FileError.h"

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

/// Writes bytes to path so that the file at path is either its old self or
/// the complete new content, never a part of it: the bytes go to a new file
/// in the same folder, are forced to disk, and only then take the place of
/// the old file. A file that exists keeps its permission bits; a symbolic
/// link keeps pointing where it did and its target is replaced. On failure
/// the temporary file is removed and the old file is untouched. The error's
/// file name is path as given.
std::optional<ReplaceFailure> replaceFileContents(const std::string& path, std::string_view bytes);

/// True when something (file, folder, link to one) exists at path.
bool pathExists(const std::string& path);

}  // namespace tellurim
