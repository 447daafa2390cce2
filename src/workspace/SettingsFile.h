#pragma once

#include "files/FileError.h"
#include "record/GridSettings.h"
#include "record/LocationRecord.h"
#include "workspace/GridNorthSettings.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

/// The longest value, and so the longest path, that the settings file keeps
/// whole: a longer model path would not come back at the next start.
inline constexpr std::size_t kMaxStoredPathLength = 254;

/// What the settings file restores at start.
struct Settings {
    LocationRecord location;  ///< every field but DDATE, which is not stored
    GridSettings grid;
    std::vector<std::string> recentModels;  ///< model files used before, newest first
    GridNorthSettings gridNorth;            ///< [GridNorth]: System and Used1 to Used8
};

/// The settings file: "Tellurim.INI" in the "Tellurim" folder of
/// $XDG_CONFIG_HOME, or of ~/.config when that is unset, empty or relative.
std::filesystem::path settingsFilePath();

/// Reads the settings. A missing or unreadable file, or a missing key, gives
/// the default (30 30' 30" South and East, 30 m, "Default", the shipped
/// model, grid values 1 and the first-use flag set). Numbers are read
/// leniently ("12abc" is 12, "abc" is 0); one that its field would refuse if
/// typed (out of range, NaN) gives the default, as a missing key does. Each
/// value keeps at most kMaxStoredPathLength bytes.
Settings readSettings(const std::filesystem::path& file);

/// The file's bytes for these values: [Version] Major=2 Minor=0, then
/// [LocationInformation] and [GridInformation] with one key=value line each,
/// "\n" line ends, no blank lines; with model files used before, then
/// [RecentModels] File1 to File8 (empty when unused). A [GridNorth] section
/// follows once a reference system has been chosen (System, then Used1 to Used8).
std::string settingsText(const LocationRecord& location, const GridSettings& grid,
                         const std::vector<std::string>& recentModels = {},
                         const GridNorthSettings& gridNorth = {});

/// Writes the settings, creating the folder when needed. Keys and sections
/// of an existing file that this program does not know are kept after its
/// own. The file is replaced as a whole (a new file written beside it, forced
/// to disk, then renamed over it), so a failed write leaves the previous
/// settings intact; the failure is returned.
std::optional<FileError> writeSettings(const std::filesystem::path& file,
                                       const LocationRecord& location, const GridSettings& grid,
                                       const std::vector<std::string>& recentModels = {},
                                       const GridNorthSettings& gridNorth = {});

}  // namespace tellurim
