#include "workspace/SettingsFile.h"

#include "io/BoundedInput.h"
#include "engine/ModelLocator.h"
#include "files/CsvWriter.h"
#include "files/ReplaceFile.h"
#include "record/Conversions.h"
#include "workspace/FieldTable.h"
#include "workspace/GridEntry.h"
#include "workspace/ProfileFile.h"
#include "record/NumberText.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <string_view>
#include <system_error>
#include <unistd.h>

namespace tellurim {

namespace {

constexpr std::string_view kVersion = "Version";
constexpr std::string_view kLocation = "LocationInformation";
constexpr std::string_view kGrid = "GridInformation";
constexpr std::string_view kRecent = "RecentModels";
constexpr int kRecentKeys = 8;
constexpr std::string_view kGridNorth = "GridNorth";

std::string usedKey(size_t index)
{
    return "Used" + std::to_string(index + 1);
}

std::string recentKey(int i)
{
    return "File" + std::to_string(i + 1);
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return ".";
}

/// Cuts a value to what the buffer holds, backing off to the start of a
/// character so that a name in UTF-8 is never left with half a character.
std::string cutValue(std::string value)
{
    if (value.size() > kMaxStoredPathLength) {
        size_t size = kMaxStoredPathLength;
        while (size > 0 && (static_cast<unsigned char>(value[size]) & 0xC0U) == 0x80U) {
            --size;
        }
        value.resize(size);
    }
    return value;
}

class SettingsReader {
public:
    explicit SettingsReader(const ProfileFile& profile) : m_profile(profile) {}

    std::string text(std::string_view section, std::string_view key, std::string_view fallback) const
    {
        return cutValue(m_profile.value(section, key).value_or(std::string(fallback)));
    }
    float single(std::string_view section, std::string_view key, std::string_view fallback) const
    {
        return roundToSingle(parseLenientDouble(text(section, key, fallback)));
    }
    int32_t integer(std::string_view section, std::string_view key, std::string_view fallback) const
    {
        return parseLenientInt(text(section, key, fallback));
    }

