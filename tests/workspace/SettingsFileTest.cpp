#include "workspace/SettingsFile.h"

#include "io/BoundedInput.h"
#include "support/FileSizeLimit.h"
#include "support/HostileInputs.h"
#include "support/Records.h"
#include "support/TestEnvironment.h"
#include "workspace/ProfileFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tellurim {
namespace {

LocationRecord denver()
{
    return {.DLAT = 39.75f, .ILATD = 39, .ILATM = 45, .XLATS = 0.0f, .DLON = 105.25f, .ILONM = 15, .ILOND = 105,
            .XLONS = 0.5f, .ALTF = 5280.0f, .ALTM = 1609.344f, .IDAY = 4, .IMONTH = 7, .IYR = 2026, .DDATE = 2026.5f,
            .IHEM_NS = 0, .JHEM_EW = 0, .FILENAME = "/opt/models/WMM2025.COF", .Location = "Denver"};
}

const GridSettings kGrid{0, -40.75f, -38.75f, 0.1f, 10.0f, 12.5f, 0.25f};

const char* const kDenverText =
    "[Version]\nMajor=2\nMinor=0\n"
    "[LocationInformation]\nLocation=Denver\nDLAT=39.750000\nILATD=39\nILATM=45\nXLATS=0.000000\n"
    "DLON=105.250000\nILOND=105\nILONM=15\nXLONS=0.500000\nALTF=5280.000000\nALTM=1609.343994\n"
    "IDAY=4\nIMONTH=7\nIYR=2026\nIHEM_NS=0\nJHEM_EW=0\nFILENAME=/opt/models/WMM2025.COF\n"
    "[GridInformation]\nlNeverGrid=0\nStartLat=-40.750000\nEndLat=-38.750000\nLatInc=0.100000\n"
    "StartLong=10.000000\nEndLong=12.500000\nLongInc=0.250000\n";

/// A scratch folder for the settings file.
class SettingsFile : public ::testing::Test {
protected:
    TempDir folder;
    const std::filesystem::path file = folder / "Tellurim.INI";
};

TEST_F(SettingsFile, MissingFileGivesTheDefaults)
{
    const Settings s = readSettings(file);
    // South and East; the place, elevation and day all thirty.
    const LocationRecord expected{.DLAT = 30.0f, .ILATD = 30, .ILATM = 30, .XLATS = 30.0f, .DLON = 30.0f,
                                  .ILONM = 30, .ILOND = 30, .XLONS = 30.0f, .ALTF = 30.0f, .ALTM = 30.0f, .IDAY = 30,
                                  .IMONTH = 6, .IYR = 2000, .IHEM_NS = 1, .JHEM_EW = 1, .FILENAME = "WMM2025.COF",
                                  .Location = "Default"};
    EXPECT_EQ(storedFields(s.location), storedFields(expected));
    EXPECT_EQ(s.grid.lNeverGrid, 1);
    for (const float value : {s.grid.StartLat, s.grid.EndLat, s.grid.LatInc, s.grid.StartLong, s.grid.EndLong,
                              s.grid.LongInc})
        EXPECT_EQ(value, 1.0f);
}

TEST_F(SettingsFile, PipesAndHugeFilesAreNotReadAndGiveTheDefaults)
{
    const Deadline deadline{10};
    const LocationRecord defaults = readSettings(file).location;
    writeWholeFile(file, kDenverText);
    ASSERT_EQ(::truncate(file.c_str(), static_cast<off_t>(kMaxInputFileBytes + 1)), 0);
    EXPECT_EQ(storedFields(readSettings(file).location), storedFields(defaults));
    std::filesystem::remove(file);
    makeFifo(folder.path(), "Tellurim.INI");
    EXPECT_EQ(storedFields(readSettings(file).location), storedFields(defaults));
}

TEST_F(SettingsFile, WritesTheExactText)
{
    EXPECT_EQ(settingsText(denver(), kGrid), kDenverText);
    ASSERT_FALSE(writeSettings(file, denver(), kGrid).has_value());
    EXPECT_EQ(readWholeFile(file), kDenverText);
}

TEST_F(SettingsFile, ReadsBackWhatItWroteExceptTheDecimalYear)
{
    ASSERT_FALSE(writeSettings(file, denver(), kGrid).has_value());
    const Settings s = readSettings(file);
    // Every stored value comes back to the same bits, so it writes the same text.
    EXPECT_EQ(settingsText(s.location, s.grid), kDenverText);
    EXPECT_EQ(s.location.ALTM, 1609.344f);
    EXPECT_EQ(s.grid.LatInc, 0.1f);
    EXPECT_EQ(s.location.DDATE, LocationRecord{}.DDATE);
}

TEST_F(SettingsFile, ReadsNumbersLenientlyButOnlyInTheirFieldsRanges)
{
    writeWholeFile(file, "[LocationInformation]\r\nILATD=12abc\r\nILATM=abc\r\nXLATS=  7.5xyz\r\nALTM=\r\n"
                         "IYR=-3\r\nIHEM_NS=7\r\nJHEM_EW=-3\r\n[GridInformation]\r\nStartLat=1e400\r\n"
                         "EndLat=-1e400\r\nLatInc=1e-400\r\nlNeverGrid=99999999999\r\n");
    const Settings s = readSettings(file);
    EXPECT_EQ(s.location.ILATD, 12);
    EXPECT_EQ(s.location.ILATM, 0);
    EXPECT_EQ(s.location.XLATS, 7.5f);
    EXPECT_EQ(s.location.ALTM, 0.0f);  // present but empty: not the default
    EXPECT_EQ(s.location.ILOND, 30);  // missing: the default
    // Out of the range a typed value must keep to: the default, as if missing.
    EXPECT_EQ(s.location.IYR, 2000);
    EXPECT_EQ(s.location.IHEM_NS, 1);
    EXPECT_EQ(s.location.JHEM_EW, 1);
    EXPECT_EQ(s.grid.StartLat, 1.0f);
    EXPECT_EQ(s.grid.EndLat, 1.0f);
    EXPECT_EQ(s.grid.LatInc, 1.0f);
    EXPECT_EQ(s.grid.lNeverGrid, std::numeric_limits<int32_t>::max());

    // Values that gave NaN results, "OK" and a compass zone.
    writeWholeFile(file, "[LocationInformation]\nDLAT=nan\nDLON=inf\nALTM=-6371000\nALTF=2147483647\n"
                         "IDAY=2147483647\nXLONS=-0.5\n[GridInformation]\nLongInc=nan\nEndLong=180\n");
    const Settings hostile = readSettings(file);
    EXPECT_EQ(hostile.location.DLAT, 30.0f);
    EXPECT_EQ(hostile.location.DLON, 30.0f);
    EXPECT_EQ(hostile.location.ALTM, 30.0f);
    EXPECT_EQ(hostile.location.ALTF, 30.0f);
    EXPECT_EQ(hostile.location.IDAY, 30);
    EXPECT_EQ(hostile.location.XLONS, 30.0f);
    EXPECT_EQ(hostile.grid.LongInc, 1.0f);
    EXPECT_EQ(hostile.grid.EndLong, 180.0f) << "the bound itself is in range";
}

TEST_F(SettingsFile, DevicesAndPipesAreLeftAloneWithAMessage)
{
    // A link to /dev/null switches the settings off; as root a replacement
    // would have turned /dev/null itself into a regular file.
    std::filesystem::create_symlink("/dev/null", file);
    const auto refused = writeSettings(file, denver(), kGrid);
    ASSERT_TRUE(refused.has_value());
    EXPECT_EQ(standardReportText(*refused), file.string() + " is not a regular file (a device or a pipe); it is left alone.");
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    const std::filesystem::path pipe = makeFifo(folder.path(), "Pipe.INI");
    EXPECT_TRUE(writeSettings(pipe, denver(), kGrid).has_value());
    EXPECT_TRUE(std::filesystem::is_fifo(pipe));
}

TEST_F(SettingsFile, NamesMatchWithoutCaseAndValuesLoseTheirBlanks)
{
    writeWholeFile(file, "; a comment line\nstray=ignored before any section\n[ locationinformation ]\n"
                         "  location =  Pikes Peak  \nfilename=IGRF.COF\nLocation=second one does not count\n"
                         "[LOCATIONINFORMATION]\nilatd = 45\n");
    const Settings s = readSettings(file);
    EXPECT_EQ(s.location.Location, "Pikes Peak");
    EXPECT_EQ(s.location.FILENAME, "IGRF.COF");
    EXPECT_EQ(s.location.ILATD, 45);
}

TEST_F(SettingsFile, LongValuesComeBackCutTo254Bytes)
{
    LocationRecord l = denver();
    l.Location = std::string(300, 'x');
    ASSERT_FALSE(writeSettings(file, l, kGrid).has_value());
    EXPECT_EQ(readSettings(file).location.Location, std::string(254, 'x'));

    // A two-byte character straddling the cut goes whole, not halved.
    l.Location = std::string(253, 'y') + "\xC3\xA9" + "tail";
    ASSERT_FALSE(writeSettings(file, l, kGrid).has_value());
    EXPECT_EQ(readSettings(file).location.Location, std::string(253, 'y'));

    l.Location = std::string(254, 'z');
    ASSERT_FALSE(writeSettings(file, l, kGrid).has_value());
    EXPECT_EQ(readSettings(file).location.Location, l.Location);
}

TEST_F(SettingsFile, LineBreakInANameCannotSplitTheFile)
{
    LocationRecord l = denver();
    l.Location = "North\nILATD=1\r\nRidge";
    ASSERT_FALSE(writeSettings(file, l, kGrid).has_value());
    const Settings s = readSettings(file);
    EXPECT_EQ(s.location.Location, "North ILATD=1  Ridge");
    EXPECT_EQ(s.location.ILATD, 39);
}

TEST_F(SettingsFile, KeepsUnknownKeysAndSectionsOfAnExistingFile)
{
    writeWholeFile(file, "[Window]\nX=10\n[LocationInformation]\nDLAT=1.000000\nNote=keep me\n"
                         "[version]\nMajor=1\nBuild=7\n");
    ASSERT_FALSE(writeSettings(file, denver(), kGrid).has_value());
    std::string expected = kDenverText;
    expected.insert(expected.find("Minor=0\n") + 8, "Build=7\n");
    expected.insert(expected.find("[GridInformation]"), "Note=keep me\n");
    expected += "[Window]\nX=10\n";
    EXPECT_EQ(readWholeFile(file), expected);
}

TEST_F(SettingsFile, CreatesItsFolder)
{
    const auto nested = folder / "config/Tellurim/Tellurim.INI";
    ASSERT_FALSE(writeSettings(nested, denver(), kGrid).has_value());
    EXPECT_EQ(readWholeFile(nested), kDenverText);
}

TEST_F(SettingsFile, FolderThatCannotBeMadeIsReported)
{
    folder.write("plain", "not a folder");
    const auto blocked = folder / "plain/Tellurim/Tellurim.INI";
    const auto error = writeSettings(blocked, denver(), kGrid);
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->cause, FileCause::None);
    EXPECT_EQ(readSettings(blocked).location.Location, "Default");
    EXPECT_EQ(readWholeFile(folder / "plain"), "not a folder");
}

