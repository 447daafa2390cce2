#include "files/LocationFile.h"

#include "io/BoundedInput.h"
#include "support/HostileInputs.h"
#include "support/Records.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <limits>

namespace tellurim {
namespace {

LocationRecord homeRecord()
{
    return {.DLAT = 39.75f, .ILATD = 39, .ILATM = 45, .XLATS = 0.0f, .DLON = 105.25f, .ILONM = 15, .ILOND = 105,
            .XLONS = 0.0f, .ALTF = 5280.0f, .ALTM = 1609.344f, .IDAY = 4, .IMONTH = 7, .IYR = 2003, .DDATE = 2003.5f,
            .IHEM_NS = 0, .JHEM_EW = 1, .FILENAME = "WMM-95.COF", .Location = "Home"};
}

std::string bytesOf(std::initializer_list<int> values)
{
    std::string out;
    for (const int value : values)
        out.push_back(static_cast<char>(value));
    return out;
}

std::string littleEndian(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    return {static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
            static_cast<char>((bits >> 16) & 0xFF), static_cast<char>(bits >> 24)};
}

TEST(LocationFileFormat, HomeWithDefaultModelIsNinetySevenExactBytes)
{
    const std::string expected =
        std::string("Tellurim\0", 9) + bytesOf({1, 0, 0, 0}) +          // version
        bytesOf({4, 0, 0, 0}) + std::string("Home\0", 5) +              // name
        bytesOf({10, 0, 0, 0}) + std::string("WMM-95.COF\0", 11) +      // model path
        bytesOf({0x00, 0x00, 0x1F, 0x42}) +                             // DLAT 39.75
        bytesOf({39, 0, 0, 0}) + bytesOf({45, 0, 0, 0}) +               // ILATD ILATM
        bytesOf({0, 0, 0, 0}) +                                         // XLATS
        bytesOf({0x00, 0x80, 0xD2, 0x42}) +                             // DLON 105.25
        bytesOf({105, 0, 0, 0}) + bytesOf({15, 0, 0, 0}) +              // ILOND before ILONM
        bytesOf({0, 0, 0, 0}) +                                         // XLONS
        bytesOf({0x00, 0x00, 0xA5, 0x45}) +                             // ALTF 5280
        bytesOf({0x02, 0x2B, 0xC9, 0x44}) +                             // ALTM 1609.344
        bytesOf({4, 0, 0, 0}) + bytesOf({7, 0, 0, 0}) +                 // IDAY IMONTH
        bytesOf({0xD3, 0x07, 0, 0}) +                                   // IYR 2003
        bytesOf({0, 0, 0, 0}) + bytesOf({1, 0, 0, 0});                  // IHEM_NS JHEM_EW
    ASSERT_EQ(expected.size(), 97u);
    EXPECT_EQ(encodeLocationFile(homeRecord()), expected);
}

TEST(LocationFileFormat, RoundTripKeepsEveryBitOfOddValues)
{
    const LocationRecord original{.DLAT = std::bit_cast<float>(0x7FC12345u),   // quiet NaN with a payload
                                  .ILATD = INT32_MIN, .ILATM = -1,
                                  .XLATS = std::bit_cast<float>(0xFFA00001u),  // negative signalling NaN
                                  .DLON = -0.0f, .ILONM = 0x01020304, .ILOND = INT32_MAX,
                                  .XLONS = std::numeric_limits<float>::denorm_min(),
                                  .ALTF = -std::numeric_limits<float>::infinity(),
                                  .ALTM = std::numeric_limits<float>::max(), .IDAY = 31, .IMONTH = 13, .IYR = -5,
                                  .IHEM_NS = 7, .JHEM_EW = -7, .FILENAME = std::string(255, 'm'),
                                  .Location = std::string("Caf\xE9, \"quoted\"; \x7F\x01", 17)};

    const std::string bytes = encodeLocationFile(original);
    EXPECT_EQ(bytes.size(), kLocationFileFixedSize + 17 + 255);
    LocationRecord loaded;
    ASSERT_EQ(decodeLocationFile(bytes, loaded), LocationReadStatus::Ok);
    EXPECT_EQ(storedFields(loaded), storedFields(original));
    EXPECT_EQ(encodeLocationFile(loaded), bytes);
}

TEST(LocationFileFormat, DecodingLeavesUnstoredFieldsAlone)
{
    LocationRecord target;
    target.DDATE = 1234.5f;
    ASSERT_EQ(decodeLocationFile(encodeLocationFile(homeRecord()), target), LocationReadStatus::Ok);
    EXPECT_EQ(target.DDATE, 1234.5f);
    EXPECT_EQ(storedFields(target), storedFields(homeRecord()));
}

TEST(LocationFileFormat, RefusedFilesLeaveTheRecordUntouched)
{
    const std::string good = encodeLocationFile(homeRecord());
    struct Case {
        const char* what;
        std::string bytes;
        LocationReadStatus status;
    };
    std::vector<Case> cases = {
        {"other signature", "Tellurin" + good.substr(8), LocationReadStatus::NotLocationFile},
        {"signature without its zero", "TellurimX" + good.substr(9), LocationReadStatus::NotLocationFile},
        {"a text file", "Location,Model\r\nHome,WMM\r\n", LocationReadStatus::NotLocationFile},
        {"version 2", good.substr(0, 9) + littleEndian(2) + good.substr(13), LocationReadStatus::UnknownVersion},
        {"version 0", good.substr(0, 9) + littleEndian(0) + good.substr(13), LocationReadStatus::UnknownVersion},
        {"empty file", "", LocationReadStatus::Damaged},
        {"negative name length", good.substr(0, 13) + littleEndian(-1) + good.substr(17), LocationReadStatus::Damaged},
        {"name length 256", good.substr(0, 13) + littleEndian(256) + std::string(300, 'x'), LocationReadStatus::Damaged},
        {"huge name length", good.substr(0, 13) + littleEndian(INT32_MAX) + good.substr(17), LocationReadStatus::Damaged},
        {"negative model length", good.substr(0, 22) + littleEndian(INT32_MIN) + good.substr(26), LocationReadStatus::Damaged},
        {"model length 256", good.substr(0, 22) + littleEndian(256) + std::string(300, 'x'), LocationReadStatus::Damaged},
    };
    // A file cut anywhere short of its end is incomplete, not merely odd.
    for (size_t length = 0; length < good.size(); ++length) {
        cases.push_back({"truncated", good.substr(0, length), LocationReadStatus::Damaged});
    }
    for (const Case& c : cases) {
        LocationRecord record = homeRecord();
        record.Location = "Before";
        record.DLAT = 12.5f;
        record.DDATE = 2001.25f;
        const LocationRecord before = record;
        EXPECT_EQ(decodeLocationFile(c.bytes, record), c.status) << c.what << " (" << c.bytes.size() << " bytes)";
        EXPECT_EQ(storedFields(record), storedFields(before));
        EXPECT_EQ(record.DDATE, before.DDATE);
    }
}

TEST(LocationFileFormat, TextsEndAtTheirFirstZeroByteAndTrailingBytesAreIgnored)
{
    LocationRecord source = homeRecord();
    source.Location = std::string("ab\0cd", 5);
    std::string bytes = encodeLocationFile(source) + "trailing";
    LocationRecord loaded;
    ASSERT_EQ(decodeLocationFile(bytes, loaded), LocationReadStatus::Ok);
    EXPECT_EQ(loaded.Location, "ab");
    EXPECT_EQ(loaded.FILENAME, "WMM-95.COF");
    EXPECT_EQ(loaded.JHEM_EW, 1);
}

TEST(LocationFileFormat, TextsOfAtMost255BytesFit)
{
    LocationRecord record;
    record.Location = std::string(255, 'n');
    record.FILENAME = std::string(255, 'p');
    EXPECT_TRUE(fitsLocationFile(record));
    record.Location.push_back('n');
    EXPECT_FALSE(fitsLocationFile(record));
    record.Location.pop_back();
    record.FILENAME.push_back('p');
    EXPECT_FALSE(fitsLocationFile(record));
}

TEST(LocationFileReading, ReadsAFileFromDiskAndReportsMissingFilesAndFolders)
{
    TempDir folder;
    LocationRecord loaded;
    FileError error;
    ASSERT_EQ(readLocationFile(folder.write("Home.LOC", encodeLocationFile(homeRecord())), loaded, error),
              LocationReadStatus::Ok);
    EXPECT_EQ(storedFields(loaded), storedFields(homeRecord()));

    LocationRecord record = homeRecord();
    EXPECT_EQ(readLocationFile(folder.file("absent.LOC"), record, error), LocationReadStatus::CannotOpen);
    EXPECT_EQ(error.cause, FileCause::FileNotFound);
    EXPECT_EQ(error.fileName, folder.file("absent.LOC"));

    EXPECT_EQ(readLocationFile(folder.path().string(), record, error), LocationReadStatus::ReadFailed);
    EXPECT_EQ(error.cause, FileCause::AccessDenied);  // reading a folder: EISDIR
    EXPECT_EQ(storedFields(record), storedFields(homeRecord()));
}

TEST(LocationFileReading, AnEndlessDeviceIsRefusedWithoutHanging)
{
    LocationRecord record = homeRecord();
    FileError error;
    EXPECT_EQ(readLocationFile("/dev/zero", record, error), LocationReadStatus::NotLocationFile);
    EXPECT_EQ(storedFields(record), storedFields(homeRecord()));
}

TEST(LocationFileReading, PipesAndFilesOverTheSizeLimitAreNoLocationFiles)
{
    TempDir folder;
    const Deadline deadline{10};
    const std::string huge = folder.write("Huge.LOC", encodeLocationFile(homeRecord()));
    ASSERT_EQ(::truncate(huge.c_str(), static_cast<off_t>(kMaxInputFileBytes + 1)), 0);
    for (const std::string& path : {makeFifo(folder.path(), "Pipe.LOC"), huge}) {
        LocationRecord record;
        FileError error;
        EXPECT_EQ(readLocationFile(path, record, error), LocationReadStatus::NotLocationFile) << path;
        EXPECT_EQ(storedFields(record), storedFields(LocationRecord{}));
    }
}

}  // namespace
}  // namespace tellurim
