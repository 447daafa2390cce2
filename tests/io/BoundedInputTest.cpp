#include "engine/EngineTestSupport.h"

#include "io/BoundedInput.h"
#include "support/HostileInputs.h"

#include <chrono>

namespace tellurim::test {
namespace {

TEST(BoundedInput, LinesEndAtTheirBreakAndALongLineStopsTheReading)
{
    TempDir dir;
    const std::string limit(kMaxModelLineBytes, 'x');
    BoundedInput input;
    ASSERT_FALSE(input.open(dir.write("a.txt", "one\r\n\n" + limit + "\r\n" + limit + "y\nlast")));
    std::string line;
    for (const std::string& expected : {std::string("one"), std::string(), limit}) {
        ASSERT_EQ(input.nextLine(line), LineRead::Line);
        EXPECT_EQ(line, expected);
    }
    EXPECT_EQ(input.nextLine(line), LineRead::TooLong);
    EXPECT_EQ(input.lineNumber(), 4u);
    EXPECT_EQ(input.nextLine(line), LineRead::TooLong);  // nothing further is read

    ASSERT_FALSE(input.open(dir.write("b.txt", "no line break")));
    EXPECT_EQ(input.nextLine(line), LineRead::Line);
    EXPECT_EQ(line, "no line break");
    EXPECT_EQ(input.nextLine(line), LineRead::End);
    std::string bytes;
    ASSERT_FALSE(input.open(dir.file("b.txt")));
    EXPECT_FALSE(input.read(bytes, 2));
    EXPECT_EQ(bytes, "no");
}

TEST(BoundedInput, DevicesPipesDirectoriesAndHugeFilesAreRefusedAtOnce)
{
    TempDir dir;
    const Deadline deadline{10};
    BoundedInput input;
    const auto problem = [&input](const std::string& path) {
        const std::optional<InputError> error = input.open(path);
        return error ? std::optional<InputProblem>(error->problem) : std::nullopt;
    };
    EXPECT_EQ(problem("/dev/zero"), InputProblem::NotRegularFile);
    EXPECT_EQ(problem(makeFifo(dir.path(), "pipe")), InputProblem::NotRegularFile);
    EXPECT_EQ(problem(dir.path().string()), InputProblem::NotRegularFile);
    EXPECT_EQ(problem(makeSparseFile(dir.path(), "huge", kMaxInputFileBytes + 1)), InputProblem::TooLarge);
    EXPECT_EQ(problem(makeSparseFile(dir.path(), "limit", kMaxInputFileBytes)), std::nullopt);
    EXPECT_EQ(problem(dir.file("missing")), InputProblem::CannotOpen);
    EXPECT_FALSE(input.isOpen());
}

TEST(ModelInputBounds, EndlessBlockingOrHugeModelsGiveTheReadErrorWithinASecond)
{
    TempDir dir;
    const Deadline deadline{10};
    const std::string header = headerRecord("2025.0");
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zero", "not a regular file"},
        {makeFifo(dir.path(), "pipe.COF"), "not a regular file"},
        {makeSparseFile(dir.path(), "huge.COF", kMaxInputFileBytes + 1), "larger than 64 MB"},
        {dir.write("wide.COF", modelText(header, {kAxialDipole + std::string(600, ' ') + "1"})),
         "longer than 512 bytes"},
    };
    for (const auto& [path, reason] : cases) {
        RecordingSink sink;
        ModelEngine engine{sink};
        std::string name = path;
        const auto started = std::chrono::steady_clock::now();
        engine.readModelFile(12, name);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1)) << path;
        EXPECT_FALSE(engine.isLoaded());
        EXPECT_EQ(name, path);
        ASSERT_EQ(sink.entries.size(), 1u);
        EXPECT_EQ(sink.entries[0].text, "ERROR READING FILE:;" + path);
        EXPECT_EQ(engine.lastReadProblem().reason, reason);
    }
}

TEST(ModelInputBounds, ReadFailuresTellTheLineAndTheReason)
{
    const std::string header = headerRecord("2025.0");
    const std::pair<std::string, ModelReadProblem> cases[] = {
        {"", {0, "the file is empty"}},
        {"    20x5.0\n", {1, "the epoch field is not a number"}},
        {header + "\n" + kAxialDipole + "\n  1  1  -1500.0  4x00.0\n", {3, "the h field is not a number"}},
        {header + "\n" + coefficientRecord(13, 0, 1.0, 0.0) + "\n", {2, "degree 13 is outside 0 to 12"}},
        {header + "\n" + kAxialDipole + "\n", {0, "the file ends after line 2 without the end record (degree 99)"}},
    };
    for (const auto& [text, expected] : cases) {
        ScratchModel scratch;
        EXPECT_FALSE(scratch.load(text));
        EXPECT_EQ(scratch.engine.lastReadProblem().line, expected.line) << text;
        EXPECT_EQ(scratch.engine.lastReadProblem().reason, expected.reason) << text;
    }
    // An open failure is no read problem.
    ScratchModel missing;
    missing.engine.readModelFile(12, missing.name = "NOSUCH.COF");
    EXPECT_EQ(missing.engine.lastReadProblem().reason, "");
}

}  // namespace
}  // namespace tellurim::test
