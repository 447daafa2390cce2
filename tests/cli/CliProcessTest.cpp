// The real program, started as a process: exit statuses, redirections and
// the standard-output buffer that keeps the cause of a failed write.
#include "cli/CliTestSupport.h"
#include "grid/GridCsv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

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

TEST(CliProcess, FullStandardOutputIsReportedWithItsReason)
{
    for (const std::string& args : {"point --lat 1 --lon 2 --year 2026 " + model(),
                                    "grid --lat 0 10 1 --lon 0 10 1 --year 2026 " + model(),
                                    "poles --year 2026 --csv " + model(), "batch --year 2026 " + model()}) {
        const CliRun run = runProcess(args, "1 2\n", "/dev/full");
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(run.err, "tellurim-cli: cannot write standard output: No space left on device\n") << args;
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

TEST(CliProcess, AClosedPipeEndsTheRunQuietly)
{
    TempDir dir;
    const std::string command = "( " + quoted(TELLURIM_CLI_PATH) +
                                " grid --lat -90 90 1 --lon -180 180 1 --year 2026 " + model() + " 2> " +
                                quoted(dir.file("err")) + "; echo $? > " + quoted(dir.file("status")) +
                                " ) | head -1 > " + quoted(dir.file("out"));
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(readWholeFile(dir.file("status")), "141\n");
    EXPECT_EQ(readWholeFile(dir.file("err")), "");
    EXPECT_EQ(readWholeFile(dir.file("out")), gridCsvHeader());
}

// Whether the process has a file in folder open that already holds bytes:
// the new grid, which has no name in the folder while it is written.
bool isWritingInto(pid_t pid, const std::filesystem::path& folder)
{
    std::error_code ignored;
    const std::string prefix = std::filesystem::canonical(folder).string() + "/";
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored)) {
        const std::string target = std::filesystem::read_symlink(entry.path(), ignored).string();
        struct stat info {};
        if (target.rfind(prefix, 0) == 0 && ::stat(entry.path().c_str(), &info) == 0 && info.st_size > 0)
            return true;
    }
    return false;
}

// Starts a grid far larger than fits (hence --force) into folder/world.csv,
// sends the signal once it is being written, and returns the wait status.
int signalledGrid(const std::filesystem::path& folder, const std::string& err, int signalNumber)
{
    std::vector<std::string> args{TELLURIM_CLI_PATH, "grid", "--lat", "-90", "90", "0.001", "--lon", "-180",
                                  "180", "0.001", "--year", "2026", "--threads", "1", "--force",
                                  "--model", modelPath(), "--output", (folder / "world.csv").string()};
    std::vector<char*> argv;
    for (auto& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);

    const auto waitFor = [](const auto& done) {
        for (int i = 0; i < 1000; ++i) {
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    };
    EXPECT_TRUE(waitFor([&] { return isWritingInto(pid, folder); })) << "the grid was never written";
    ::kill(pid, signalNumber);
    int status = 0;
    const bool ended = waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; });
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    EXPECT_TRUE(ended) << "still running 20 s after signal " << signalNumber;
    return status;
}

TEST(CliProcess, InterruptingAGridKeepsTheOldOutputAndLeavesNothingElse)
{
    struct Case {
        int signalNumber;
        std::string said;  // empty: the signal cannot be caught
    };
    for (const Case& c : {Case{SIGINT, "interrupted"}, Case{SIGTERM, "terminated (SIGTERM)"},
                          Case{SIGHUP, "hung up (SIGHUP)"}, Case{SIGKILL, ""}}) {
        TempDir dir;
        std::filesystem::create_directory(dir / "grid");
        const std::string output = dir.write("grid/world.csv", "the old grid\n");
        const std::string err = dir.file("err.txt");
        const int status = signalledGrid(dir / "grid", err, c.signalNumber);
        if (c.said.empty()) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        } else {
            ASSERT_TRUE(WIFEXITED(status)) << c.said;
            EXPECT_EQ(WEXITSTATUS(status), 128 + c.signalNumber);
            EXPECT_EQ(readWholeFile(err), "tellurim-cli: " + c.said + "\ntellurim-cli: the old " + output + " is kept\n");
        }
        EXPECT_EQ(readWholeFile(output), "the old grid\n") << c.signalNumber;
        // Even SIGKILL leaves no temporary file: it never had a name.
        EXPECT_EQ(folderEntries(dir / "grid"), std::vector<std::string>{"world.csv"}) << c.signalNumber;
    }
}

}  // namespace
}  // namespace tellurim::cli
