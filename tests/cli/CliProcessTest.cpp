// The real program, started as a process: exit statuses, redirections and
// the standard-output buffer that keeps the cause of a failed write.
#include "cli/CliTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace tellurim::cli {
namespace {

std::string quoted(const std::string& text)
{
    std::string result = "'";
    for (const char c : text) {
        if (c == '\'') {
            result += "'\\''";
        } else {
            result.push_back(c);
        }
    }
    return result + "'";
}

// Runs the program through the shell; stdoutTarget replaces the captured
// standard output (for example /dev/full) when given.
CliRun runProcess(const std::string& arguments, const std::string& stdinText = {},
                      const std::string& stdoutTarget = {})
{
    TempDir dir;
    const auto in = dir.file("in.txt");
    const auto out = dir.file("out.txt");
    const auto err = dir.file("err.txt");
    writeWholeFile(in, stdinText);
    const std::string command = quoted(TELLURIM_CLI_PATH) + " " + arguments + " < " + quoted(in) + " > " +
                                quoted(stdoutTarget.empty() ? out : stdoutTarget) + " 2> " + quoted(err);
    const int raw = std::system(command.c_str());
    CliRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = readWholeFile(out);
    run.err = readWholeFile(err);
    return run;
}

std::string model()
{
    return "--model " + quoted(modelPath());
}

TEST(CliProcess, FullStandardOutputIsReportedWithCauseCode13)
{
    for (const std::string& args : {"point --lat 1 --lon 2 --year 2026 " + model(),
                                    "grid --lat 0 10 1 --lon 0 10 1 --year 2026 " + model(),
                                    "poles --year 2026 --csv " + model(), "batch --year 2026 " + model()}) {
        const CliRun run = runProcess(args, "1 2\n", "/dev/full");
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(run.err, "Error writing CSV file. Code: 13.\n") << args;
    }
}

TEST(CliProcess, ExitStatusesAndStreams)
{
    const CliRun ok = runProcess("point --lat 40.015 --lon 105.27W --elevation 1655 --year 2026.5 --csv " + model());
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.err, "");
    // Same bytes as in-process.
    EXPECT_EQ(ok.out, runWith({"point", "--lat", "40.015", "--lon", "105.27W", "--elevation", "1655",
                                        "--year", "2026.5", "--csv", "--model", modelPath()})
                          .out);

    const CliRun usage = runProcess("point --lat 91 --lon 0 --year 2026");
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err, "tellurim-cli: --lat must be between -90 and 90 (got 91)\n");
    EXPECT_EQ(usage.out, "");

    const CliRun unknown = runProcess("grid --lat 0 1 1 --lon 0 1 1 --year 2026 --csv");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "tellurim-cli: unknown option --csv for grid\n");

    const CliRun missingModel = runProcess("poles --year 2026 --model /nonexistent/X.COF");
    EXPECT_EQ(missingModel.status, 1);
    EXPECT_EQ(missingModel.err, "ERROR OPENING FILE:\n/nonexistent/X.COF\n");

    const CliRun badLine = runProcess("batch --year 2026 " + model(), "1 2\nx y\n3 4\n");
    EXPECT_EQ(badLine.status, 1);
    EXPECT_EQ(badLine.err, "tellurim-cli: line 2: latitude must be a number between -90 and 90 (got x)\n");
    EXPECT_EQ(crlfLines(badLine.out).size(), 3u);
}

TEST(CliProcess, GridOnStandardOutputMatchesTheOutputFile)
{
    TempDir dir;
    const auto file = dir.file("grid.csv");
    const std::string grid = "grid --lat -10 10 0.5 --lon -30 30 0.5 --year 2027 " + model();
    const CliRun toStdout = runProcess(grid + " --threads 2");
    const CliRun toFile = runProcess(grid + " --threads 1 --output " + quoted(file));
    ASSERT_EQ(toStdout.status, 0) << toStdout.err;
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    // Not a terminal: no progress on standard error.
    EXPECT_EQ(toStdout.err, "");
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(crlfLines(toStdout.out).size(), 1u + 41u * 121u);
    EXPECT_TRUE(toStdout.out == readWholeFile(file));
}

}  // namespace
}  // namespace tellurim::cli
