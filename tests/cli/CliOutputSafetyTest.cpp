// What the command line does to protect files: the model is never the
// output, a grid that cannot fit is refused, and a failed run keeps the old
// output file.
#include "cli/CliOutput.h"
#include "cli/CliTestSupport.h"
#include "grid/GridSize.h"
#include "support/FileSizeLimit.h"
#include "support/HostileInputs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace tellurim::cli {
namespace {

std::vector<std::string> smallGrid(const std::string& model, const std::string& output)
{
    return {"grid", "--lat", "0", "10", "0.5", "--lon", "0", "10", "0.5", "--year", "2026", "--threads", "1",
            "--model", model, "--output", output};
}

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(CliOutputSafety, AnOutputThatIsTheModelFileIsRefusedAlsoThroughLinks)
{
    TempDir dir;
    const std::string model = dir.write("mine.COF", readWholeFile(modelPath()));
    std::filesystem::create_hard_link(model, dir / "hard.COF");
    std::filesystem::create_symlink("mine.COF", dir / "link.csv");
    for (const std::string& output : {model, dir.file("hard.COF"), dir.file("link.csv")}) {
        const CliRun run = runWith(smallGrid(model, output));
        EXPECT_EQ(run.status, 1) << output;
        EXPECT_EQ(run.err, "tellurim-cli: " + output + " is the model file; the grid would replace it\n");
    }
    EXPECT_TRUE(readWholeFile(model) == readWholeFile(modelPath()));
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"hard.COF", "link.csv", "mine.COF"}));
}

TEST(CliOutputSafety, AnOutputThatCannotBeWrittenSaysWhatItIs)
{
    TempDir dir;
    std::filesystem::create_directory(dir / "folder.csv");
    const std::string pipe = makeFifo(dir.path(), "pipe.csv");
    struct Case {
        std::string output;
        std::string said;
    };
    // Before, a folder was "Access ... was denied" and a pipe "a hardware I/O error".
    for (const Case& c : {Case{dir.file("folder.csv"), " is a folder."},
                          Case{pipe, " is a named pipe that no program reads from."}}) {
        const CliRun run = runWith(smallGrid(modelPath(), c.output));
        EXPECT_EQ(run.status, 1) << c.output;
        EXPECT_EQ(run.err, "tellurim-cli: cannot create the output file: " + c.output + c.said + "\n");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.csv"));
    EXPECT_EQ(folderEntries(dir.path()), (std::vector<std::string>{"folder.csv", "pipe.csv"}));
}

TEST(CliOutputSafety, AGridThatCannotFitIsRefusedWithBothSizes)
{
    TempDir dir;
    const std::string output = dir.file("huge.csv");
    if (freeBytesFor(output).value_or(0) > 13'000'000'000'000)
        GTEST_SKIP() << "this file system has room for 13 TB";
    const CliRun run = runWith({"grid", "--lat", "-90", "90", "0.001", "--lon", "-180", "180", "0.001", "--year",
                                "2026", "--model", modelPath(), "--output", output});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("tellurim-cli: the grid needs about 13.0 TB; ", 0), 0u) << run.err;
    EXPECT_TRUE(endsWith(run.err, " are free (--force writes it anyway)\n")) << run.err;
    EXPECT_TRUE(folderEntries(dir.path()).empty());
}

TEST(CliOutputSafety, AFailedWriteKeepsTheOldFileAndLeavesNoTemporaryOne)
{
    TempDir dir;
    const std::string old = dir.write("out.csv", "precious\n");
    const std::string fresh = dir.file("new.csv");
    CliRun kept, notCreated;
    {
        FileSizeLimit limit(20000);  // the grid is about 90 kB
        ASSERT_TRUE(limit.active());
        kept = runWith(smallGrid(modelPath(), old));
        notCreated = runWith(smallGrid(modelPath(), fresh));
    }
    EXPECT_EQ(kept.status, 1);
    EXPECT_EQ(kept.err, "tellurim-cli: cannot write " + old + ": File too large\ntellurim-cli: the old " + old +
                            " is kept\n");
    EXPECT_EQ(readWholeFile(old), "precious\n");
    EXPECT_EQ(notCreated.status, 1);
    EXPECT_TRUE(endsWith(notCreated.err, "tellurim-cli: " + fresh + " was not created\n")) << notCreated.err;
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out.csv"});

    // A complete run takes the old file's place.
    ASSERT_EQ(runWith(smallGrid(modelPath(), old)).status, 0);
    EXPECT_EQ(crlfLines(readWholeFile(old)).size(), 1u + 21u * 21u);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string>{"out.csv"});
}

TEST(CliOutputSafety, StandardOutputInAFileThatFillsUpEndsAtAWholeRow)
{
    // Batch output is handed on in blocks of whole rows of about 1 MB.
    std::string input;
    for (int i = 0; i < 8000; ++i)
        input += std::to_string(i % 90) + " " + std::to_string(i % 180) + "\n";
    TempDir dir;
    const std::string path = dir.file("batch.csv");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    std::ostringstream err;
    int status = -1;
    {
        FileSizeLimit limit(1'500'000);
        ASSERT_TRUE(limit.active());
        FdOutputBuffer buffer(fd, "standard output", 1 << 20);
        std::ostream out(&buffer);
        status = runCliWith({"batch", "--year", "2026", "--model", modelPath()}, out, err, input);
    }
    ::close(fd);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err.str(), "tellurim-cli: cannot write standard output: File too large\n");
    const std::string written = readWholeFile(path);
    const std::string whole = runWith({"batch", "--year", "2026", "--model", modelPath()}, input).out;
    ASSERT_GT(written.size(), 500'000u);
    EXPECT_EQ(written.back(), '\n');
    EXPECT_TRUE(whole.compare(0, written.size(), written) == 0);
}

}  // namespace
}  // namespace tellurim::cli
