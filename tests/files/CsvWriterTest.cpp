#include "files/CsvWriter.h"
#include "support/FileSizeLimit.h"
#include "support/HostileInputs.h"
#include "support/TestEnvironment.h"
#include "support/TestText.h"
#include "record/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace tellurim {
namespace {

TEST(CsvRowFormat, SeparatesQuotesAndEndsRows)
{
    std::string out;
    CsvRow(out).text("Home").number(1609.344f).integer(-7).text("").end(true);
    EXPECT_EQ(out, "\"Home\",1609.343994,-7,\"\",\r\n");

    out.clear();
    CsvRow(out).integer(std::numeric_limits<int32_t>::min()).number(-0.0f).end(false);
    EXPECT_EQ(out, "-2147483648,-0.000000\r\n");

    // Quotes inside texts are doubled, commas kept.
    out.clear();
    CsvRow(out).text("Pike's \"Peak\", CO").end(false);
    EXPECT_EQ(out, "\"Pike's \"\"Peak\"\", CO\"\r\n");

    // An empty row is only the line end.
    out.clear();
    CsvRow(out).end(false);
    EXPECT_EQ(out, "\r\n");
}

std::string printfFixed(double value)
{
    char text[512];
    std::snprintf(text, sizeof text, "%f", value);
    return text;
}

TEST(CsvRowFormat, RowsLongerThanTheirLineAndNumberListsComeOutFieldByField)
{
    // 40 numbers of every size, a long text, texts with and without quotes:
    // the row's own line fills and is handed on several times.
    std::mt19937 random(99);
    std::vector<float> values;
    std::string expected;
    for (int i = 0; i < 40; ++i) {
        values.push_back(std::ldexp(static_cast<float>(random() % 2000000) - 1.0e6f, static_cast<int>(random() % 40) - 20));
        expected += printfFixed(static_cast<double>(values.back())) + ",";
    }
    values.push_back(-std::numeric_limits<float>::infinity());
    values.push_back(3.0e38f);
    expected += printfFixed(static_cast<double>(values[40])) + "," + printfFixed(static_cast<double>(values[41])) + ",";
    const std::string name(300, 'n');
    expected += "\"" + name + "\",\"a\"\"b\",\"OK\",7\r\n";

    std::string out = "before|";
    {
        CsvRow row(out);
        for (std::size_t i = 0; i < 20; ++i)
            row.number(values[i]);
        row.numbers(std::span{values}.subspan(20, 10)).numbers(std::span{values}.subspan(30, 10));
        row.numbers(std::span{values}.subspan(40)).text(name).text("a\"b").text("OK").integer(7).end(false);
    }
    EXPECT_EQ(out, "before|" + expected);
}

TEST(CsvFileWrites, ReportsDiskFullWithItsCode)
{
    CsvFile file;
    ASSERT_FALSE(file.create("/dev/full").has_value());
    const auto error = file.write("a line\r\n");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->cause, FileCause::DiskFull);
    EXPECT_EQ(csvWriteErrorText(*error), "Error writing CSV file. Code: 13.");
}

TEST(CsvFileWrites, ANamedPipeNobodyReadsIsRefusedAtOnce)
{
    TempDir folder;
    const std::string fifo = makeFifo(folder.path(), "export.csv");
    const Deadline deadline(5);  // a blocking open ends the test run here
    CsvFile file;
    const auto error = file.create(fifo);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->osError, ENXIO);
    EXPECT_FALSE(file.isOpen());
}

TEST(CsvFileWrites, ARowCutShortByAFullDiskIsTakenBackSoTheNextRowStartsClean)
{
    TempDir folder;
    const std::string path = folder.file("rows.csv");
    const std::string first = "\"first\",1.000000,\r\n";
    const std::string second = "\"second, a longer row\",2.000000,\r\n";
    const std::string third = "\"third\",3.000000,\r\n";
    CsvFile file;
    ASSERT_FALSE(file.create(path).has_value());
    {
        FileSizeLimit limit(first.size() + 10);
        ASSERT_TRUE(limit.active());
        ASSERT_FALSE(file.write(first).has_value());
        const auto error = file.write(second);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(csvWriteErrorText(*error), "Error writing CSV file. Code: 13.");
        EXPECT_EQ(readWholeFile(path), first);
    }
    // Room again: the next row follows the last whole one.
    EXPECT_FALSE(file.write(third, true).has_value());
    EXPECT_EQ(readWholeFile(path), first + third);
}

}  // namespace
}  // namespace tellurim
