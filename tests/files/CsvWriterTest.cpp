#include "files/CsvWriter.h"
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

}  // namespace
}  // namespace tellurim
