#include "workspace/SettingsFile.h"

#include "files/TempFolder.h"
#include "workspace/ProfileFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdlib>
#include <limits>
#include <string>
#include <sys/resource.h>

namespace tellurim {
namespace {

using test::TempFolder;
using test::folderEntries;
using test::readBytes;
using test::writeBytes;

/// Sets an environment variable for the object's life.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
        }
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ~ScopedEnv()
    {
        if (m_old) {
            ::setenv(m_name.c_str(), m_old->c_str(), 1);
        } else {
            ::unsetenv(m_name.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

LocationRecord denver()
{
    LocationRecord l;
    l.Location = "Denver";
    l.DLAT = 39.75f;
    l.ILATD = 39;
    l.ILATM = 45;
    l.XLATS = 0.0f;
    l.DLON = 105.25f;
    l.ILOND = 105;
    l.ILONM = 15;
    l.XLONS = 0.5f;
    l.ALTF = 5280.0f;
    l.ALTM = 1609.344f;
    l.IDAY = 4;
    l.IMONTH = 7;
    l.IYR = 2026;
    l.DDATE = 2026.5f;
    l.IHEM_NS = 0;
    l.JHEM_EW = 0;
    l.FILENAME = "/opt/models/WMM2025.COF";
    return l;
}

GridSettings someGrid()
{
    return GridSettings{0, -40.75f, -38.75f, 0.1f, 10.0f, 12.5f, 0.25f};
}

const char* const kDenverText =
    "[Version]\n"
    "Major=2\n"
    "Minor=0\n"
    "[LocationInformation]\n"
    "Location=Denver\n"
    "DLAT=39.750000\n"
    "ILATD=39\n"
    "ILATM=45\n"
    "XLATS=0.000000\n"
    "DLON=105.250000\n"
    "ILOND=105\n"
    "ILONM=15\n"
    "XLONS=0.500000\n"
    "ALTF=5280.000000\n"
    "ALTM=1609.343994\n"
    "IDAY=4\n"
    "IMONTH=7\n"
    "IYR=2026\n"
    "IHEM_NS=0\n"
    "JHEM_EW=0\n"
    "FILENAME=/opt/models/WMM2025.COF\n"
    "[GridInformation]\n"
    "lNeverGrid=0\n"
    "StartLat=-40.750000\n"
    "EndLat=-38.750000\n"
    "LatInc=0.100000\n"
    "StartLong=10.000000\n"
    "EndLong=12.500000\n"
    "LongInc=0.250000\n";

TEST(SettingsFile, MissingFileGivesTheDefaults)
{
    TempFolder folder;
    const Settings s = readSettings(folder.path() / "Tellurim.INI");
    const LocationRecord& l = s.location;
    EXPECT_EQ(l.Location, "Default");
    EXPECT_EQ(l.ILATD, 30);
    EXPECT_EQ(l.ILATM, 30);
    EXPECT_EQ(l.XLATS, 30.0f);
    EXPECT_EQ(l.ILOND, 30);
    EXPECT_EQ(l.ILONM, 30);
    EXPECT_EQ(l.XLONS, 30.0f);
    EXPECT_EQ(l.DLAT, 30.0f);
    EXPECT_EQ(l.DLON, 30.0f);
    EXPECT_EQ(l.ALTM, 30.0f);
    EXPECT_EQ(l.ALTF, 30.0f);
    EXPECT_EQ(l.IDAY, 30);
    EXPECT_EQ(l.IMONTH, 6);
    EXPECT_EQ(l.IYR, 2000);
    EXPECT_EQ(l.IHEM_NS, 1);  // South
    EXPECT_EQ(l.JHEM_EW, 1);  // East
    EXPECT_EQ(l.FILENAME, "WMM2025.COF");
    const GridSettings& g = s.grid;
    EXPECT_EQ(g.lNeverGrid, 1);
    for (const float value : {g.StartLat, g.EndLat, g.LatInc, g.StartLong, g.EndLong, g.LongInc}) {
        EXPECT_EQ(value, 1.0f);
    }
}

TEST(SettingsFile, WritesTheExactText)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    EXPECT_EQ(settingsText(denver(), someGrid()), kDenverText);
    ASSERT_FALSE(writeSettings(file, denver(), someGrid()).has_value());
    EXPECT_EQ(readBytes(file.string()), kDenverText);
}

TEST(SettingsFile, ReadsBackWhatItWroteExceptTheDecimalYear)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    ASSERT_FALSE(writeSettings(file, denver(), someGrid()).has_value());
    const Settings s = readSettings(file);
    // Every stored value comes back to the same bits, so it writes the same text.
    EXPECT_EQ(settingsText(s.location, s.grid), kDenverText);
    EXPECT_EQ(s.location.ALTM, 1609.344f);
    EXPECT_EQ(s.grid.LatInc, 0.1f);
    EXPECT_EQ(s.location.DDATE, LocationRecord{}.DDATE);
}

TEST(SettingsFile, ReadsNumbersLenientlyAndKeepsHemispheresAsStored)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    writeBytes(file.string(),
               "[LocationInformation]\r\n"
               "ILATD=12abc\r\n"
               "ILATM=abc\r\n"
               "XLATS=  7.5xyz\r\n"
               "ALTM=\r\n"
               "IYR=-3\r\n"
               "IHEM_NS=7\r\n"
               "JHEM_EW=-3\r\n"
               "[GridInformation]\r\n"
               "StartLat=1e400\r\n"
               "EndLat=-1e400\r\n"
               "LatInc=1e-400\r\n"
               "lNeverGrid=99999999999\r\n");
    const Settings s = readSettings(file);
    EXPECT_EQ(s.location.ILATD, 12);
    EXPECT_EQ(s.location.ILATM, 0);
    EXPECT_EQ(s.location.XLATS, 7.5f);
    EXPECT_EQ(s.location.ALTM, 0.0f);  // present but empty: not the default
    EXPECT_EQ(s.location.IYR, -3);
    EXPECT_EQ(s.location.IHEM_NS, 7);
    EXPECT_EQ(s.location.JHEM_EW, -3);
    EXPECT_EQ(s.location.ILOND, 30);  // missing: the default
    EXPECT_EQ(s.grid.StartLat, std::numeric_limits<float>::infinity());
    EXPECT_EQ(s.grid.EndLat, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(s.grid.LatInc, 0.0f);
    EXPECT_EQ(s.grid.lNeverGrid, std::numeric_limits<int32_t>::max());
}

TEST(SettingsFile, NamesMatchWithoutCaseAndValuesLoseTheirBlanks)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    writeBytes(file.string(),
               "; a comment line\n"
               "stray=ignored before any section\n"
               "[ locationinformation ]\n"
               "  location =  Pikes Peak  \n"
               "filename=IGRF.COF\n"
               "Location=second one does not count\n"
               "[LOCATIONINFORMATION]\n"
               "ilatd = 45\n");
    const Settings s = readSettings(file);
    EXPECT_EQ(s.location.Location, "Pikes Peak");
    EXPECT_EQ(s.location.FILENAME, "IGRF.COF");
    EXPECT_EQ(s.location.ILATD, 45);
}

TEST(SettingsFile, LongValuesComeBackCutTo254Bytes)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    LocationRecord l = denver();
    l.Location = std::string(300, 'x');
    ASSERT_FALSE(writeSettings(file, l, someGrid()).has_value());
    EXPECT_EQ(readSettings(file).location.Location, std::string(254, 'x'));