TEST_F(SettingsFile, FailedWriteLeavesThePreviousSettingsWhole)
{
    ASSERT_FALSE(writeSettings(file, denver(), kGrid).has_value());

    // A file-size limit makes the write fail part-way, like a full disk;
    // unlike permissions it also holds for root.
    LocationRecord changed = denver();
    changed.Location = "Elsewhere";
    std::optional<FileError> error;
    {
        FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        error = writeSettings(file, changed, kGrid);
    }

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->cause, FileCause::DiskFull);
    EXPECT_EQ(readWholeFile(file), kDenverText);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"Tellurim.INI"});
}

TEST_F(SettingsFile, LivesInTheConfigFolder)
{
    ScopedEnv home("HOME", folder.path().string());
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config");
        EXPECT_EQ(settingsFilePath(), std::filesystem::path("/somewhere/config/Tellurim/Tellurim.INI"));
    }
    for (const auto& unusable : std::vector<std::optional<std::string>>{std::nullopt, "", "relative/config"}) {
        ScopedEnv config("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(settingsFilePath(), folder.path() / ".config" / "Tellurim" / "Tellurim.INI");
    }
}

TEST(ProfileText, SetReplacesInPlaceAndAddsAtTheEnd)
{
    ProfileFile profile = ProfileFile::parse("[A]\nk=1\n[B]\nx=2\n");
    profile.set("a", "K", "10");
    profile.set("B", "y", "3");
    profile.set("C", "z", "4");
    EXPECT_EQ(profile.text(), "[A]\nk=10\n[B]\nx=2\ny=3\n[C]\nz=4\n");
    EXPECT_EQ(profile.value("c", "Z"), "4");
    EXPECT_FALSE(profile.value("A", "x").has_value());
    EXPECT_FALSE(profile.value("D", "k").has_value());
}

TEST(ProfileText, ManySectionsAndKeysKeepTheirOrder)
{
    std::string text;
    for (int section = 0; section < 50; ++section) {
        text += "[S" + std::to_string(section) + "]\n";
        for (int key = 0; key < 200; ++key)
            text.append("k").append(std::to_string(key)).append("=").append(std::to_string(section * key)).append("\n");
    }
    const ProfileFile profile = ProfileFile::parse(text);
    EXPECT_EQ(profile.value("s49", "K199"), std::to_string(49 * 199));
    ProfileFile copy;
    copy.addMissingFrom(profile);
    EXPECT_EQ(copy.text(), text);
}

}  // namespace
}  // namespace tellurim
