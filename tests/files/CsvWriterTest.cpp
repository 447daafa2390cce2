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
#include <limits>
#include <random>
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
