// tellurim-cli map: what it refuses before drawing, and the files it writes.
#include "cli/CliCommon.h"
#include "cli/CliTestSupport.h"
#include "files/ReplaceFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tellurim::cli {
namespace {

std::vector<std::string> mapArgs(const std::string& output, std::vector<std::string> more = {})
{
    std::vector<std::string> args{"map", "--element", "D", "--year", "2026.5", "--model", modelPath(),
                                  "--size", "240x140", "--output", output};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

// WMM-2025 with its secular variation taken out: a model without annual change.
std::string modelWithoutChange(const TempDir& dir)
{
    std::ifstream in(modelPath());
    std::ostringstream out;
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (!header && line.size() >= 48 && line.find("9999") == std::string::npos)
            line = line.substr(0, 26) + "        0.0        0.0";
        header = false;
        out << line << '\n';
    }
    return dir.write("STATIC.COF", out.str());
}

TEST(CliMapTest, RefusesBadSettingsBeforeDrawingAnything)
{
    TempDir dir;
    const std::string output = dir.file("map.png");
    const struct {
        std::vector<std::string> more;
        std::string message;
    } cases[] = {
        {{"--size", "0x100"}, "--size must be WIDTHxHEIGHT, each 1 to 16384 pixels (got '0x100')"},
        {{"--size", "16385x10"}, "--size must be WIDTHxHEIGHT, each 1 to 16384 pixels (got '16385x10')"},
        {{"--size", "200"}, "(got '200')"},
        {{"--projection", "robinson"}, "unknown --projection 'robinson'"},
        {{"--region", "10", "10", "0", "20"}, "--region: SOUTH must be below NORTH"},
        {{"--region", "50", "10", "0", "20"}, "--region: SOUTH must be below NORTH"},
        {{"--region", "10", "20", "0"}, "--region needs four values: SOUTH NORTH WEST EAST"},
    };
    for (const auto& c : cases) {
        // The size option comes last, so it overrides mapArgs' own only through refusal.
        std::vector<std::string> args{"map", "--element", "D", "--year", "2026.5", "--output", output};
        args.insert(args.end(), c.more.begin(), c.more.end());
        const CliRun run = runWith(args);
        EXPECT_EQ(run.status, kExitUsage) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const CliRun element = runWith({"map", "--element", "Q", "--year", "2026", "--output", output});
    EXPECT_EQ(element.status, kExitUsage);
    EXPECT_NE(element.err.find("unknown element 'Q' for --element"), std::string::npos) << element.err;
    const CliRun noOutput = runWith({"map", "--element", "D", "--year", "2026"});
    EXPECT_EQ(noOutput.status, kExitUsage);
    EXPECT_NE(noOutput.err.find("map needs --output"), std::string::npos) << noOutput.err;
    const CliRun extension = runWith(mapArgs(dir.file("map.gif")));
    EXPECT_EQ(extension.status, kExitUsage);
    EXPECT_NE(extension.err.find("--output must name a .png, .svg or .pdf file"), std::string::npos);
    EXPECT_FALSE(pathExists(output));
    EXPECT_FALSE(pathExists(dir.file("map.gif")));
}

TEST(CliMapTest, RefusesAnElementTheModelLacks)
{
    TempDir dir;
    const std::string model = modelWithoutChange(dir);
    const std::string output = dir.file("map.png");
    const CliRun run =
        runWith({"map", "--element", "dD", "--year", "2026", "--model", model, "--output", output});
    EXPECT_EQ(run.status, kExitUsage);
    EXPECT_NE(run.err.find("has no annual change"), std::string::npos) << run.err;
    EXPECT_FALSE(pathExists(output));
    // The same model still draws what it has.
    EXPECT_EQ(runWith({"map", "--element", "F", "--year", "2026", "--model", model, "--size", "120x80", "--output",
                       output})
                  .status,
              kExitOk);
}

TEST(CliMapTest, WritesEachFormatAndAFailedWriteKeepsTheOldFile)
{
    TempDir dir;
    for (const auto& [name, magic] : {std::pair{"map.png", std::string("\x89PNG")},
                                      std::pair{"map.svg", std::string("<?xml")},
                                      std::pair{"map.pdf", std::string("%PDF")}}) {
        const CliRun run = runWith(mapArgs(dir.file(name), {"--zones", "--projection", "north-polar"}));
        ASSERT_EQ(run.status, kExitOk) << run.err;
        EXPECT_EQ(readWholeFile(dir.file(name)).substr(0, magic.size()), magic) << name;
    }
    EXPECT_NE(readWholeFile(dir.file("map.svg")).find("Coastlines: Natural Earth"), std::string::npos);

    const std::string missing = dir.file("no-such-folder/map.png");
    const CliRun refused = runWith(mapArgs(missing));
    EXPECT_EQ(refused.status, kExitFailure);
    EXPECT_NE(refused.err.find("cannot create the output file"), std::string::npos) << refused.err;

    // A read-only folder refuses the new file; the old one is untouched.
    const std::string old = dir.write("old.png", "old picture");
    if (::geteuid() != 0) {
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_EQ(runWith(mapArgs(old)).status, kExitFailure);
        std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    }
    EXPECT_EQ(readWholeFile(old), "old picture");
}

}  // namespace
}  // namespace tellurim::cli