    // A two-byte character straddling the cut goes whole, not halved.
    l.Location = std::string(253, 'y') + "\xC3\xA9" + "tail";
    ASSERT_FALSE(writeSettings(file, l, someGrid()).has_value());
    EXPECT_EQ(readSettings(file).location.Location, std::string(253, 'y'));

    l.Location = std::string(254, 'z');
    ASSERT_FALSE(writeSettings(file, l, someGrid()).has_value());
    EXPECT_EQ(readSettings(file).location.Location, l.Location);
}

TEST(SettingsFile, LineBreakInANameCannotSplitTheFile)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    LocationRecord l = denver();
    l.Location = "North\nILATD=1\r\nRidge";
    ASSERT_FALSE(writeSettings(file, l, someGrid()).has_value());
    const Settings s = readSettings(file);
    EXPECT_EQ(s.location.Location, "North ILATD=1  Ridge");
    EXPECT_EQ(s.location.ILATD, 39);
}

TEST(SettingsFile, KeepsUnknownKeysAndSectionsOfAnExistingFile)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    writeBytes(file.string(),
               "[Window]\nX=10\n"
               "[LocationInformation]\nDLAT=1.000000\nNote=keep me\n"
               "[version]\nMajor=1\nBuild=7\n");
    ASSERT_FALSE(writeSettings(file, denver(), someGrid()).has_value());
    std::string expected = kDenverText;
    expected.insert(expected.find("Minor=0\n") + 8, "Build=7\n");
    expected.insert(expected.find("[GridInformation]"), "Note=keep me\n");
    expected += "[Window]\nX=10\n";
    EXPECT_EQ(readBytes(file.string()), expected);
}

