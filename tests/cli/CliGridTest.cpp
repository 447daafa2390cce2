#include "cli/CliOutput.h"
#include "cli/CliTestSupport.h"
#include "grid/GridCsv.h"
#include "grid/GridWalk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace tellurim::cli {
namespace {


struct Rectangle {
    float latStart, latEnd, latStep, lonStart, lonEnd, lonStep;
};

// The grid file computed the plain way: one engine, one point after another.
std::string sequentialGrid(const Rectangle& r, float elevation, float year)
{
    ShippedEngine shipped;
    std::string text = gridCsvHeader();
    for (const float lat : gridAxis(r.latStart, r.latEnd, r.latStep))
        for (const float lon : gridAxis(r.lonStart, r.lonEnd, r.lonStep))
            appendGridLine(text, lat, lon, shipped.engine.computePoint(elevation, lat, lon, year));
    return text;
}

std::vector<std::string> gridArgs(const Rectangle& r, const std::string& year, const std::string& threads)
{
    return {"grid", "--lat", std::to_string(r.latStart), std::to_string(r.latEnd), std::to_string(r.latStep),
            "--lon", std::to_string(r.lonStart), std::to_string(r.lonEnd), std::to_string(r.lonStep),
            "--year", year, "--model", modelPath(), "--threads", threads};
}

TEST(CliGrid, BytesMatchTheSequentialWalkForEveryThreadCount)
{
    // Crosses 55 degrees, so lines with and without grid variation mix.
    const Rectangle r{50.0f, 60.0f, 0.7f, -20.0f, 20.0f, 1.3f};
    const std::string expected = sequentialGrid(r, 0.0f, 2027.25f);
    for (const char* threads : {"1", "2", "3"}) {
        const CliRun run = runWith(gridArgs(r, "2027.25", threads));
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_TRUE(run.out == expected) << "threads " << threads;
    }
}

TEST(CliGrid, OutputFileHoldsTheSameBytes)
{
    TempDir dir;
    const auto path = dir.file("grid.csv");
    const Rectangle r{-2.0f, 2.0f, 0.5f, 170.0f, 180.0f, 2.5f};
    std::vector<std::string> args = gridArgs(r, "2025", "2");
    args.insert(args.end(), {"--output", path, "--elevation", "250"});
    const CliRun run = runWith(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(readWholeFile(path), sequentialGrid(r, 250.0f, 2025.0f));
}

TEST(CliGrid, AccumulatedLatitudesRunOnePastTheEnd)
{
    const CliRun run = runWith({"grid", "--lat", "-40.75", "-38.75", "0.1", "--lon", "10", "10", "1", "--year",
                                "2026", "--model", modelPath(), "--threads", "2"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = crlfLines(run.out);
    ASSERT_EQ(lines.size(), 23u);  // header and 22 rows of one point
    EXPECT_EQ(lines[1].substr(0, 11), "-40.750000,");
    EXPECT_EQ(lines[21].substr(0, 11), "-38.750031,");
    EXPECT_EQ(lines[22].substr(0, 11), "-38.650032,");
}

TEST(CliGrid, TheRowBeyondTheEndNeverPassesThePole)
{
    const CliRun run = runWith({"grid", "--lat", "89", "90", "0.3", "--lon", "10", "10", "1", "--year", "2026",
                                "--model", modelPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto lines = crlfLines(run.out);
    ASSERT_EQ(lines.size(), 5u);  // header and the rows 89, 89.3, 89.6, 89.9
    EXPECT_EQ(lines[4].substr(0, 10), "89.900009,");
    EXPECT_EQ(run.out.find("90.2"), std::string::npos);
}

TEST(CliGrid, ProgressGoesToTheTerminalOnlyAndNeverIntoTheFile)
{
    const std::vector<std::string> args{"grid", "--lat", "0", "30", "0.5", "--lon", "0", "30", "0.5",
                                        "--year", "2026", "--model", modelPath(), "--threads", "2"};
    std::ostringstream out, err;
    ASSERT_EQ(runCliWith(args, out, err, "", true), 0);
    const std::string shown = err.str();
    EXPECT_EQ(shown.rfind("\rtellurim-cli: grid ", 0), 0u) << shown;
    // With the estimated size: 61 x 61 points of about 201 bytes and the header.
    EXPECT_NE(shown.find("\rtellurim-cli: grid 100% of about 748.2 kB\n"), std::string::npos) << shown;
    EXPECT_EQ(shown.back(), '\n');
    EXPECT_EQ(out.str(), runWith(args).out);
}

TEST(CliGrid, StartAboveEndIsRefusedNotAnEmptyGrid)
{
    // Once a header alone and exit 0, as if a grid had been written.
    const CliRun run = runWith({"grid", "--lat", "10", "5", "1", "--lon", "0", "3", "1", "--year", "2026", "--model",
                                modelPath()});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("tellurim-cli: --lat runs from START up to END, south to north (got 10 then 5)", 0), 0u)
        << run.err;
}

TEST(CliGrid, LifeSpanWarningAppearsOnceWhateverTheThreads)
{
    const Rectangle r{0.0f, 3.0f, 1.0f, 0.0f, 3.0f, 1.0f};
    const CliRun run = runWith(gridArgs(r, "2040", "3"));
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(countOf(run.err, "WARNING: TIME BEYOND"), 1u) << run.err;
    EXPECT_NE(run.out.find("The year is out of range for the selected model"), std::string::npos);
}

TEST(CliGrid, FailedCreateOrWriteIsReportedAndNeverSuccess)
{
    TempDir dir;
    const Rectangle r{0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f};

    std::vector<std::string> args = gridArgs(r, "2026", "2");
    args.insert(args.end(), {"--output", dir.file("missing-dir/grid.csv")});
    const CliRun cannotCreate = runWith(args);
    EXPECT_EQ(cannotCreate.status, 1);
    EXPECT_EQ(cannotCreate.err.rfind("tellurim-cli: cannot create the output file: ", 0), 0u) << cannotCreate.err;

    args = gridArgs(r, "2026", "2");
    args.insert(args.end(), {"--output", "/dev/full"});
    const CliRun full = runWith(args);
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "tellurim-cli: cannot write /dev/full: No space left on device\n");
    EXPECT_EQ(full.out, "");
}

TEST(CliGrid, BadModelLeavesAnExistingOutputFileAlone)
{
    TempDir dir;
    const auto path = dir.file("keep.csv");
    writeWholeFile(path, "precious\n");
    const CliRun run = runWith({"grid", "--lat", "0", "1", "1", "--lon", "0", "1", "1", "--year", "2026", "--model",
                                dir.file("absent.COF"), "--output", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(readWholeFile(path), "precious\n");
}

TEST(CliGrid, StandardOutputFailuresCarryTheirCause)
{
    // A descriptor on a full device: the buffer records ENOSPC, code 13.
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    {
        FdOutputBuffer buffer(fd, "standard output", 64);
        std::ostream out(&buffer);
        std::ostringstream err;
        EXPECT_EQ(runCliWith({"grid", "--lat", "0", "2", "1", "--lon", "0", "2", "1", "--year", "2026", "--model",
                              modelPath()},
                             out, err),
                  1);
        EXPECT_EQ(err.str(), "tellurim-cli: cannot write standard output: No space left on device\n");
        ASSERT_TRUE(buffer.error().has_value());
        EXPECT_EQ(buffer.error()->cause, FileCause::DiskFull);
    }
    ::close(fd);

    // Any other stream that refuses bytes is a line that could not be written.
    std::ostringstream refusing;
    refusing.setstate(std::ios::badbit);
    StreamTarget target(refusing);
    const auto error = target.write("x");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->cause, FileCause::DiskFull);
}

TEST(FdOutputBufferTest, SmallAndLargeWritesArriveInOrder)
{
    TempDir dir;
    const auto path = dir.file("out.txt");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    const std::string large(1000, 'L');
    {
        FdOutputBuffer buffer(fd, "out", 16);
        std::ostream out(&buffer);
        out << "ab" << 'c' << large << "tail";
        out.flush();
        EXPECT_TRUE(out.good());
        EXPECT_FALSE(buffer.error().has_value());
    }
    ::close(fd);
    EXPECT_EQ(readWholeFile(path), "abc" + large + "tail");
}

}  // namespace
}  // namespace tellurim::cli
