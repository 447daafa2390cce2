#pragma once

#include "io/BoundedInput.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

/// The model file the program starts with when nothing else is chosen.
inline constexpr const char* kDefaultModelFile = "WMM2025.COF";

/// Folders holding the shipped model files: share/tellurim/models of the
/// prefix the running executable lives in (its bin folder's sibling), from
/// wherever it is started; the build tree has the same layout. Only folders
/// that exist are listed.
std::vector<std::filesystem::path> shippedModelDirectories();

/// Opens a model file into input. A name with no directory part that does
/// not open in the current directory is looked up in shippedModelDirectories().
/// Directories and names with embedded NUL characters never open. Returns
/// the reason when nothing is open: CannotOpen when no file was found; any
/// other problem belongs to the file that was found but cannot be read (a
/// device, a pipe, a file over the size limit).
std::optional<InputError> openModelFile(const std::string& fileName, BoundedInput& input);

/// The absolute path of the file openModelFile(fileName) opens now, or
/// fileName as it stands when nothing opens.
std::string locateModelFile(const std::string& fileName);

}  // namespace tellurim
