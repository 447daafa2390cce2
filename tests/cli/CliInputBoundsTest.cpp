#include "cli/CliTestSupport.h"
#include "cli/ValueParsing.h"
#include "support/HostileInputs.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tellurim::cli {
namespace {

TEST(CliModelInput, DevicesAndPipesAreReadErrorsToldAtOnce)
{
    TempDir dir;
    const Deadline deadline{10};
    for (const std::string& model : {std::string("/dev/zero"), makeFifo(dir.path(), "pipe.COF")}) {
        const auto started = std::chrono::steady_clock::now();
        const CliRun run = runWith({"point", "--lat", "0", "--lon", "0", "--year", "2026", "--model", model});
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "ERROR READING FILE:\n" + model + "\nnot a regular file\n");
    }
}

TEST(CliBatchInput, ALineOverFourKilobytesIsABadLineAndTheRunGoesOn)
{
    const std::string good = "10 10 0 2026\n";
    const std::string longest = "20 20 0 2026" + std::string(4096 - 12, ' ') + "\r\n";
    const CliRun run = runWith({"batch", "--model", modelPath()},
                               good + std::string(100000, '7') + "\n" + longest + "30 30 0 2026" +
                                   std::string(4085, ' ') + "\n" + good);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "tellurim-cli: line 2: longer than 4096 bytes\n"
                       "tellurim-cli: line 4: longer than 4096 bytes\n");
    EXPECT_EQ(run.out, runWith({"batch", "--model", modelPath()}, good + "20 20 0 2026\n" + good).out);
}

TEST(CliNumberWords, TinyNumbersAreNumbersAndHugeOnesAreOutOfRange)
{
    const std::vector<std::string> at{"point", "--lon", "0", "--year", "2026", "--csv", "--lat"};
    const auto point = [&at](const std::string& latitude) {
        std::vector<std::string> args = at;
        args.push_back(latitude);
        return runWith(args);
    };
    const CliRun tiny = point("1e-50");
    EXPECT_EQ(tiny.status, 0) << tiny.err;
    EXPECT_EQ(tiny.out, point("0").out);
    EXPECT_EQ(point("-1e99").err, "tellurim-cli: --lat must be between -90 and 90 (got -1e99)\n");
    EXPECT_EQ(point("1.5.5").err, "tellurim-cli: --lat must be a number between -90 and 90 (got 1.5.5)\n");
}

TEST(CliEcho, GivenTextIsCutTo80CharactersWithControlAndStrayBytesEscaped)
{
    const CliRun longArgument = runWith({"point", std::string(200, 'a')});
    EXPECT_EQ(longArgument.err, "tellurim-cli: unexpected argument '" + std::string(80, 'a') + "...' for point\n");
    const CliRun batch = runWith({"batch", "--model", modelPath(), "--year", "2026"},
                                 "\x1b[2J 10\n10 \xff\xc3\xa9\xc2\x9b\n");
    EXPECT_EQ(batch.err, "tellurim-cli: line 1: latitude must be a number between -90 and 90 (got \\x1b[2J)\n"
                         "tellurim-cli: line 2: longitude must be a number between -180 and 180 "
                         "(got \\xff\xc3\xa9\\xc2\\x9b)\n");
    // Eighty characters, not bytes: each of these is two.
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "\xc3\xa9";
    EXPECT_EQ(echoed(text), text.substr(0, 160) + "...");
}

}  // namespace
}  // namespace tellurim::cli
