#include "files/LocationFile.h"

#include "files/TempFolder.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace tellurim {
namespace {

LocationRecord homeRecord()
{
    LocationRecord record;
    record.Location = "Home";
    record.FILENAME = "WMM-95.COF";
    record.DLAT = 39.75f;
    record.ILATD = 39;
    record.ILATM = 45;
    record.XLATS = 0.0f;
    record.DLON = 105.25f;
    record.ILONM = 15;
    record.ILOND = 105;
    record.XLONS = 0.0f;
    record.ALTF = 5280.0f;
    record.ALTM = 1609.344f;
    record.IDAY = 4;
    record.IMONTH = 7;
    record.IYR = 2003;
    record.DDATE = 2003.5f;
    record.IHEM_NS = 0;
    record.JHEM_EW = 1;
    return record;
}

std::string bytesOf(std::initializer_list<int> values)
{
    std::string out;
    for (const int value : values) {
        out.push_back(static_cast<char>(value));
    }
    return out;
}

std::string littleEndian(int32_t value)
{
    const auto bits = static_cast<uint32_t>(value);
    return bytesOf({static_cast<int>(bits & 0xFF), static_cast<int>((bits >> 8) & 0xFF),
                    static_cast<int>((bits >> 16) & 0xFF), static_cast<int>(bits >> 24)});
}

// Every field compared by its bits, so NaN payloads and negative zero count.
void expectSameStoredFields(const LocationRecord& a, const LocationRecord& b)
{
    EXPECT_EQ(a.Location, b.Location);
    EXPECT_EQ(a.FILENAME, b.FILENAME);
    const auto bits = [](float value) { return std::bit_cast<uint32_t>(value); };
    EXPECT_EQ(bits(a.DLAT), bits(b.DLAT));
    EXPECT_EQ(bits(a.XLATS), bits(b.XLATS));
    EXPECT_EQ(bits(a.DLON), bits(b.DLON));
    EXPECT_EQ(bits(a.XLONS), bits(b.XLONS));
    EXPECT_EQ(bits(a.ALTF), bits(b.ALTF));
    EXPECT_EQ(bits(a.ALTM), bits(b.ALTM));
    EXPECT_EQ(a.ILATD, b.ILATD);
    EXPECT_EQ(a.ILATM, b.ILATM);
    EXPECT_EQ(a.ILOND, b.ILOND);
    EXPECT_EQ(a.ILONM, b.ILONM);
    EXPECT_EQ(a.IDAY, b.IDAY);
    EXPECT_EQ(a.IMONTH, b.IMONTH);
    EXPECT_EQ(a.IYR, b.IYR);
    EXPECT_EQ(a.IHEM_NS, b.IHEM_NS);
    EXPECT_EQ(a.JHEM_EW, b.JHEM_EW);
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
    LocationRecord original;
    original.Location = std::string("Caf\xE9, \"quoted\"; \x7F\x01", 17);
    original.FILENAME = std::string(255, 'm');
    original.DLAT = std::bit_cast<float>(0x7FC12345u);   // quiet NaN with a payload
    original.XLATS = std::bit_cast<float>(0xFFA00001u);  // negative signalling NaN
    original.DLON = -0.0f;
    original.XLONS = std::numeric_limits<float>::denorm_min();
    original.ALTF = -std::numeric_limits<float>::infinity();
    original.ALTM = std::numeric_limits<float>::max();
    original.ILATD = INT32_MIN;
    original.ILATM = -1;
    original.ILOND = INT32_MAX;
    original.ILONM = 0x01020304;
    original.IDAY = 31;
    original.IMONTH = 13;
    original.IYR = -5;
    original.IHEM_NS = 7;
    original.JHEM_EW = -7;

    const std::string bytes = encodeLocationFile(original);
    EXPECT_EQ(bytes.size(), kLocationFileFixedSize + 17 + 255);
    LocationRecord loaded;
    ASSERT_EQ(decodeLocationFile(bytes, loaded), LocationReadStatus::Ok);
    expectSameStoredFields(loaded, original);
    EXPECT_EQ(encodeLocationFile(loaded), bytes);
}

TEST(LocationFileFormat, DecodingLeavesUnstoredFieldsAlone)
{
    LocationRecord target;
    target.DDATE = 1234.5f;
    ASSERT_EQ(decodeLocationFile(encodeLocationFile(homeRecord()), target), LocationReadStatus::Ok);
    EXPECT_EQ(target.DDATE, 1234.5f);
    expectSameStoredFields(target, homeRecord());
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
        expectSameStoredFields(record, before);
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

TEST(LocationFileReading, ReadsAFileFromDisk)
{
    test::TempFolder folder;
    const std::string path = folder.file("Home.LOC");
    test::writeBytes(path, encodeLocationFile(homeRecord()));
    LocationRecord loaded;
    FileError error;
    ASSERT_EQ(readLocationFile(path, loaded, error), LocationReadStatus::Ok);
    expectSameStoredFields(loaded, homeRecord());
}

TEST(LocationFileReading, ReportsMissingFilesAndFolders)
{
    test::TempFolder folder;
    LocationRecord record = homeRecord();
    FileError error;
    EXPECT_EQ(readLocationFile(folder.file("absent.LOC"), record, error), LocationReadStatus::CannotOpen);
    EXPECT_EQ(error.cause, FileCause::FileNotFound);
    EXPECT_EQ(error.fileName, folder.file("absent.LOC"));

    EXPECT_EQ(readLocationFile(folder.path().string(), record, error), LocationReadStatus::ReadFailed);
    EXPECT_EQ(error.cause, FileCause::AccessDenied);  // reading a folder: EISDIR
    expectSameStoredFields(record, homeRecord());
}

TEST(LocationFileReading, AnEndlessDeviceIsRefusedWithoutHanging)
{
    LocationRecord record = homeRecord();
    FileError error;
    EXPECT_EQ(readLocationFile("/dev/zero", record, error), LocationReadStatus::NotLocationFile);
    expectSameStoredFields(record, homeRecord());
}

}  // namespace
}  // namespace tellurim