TEST(SettingsFile, CreatesItsFolder)
{
    TempFolder folder;
    const auto file = folder.path() / "config" / "Tellurim" / "Tellurim.INI";
    ASSERT_FALSE(writeSettings(file, denver(), someGrid()).has_value());
    EXPECT_EQ(readBytes(file.string()), kDenverText);
}

TEST(SettingsFile, FolderThatCannotBeMadeIsReported)
{
    TempFolder folder;
    writeBytes(folder.file("plain"), "not a folder");
    const auto file = folder.path() / "plain" / "Tellurim" / "Tellurim.INI";
    const auto error = writeSettings(file, denver(), someGrid());
    ASSERT_TRUE(error.has_value());
    EXPECT_NE(error->cause, FileCause::None);
    EXPECT_EQ(readSettings(file).location.Location, "Default");
    EXPECT_EQ(readBytes(folder.file("plain")), "not a folder");
}

TEST(SettingsFile, FailedWriteLeavesThePreviousSettingsWhole)
{
    TempFolder folder;
    const auto file = folder.path() / "Tellurim.INI";
    ASSERT_FALSE(writeSettings(file, denver(), someGrid()).has_value());

    // A file-size limit makes the write fail part-way, like a full disk;
    // unlike permissions it also holds for root.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    LocationRecord changed = denver();
    changed.Location = "Elsewhere";
    const auto error = writeSettings(file, changed, someGrid());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->cause, FileCause::DiskFull);
    EXPECT_EQ(readBytes(file.string()), kDenverText);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"Tellurim.INI"});
}

TEST(SettingsFile, LivesInTheConfigFolder)
{
    TempFolder folder;
    ScopedEnv home("HOME", folder.path().c_str());
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config");
        EXPECT_EQ(settingsFilePath(), std::filesystem::path("/somewhere/config/Tellurim/Tellurim.INI"));
    }
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        ScopedEnv config("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(settingsFilePath(), folder.path() / ".config" / "Tellurim" / "Tellurim.INI");
    }
}

TEST(LenientNumbers, ReadLikeTheCLibraryInAnyLocale)
{
    EXPECT_EQ(parseLenientDouble("12abc"), 12.0);
    EXPECT_EQ(parseLenientDouble("abc"), 0.0);
    EXPECT_EQ(parseLenientDouble(" \t-2.5e1x"), -25.0);
    EXPECT_EQ(parseLenientDouble("+.25"), 0.25);
    EXPECT_EQ(parseLenientDouble("1e"), 1.0);
    EXPECT_EQ(parseLenientDouble("5."), 5.0);
    EXPECT_EQ(parseLenientDouble("."), 0.0);
    EXPECT_EQ(parseLenientDouble("--1"), 0.0);
    EXPECT_EQ(parseLenientDouble("3,5"), 3.0);  // the separator is always a point
    EXPECT_EQ(parseLenientDouble("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_EQ(parseLenientDouble("1" + std::string(400, '0')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(parseLenientDouble("-INF"), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(parseLenientDouble("nan")));

    EXPECT_EQ(parseLenientInt("12abc"), 12);
    EXPECT_EQ(parseLenientInt("abc"), 0);
    EXPECT_EQ(parseLenientInt("  -42"), -42);
    EXPECT_EQ(parseLenientInt("+7"), 7);
    EXPECT_EQ(parseLenientInt("3.9"), 3);
    EXPECT_EQ(parseLenientInt("-"), 0);
    EXPECT_EQ(parseLenientInt("-2147483648"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(parseLenientInt("-99999999999999999999"), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(parseLenientInt("2147483648"), std::numeric_limits<int32_t>::max());
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
        for (int key = 0; key < 200; ++key) {
            text += "k" + std::to_string(key) + "=" + std::to_string(section * key) + "\n";
        }
    }
    const ProfileFile profile = ProfileFile::parse(text);
    EXPECT_EQ(profile.value("s49", "K199"), std::to_string(49 * 199));
    ProfileFile copy;
    copy.addMissingFrom(profile);
    EXPECT_EQ(copy.text(), text);
}

}  // namespace
}  // namespace tellurim
