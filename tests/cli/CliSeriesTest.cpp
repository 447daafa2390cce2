// tellurim-cli series: the field at one place over time.

#include "cli/CliTestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace tellurim::cli {
namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

TEST(CliSeries, EachLineIsThePointOfItsDateForwardAndBackward)
{
    const std::string model = shippedModel("Historical.chain");
    const CliRun forward = runWith({"series", "--lat", "51.5", "--lon", "0.12W", "--from", "1888", "--to", "1902",
                                    "--step", "3.5", "--model", model, "--json"});
    ASSERT_EQ(forward.status, 0) << forward.err;
    const std::vector<std::string> objects = lines(forward.out);
    ASSERT_EQ(objects.size(), 5u);  // 1888, 1891.5, 1895, 1898.5, 1902
    const char* years[] = {"1888", "1891.5", "1895", "1898.5", "1902"};
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const CliRun point = runWith({"point", "--lat", "51.5", "--lon", "-0.12", "--year", years[i], "--model",
                                      model, "--json"});
        EXPECT_EQ(objects[i] + "\n", point.out) << years[i];
    }
    // Backwards by a negative step: the same objects, last first.
    const CliRun backward = runWith({"series", "--lat", "51.5", "--lon", "-0.12", "--from", "1902", "--to",
                                     "1888", "--step", "-3.5", "--model", model, "--json"});
    const std::vector<std::string> reversed = lines(backward.out);
    ASSERT_EQ(reversed.size(), 5u);
    EXPECT_EQ(reversed.front(), objects.back());
    EXPECT_EQ(reversed.back(), objects.front());

    // CSV: the batch command's columns, a row per date, the batch's bytes.
    const CliRun csv = runWith({"series", "--lat", "51.5", "--lon", "-0.12", "--from", "-1200.5", "--to", "-1199.5",
                                "--step", "1", "--model", shippedModel("CALS10k.2"), "--csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const CliRun batch = runWith({"batch", "--model", shippedModel("CALS10k.2")},
                                 "51.5 -0.12 0 -1200.5\n51.5 -0.12 0 -1199.5\n");
    EXPECT_EQ(csv.out, batch.out);
}

TEST(CliSeries, BadSpansAndStepsAreRefused)
{
    const auto refusal = [](std::vector<std::string> extra) {
        std::vector<std::string> args{"series", "--lat", "10", "--lon", "10"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun run = runWith(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.out.empty());
        return run.err;
    };
    EXPECT_EQ(refusal({"--from", "2000", "--to", "1990", "--step", "1"}),
              "tellurim-cli: --step must be negative to run from a later --from to an earlier --to\n");
    EXPECT_EQ(refusal({"--from", "1990", "--to", "2000", "--step", "-1"}),
              "tellurim-cli: --step must be positive to run from an earlier --from to a later --to\n");
    EXPECT_EQ(refusal({"--from", "1990", "--to", "2000", "--step", "0"}), "tellurim-cli: --step must not be 0\n");
    EXPECT_EQ(refusal({"--from", "-8000", "--to", "3000", "--step", "0.00001"}),
              "tellurim-cli: the series would have more than 100000000 dates\n");
    EXPECT_EQ(refusal({"--from", "1990", "--to", "2000"}),
              "tellurim-cli: series needs --from YEAR --to YEAR --step YEARS\n");
    EXPECT_EQ(refusal({"--from", "-8001", "--to", "2000", "--step", "1"}),
              "tellurim-cli: --from must be between -8000 and 3000 (got -8001)\n");
}

TEST(CliSeries, PlainOutputIsATableWithTheValidityOfEachDate)
{
    const CliRun run = runWith({"series", "--lat", "51.5", "--lon", "-0.12", "--from", "1589", "--to", "1591",
                                "--step", "1", "--model", shippedModel("gufm1")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> rows = lines(run.out);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0], "Model: gufm1   latitude 51.5 deg, longitude -0.12 deg, elevation 0 m");
    EXPECT_NE(rows[2].find("1589"), std::string::npos);
    EXPECT_NE(rows[2].find("The year is out of range for the selected model"), std::string::npos) << rows[2];
    EXPECT_EQ(rows[3].substr(rows[3].size() - 2), "OK");
}

}  // namespace
}  // namespace tellurim::cli
