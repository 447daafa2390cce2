#pragma once

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tellurim {

/// The model file the program starts with when nothing else is chosen.
inline constexpr const char* kDefaultModelFile = "WMM2025.COF";

/// Closes a C file on scope exit.
struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

/// Folders holding the shipped model files: share/tellurim/models of the
/// prefix the running executable lives in (its bin folder's sibling), from
/// wherever it is started; the build tree has the same layout. Only folders
/// that exist are listed.
std::vector<std::filesystem::path> shippedModelDirectories();

/// Opens a model file for reading. A name with no directory part that does
/// not open in the current directory is looked up in shippedModelDirectories().
/// Directories and names with embedded NUL characters never open.
/// Returns null when nothing could be opened.
FilePtr openModelFile(const std::string& fileName);

/// The absolute path of the file openModelFile(fileName) opens now, or
/// fileName as it stands when nothing opens.
std::string locateModelFile(const std::string& fileName);

}  // namespace tellurim