    // A stored value its field would refuse if typed (NaN, infinite, an
    // elevation below the centre of the Earth) is taken as missing: the
    // default stands in for it.
    float location(Field field, std::string_view fallback) const
    {
        const FieldSpec& spec = fieldSpec(field);
        const float value = single(kLocation, spec.name, fallback);
        return fieldAccepts(spec, static_cast<double>(value)) ? value : roundToSingle(parseLenientDouble(fallback));
    }
    int32_t locationInteger(Field field, std::string_view fallback) const
    {
        const FieldSpec& spec = fieldSpec(field);
        const int32_t value = integer(kLocation, spec.name, fallback);
        return fieldAccepts(spec, value) ? value : parseLenientInt(fallback);
    }
    float grid(GridField field, std::string_view fallback) const
    {
        const GridFieldSpec& spec = gridField(field);
        const float value = single(kGrid, spec.name, fallback);
        return value >= static_cast<float>(spec.minimum) && value <= static_cast<float>(spec.maximum)
                   ? value
                   : roundToSingle(parseLenientDouble(fallback));
    }

private:
    const ProfileFile& m_profile;
};

std::string fixed(float value)
{
    std::string out;
    appendFixed6(out, static_cast<double>(value));
    return out;
}

// Written only once the user chose a system, so that the file of someone
// who never did keeps its bytes; every key is written, so that no stale
// entry of an older file is carried over.
void addGridNorth(ProfileFile& profile, const GridNorthSettings& gridNorth)
{
    if (gridNorth.system.empty() && gridNorth.used.empty()) {
        return;
    }
    profile.set(kGridNorth, "System", gridNorth.system);
    for (size_t i = 0; i < GridNorthSettings::kMaxUsed; ++i) {
        profile.set(kGridNorth, usedKey(i), i < gridNorth.used.size() ? gridNorth.used[i] : std::string());
    }
}

ProfileFile settingsProfile(const LocationRecord& location, const GridSettings& grid,
                            const std::vector<std::string>& recent, const GridNorthSettings& gridNorth)
{
    ProfileFile profile;
    profile.set(kVersion, "Major", "2");
    profile.set(kVersion, "Minor", "0");
    profile.set(kLocation, "Location", location.Location);
    profile.set(kLocation, "DLAT", fixed(location.DLAT));
    profile.set(kLocation, "ILATD", std::to_string(location.ILATD));
    profile.set(kLocation, "ILATM", std::to_string(location.ILATM));
    profile.set(kLocation, "XLATS", fixed(location.XLATS));
    profile.set(kLocation, "DLON", fixed(location.DLON));
    profile.set(kLocation, "ILOND", std::to_string(location.ILOND));
    profile.set(kLocation, "ILONM", std::to_string(location.ILONM));
    profile.set(kLocation, "XLONS", fixed(location.XLONS));
    profile.set(kLocation, "ALTF", fixed(location.ALTF));
    profile.set(kLocation, "ALTM", fixed(location.ALTM));
    profile.set(kLocation, "IDAY", std::to_string(location.IDAY));
    profile.set(kLocation, "IMONTH", std::to_string(location.IMONTH));
    profile.set(kLocation, "IYR", std::to_string(location.IYR));
    profile.set(kLocation, "IHEM_NS", std::to_string(location.IHEM_NS));
    profile.set(kLocation, "JHEM_EW", std::to_string(location.JHEM_EW));
    profile.set(kLocation, "FILENAME", location.FILENAME);
    profile.set(kGrid, "lNeverGrid", std::to_string(grid.lNeverGrid));
    profile.set(kGrid, "StartLat", fixed(grid.StartLat));
    profile.set(kGrid, "EndLat", fixed(grid.EndLat));
    profile.set(kGrid, "LatInc", fixed(grid.LatInc));
    profile.set(kGrid, "StartLong", fixed(grid.StartLong));
    profile.set(kGrid, "EndLong", fixed(grid.EndLong));
    profile.set(kGrid, "LongInc", fixed(grid.LongInc));
    // Every key, so that none of an older, longer list survives the save.
    if (!recent.empty())
        for (int i = 0; i < kRecentKeys; ++i)
            profile.set(kRecent, recentKey(i),
                        static_cast<std::size_t>(i) < recent.size() ? recent[static_cast<std::size_t>(i)] : "");
    addGridNorth(profile, gridNorth);
    return profile;
}

// Only a regular file of sane size is read: a pipe or a device put there
// would hold the start of the window for ever.
std::optional<std::string> readWholeFile(const std::filesystem::path& file)
{
    BoundedInput input;
    if (input.open(file.string())) {
        return std::nullopt;
    }
    std::string bytes;
    if (input.read(bytes, kMaxInputFileBytes)) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::filesystem::path settingsFilePath()
{
    std::filesystem::path base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') {
        base = config;
    } else {
        base = std::filesystem::path(homeFolder()) / ".config";
    }
    return base / "Tellurim" / "Tellurim.INI";
}

Settings readSettings(const std::filesystem::path& file)
{
    const ProfileFile profile = ProfileFile::parse(readWholeFile(file).value_or(std::string()));
    const SettingsReader read(profile);
    Settings settings;
    LocationRecord& l = settings.location;
    l.Location = read.text(kLocation, "Location", "Default");
    l.DLAT = read.location(Field::DLAT, "30");
    l.ILATD = read.locationInteger(Field::ILATD, "30");
    l.ILATM = read.locationInteger(Field::ILATM, "30");
    l.XLATS = read.location(Field::XLATS, "30");
    l.DLON = read.location(Field::DLON, "30");
    l.ILOND = read.locationInteger(Field::ILOND, "30");
    l.ILONM = read.locationInteger(Field::ILONM, "30");
    l.XLONS = read.location(Field::XLONS, "30");
    l.ALTF = read.location(Field::ALTF, "30");
    l.ALTM = read.location(Field::ALTM, "30");
    l.IDAY = read.locationInteger(Field::IDAY, "30");
    l.IMONTH = read.locationInteger(Field::IMONTH, "6");
    l.IYR = read.locationInteger(Field::IYR, "2000");
    l.IHEM_NS = read.locationInteger(Field::IHEM_NS, "1");
    l.JHEM_EW = read.locationInteger(Field::JHEM_EW, "1");
    l.FILENAME = read.text(kLocation, "FILENAME", kDefaultModelFile);
    GridSettings& g = settings.grid;
    g.lNeverGrid = read.integer(kGrid, "lNeverGrid", "1");
    g.StartLat = read.grid(GridField::StartLat, "1");
    g.EndLat = read.grid(GridField::EndLat, "1");
    g.LatInc = read.grid(GridField::LatInc, "1");
    g.StartLong = read.grid(GridField::StartLong, "1");
    g.EndLong = read.grid(GridField::EndLong, "1");
    g.LongInc = read.grid(GridField::LongInc, "1");
    for (int i = 0; i < kRecentKeys; ++i)
        if (std::string path = read.text(kRecent, recentKey(i), ""); !path.empty())
            settings.recentModels.push_back(std::move(path));
    settings.gridNorth.system = read.text(kGridNorth, "System", "");
    for (size_t i = 0; i < GridNorthSettings::kMaxUsed; ++i) {
        std::string used = read.text(kGridNorth, usedKey(i), "");
        if (!used.empty()) {
            settings.gridNorth.used.push_back(std::move(used));
        }
    }
    return settings;
}

std::string settingsText(const LocationRecord& location, const GridSettings& grid,
                         const std::vector<std::string>& recentModels, const GridNorthSettings& gridNorth)
{
    return settingsProfile(location, grid, recentModels, gridNorth).text();
}

std::optional<FileError> writeSettings(const std::filesystem::path& file,
                                       const LocationRecord& location, const GridSettings& grid,
                                       const std::vector<std::string>& recentModels,
                                       const GridNorthSettings& gridNorth)
{
    std::error_code error;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), error);
        if (error) {
            return fileErrorFromErrno(error.value(), file.string());
        }
    }
    // A device or a pipe put there (a link to /dev/null switches the
    // settings off) is never replaced by a regular file.
    if (writeWayFor(file.string()) == WriteWay::InPlace) {
        FileError kept = fileErrorFromErrno(EPERM, file.string());
        kept.detail = std::string(kNotARegularFile);
        return kept;
    }
    ProfileFile profile = settingsProfile(location, grid, recentModels, gridNorth);
    if (const auto existing = readWholeFile(file)) {
        profile.addMissingFrom(ProfileFile::parse(*existing));
    }
    if (auto failure = replaceFileContents(file.string(), profile.text())) {
        return failure->error;
    }
    return std::nullopt;
}

}  // namespace tellurim
