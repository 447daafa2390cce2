// The uncertainties and compass zones on the command line: the point text,
// --json of point, poles and batch, and the columns --with appends.
#include "cli/CliTestSupport.h"
#include "grid/GridCsv.h"
#include "support/JsonCheck.h"

#include <gtest/gtest.h>

namespace tellurim::cli {
namespace {

std::string lineAfter(const std::string& text, const std::string& label)
{
    const size_t at = text.find(label);
    if (at == std::string::npos)
        return "(no " + label + ")";
    const size_t start = at + label.size();
    return text.substr(start, text.find('\n', start) - start);
}

// Each line a JSON value on its own.
void expectJsonLines(const std::string& out, size_t count)
{
    std::vector<std::string> lines;
    for (size_t at = 0; at < out.size();) {
        const size_t end = out.find('\n', at);
        ASSERT_NE(end, std::string::npos) << "last line unended";
        lines.push_back(out.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_EQ(lines.size(), count) << out;
    for (const std::string& line : lines)
        EXPECT_TRUE(JsonCheck::isValue(line)) << line;
}

TEST(CliAccuracy, PointTextShowsTheUncertaintiesAndTheZoneOfEachZone)
{
    struct Case {
        const char* lat;
        const char* lon;
        std::string zone;
    };
    // H about 20800, 3230 and 1220 nT in 2026.
    for (const Case& c : {Case{"40", "-105", "outside the caution and blackout zones (H 6000 nT or more)"},
                          Case{"75", "-95", "CAUTION ZONE: compass accuracy may be degraded (H below 6000 nT)"},
                          Case{"85", "-120", "BLACKOUT ZONE: compass unreliable (H below 2000 nT)"}}) {
        const CliRun run = runWith({"point", "--lat", c.lat, "--lon", c.lon, "--year", "2026", "--model", modelPath()});
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(lineAfter(run.out, "Compass zone:           "), c.zone) << c.lat;
        EXPECT_EQ(lineAfter(run.out, "Uncertainty (1 sigma):  ").rfind("F 138 nT, I 0.20 deg, D ", 0), 0u) << c.lat;
    }
    // Near the pole the declination's uncertainty grows: about 4.4 degrees at H = 1223 nT.
    const CliRun blackout = runWith({"point", "--lat", "85", "--lon", "-120", "--year", "2026", "--model", modelPath()});
    EXPECT_NE(blackout.out.find(", D 4.4"), std::string::npos) << blackout.out;
}

TEST(CliAccuracy, ModelIsRecognisedByTheNameInItsFileNotByTheFileName)
{
    TempDir dir;
    const std::string renamed = dir.file("mine.COF");
    const std::string original = readWholeFile(modelPath());
    writeWholeFile(renamed, original);
    const CliRun known = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026", "--model", renamed});
    ASSERT_EQ(known.status, 0) << known.err;
    EXPECT_NE(known.out.find("Uncertainty (1 sigma):  F 138 nT"), std::string::npos) << known.out;

    // The same coefficients under another header name, in a file named as the shipped one.
    std::string other = original;
    other.replace(other.find("WMM-2025"), 8, "MY-MODEL");
    const std::string disguised = dir.file("WMM2025.COF");
    writeWholeFile(disguised, other);
    const CliRun unknown = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026", "--model", disguised});
    ASSERT_EQ(unknown.status, 0) << unknown.err;
    EXPECT_EQ(lineAfter(unknown.out, "Uncertainty (1 sigma):  "), "no published figure for this model");
    const CliRun json = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026", "--model", disguised, "--json"});
    EXPECT_NE(json.out.find(R"("uncertainty":null)"), std::string::npos);
    EXPECT_NE(json.out.find(R"("uncertainty_published":false)"), std::string::npos);
    EXPECT_NE(json.out.find(R"("header_name":"MY-MODEL")"), std::string::npos);
    EXPECT_EQ(json.out.find("138"), std::string::npos) << "no figure may be invented";
}

TEST(CliAccuracy, JsonIsOneWellFormedObjectPerPoint)
{
    const CliRun point = runWith({"point", "--lat", "75", "--lon", "-95", "--year", "2026", "--model", modelPath(),
                                  "--json"});
    ASSERT_EQ(point.status, 0) << point.err;
    expectJsonLines(point.out, 1);
    for (const char* part : {R"("compass_zone":"caution")", R"("F":{"value":)", R"("uncertainty":133})",
                             R"("annual_change_unit":"min/yr")", R"("validity":{"text":"OK","date_in_range":true)",
                             R"("file":")", R"("header_name":"WMM-2025","epoch":2025,"valid_from":2025,"valid_to":2030)"})
        EXPECT_NE(point.out.find(part), std::string::npos) << part;

    const CliRun poles = runWith({"poles", "--year", "2026", "--model", modelPath(), "--json"});
    ASSERT_EQ(poles.status, 0) << poles.err;
    expectJsonLines(poles.out, 2);
    EXPECT_EQ(poles.out.rfind(R"({"pole":"north",)", 0), 0u);
    EXPECT_EQ(countOf(poles.out, R"("compass_zone":"blackout")"), 2u);

    // A bad line is reported and skipped; a file name that needs escaping stays valid JSON.
    TempDir dir;
    const std::string odd = dir.file("a \"quoted\"\\name\x01.COF");
    writeWholeFile(odd, readWholeFile(modelPath()));
    const CliRun batch = runWith({"batch", "--year", "2031", "--model", odd, "--json"}, "10 20\nbad\n-33.9 18.4 100 2026\n");
    EXPECT_EQ(batch.status, 1);
    expectJsonLines(batch.out, 2);
    EXPECT_NE(batch.out.find(R"("date_in_range":false)"), std::string::npos);
    EXPECT_NE(batch.out.find(R"(a \"quoted\"\\name\u0001.COF")"), std::string::npos) << batch.out;
}

TEST(CliAccuracy, WithAppendsColumnsAfterTheGridFilesOwn)
{
    const std::vector<std::string> grid{"grid", "--lat", "74", "76", "1", "--lon", "-95", "-95", "1", "--year", "2026",
                                        "--model", modelPath()};
    const CliRun plain = runWith(grid);
    std::vector<std::string> withArgs = grid;
    withArgs.insert(withArgs.end(), {"--with", "zone,uncertainty", "--threads", "2"});
    const CliRun with = runWith(withArgs);
    ASSERT_EQ(with.status, 0) << with.err;
    const std::vector<std::string> plainLines = crlfLines(plain.out);
    const std::vector<std::string> withLines = crlfLines(with.out);
    ASSERT_EQ(withLines.size(), plainLines.size());
    for (size_t i = 0; i < plainLines.size(); ++i)
        EXPECT_EQ(withLines[i].rfind(plainLines[i], 0), 0u) << i;
    EXPECT_EQ(withLines[0].substr(plainLines[0].size()),
              R"("Compass zone","Incident Field uncertainty","Declination uncertainty","Dip uncertainty",)"
              R"("Horizontal Field uncertainty","X-field uncertainty","Y-field uncertainty",)"
              R"("Vertical Field uncertainty",)");
    EXPECT_EQ(withLines[2].substr(plainLines[2].size()).rfind(R"("caution",138.000000,)", 0), 0u) << withLines[2];

    const CliRun batch = runWith({"batch", "--year", "2026", "--model", modelPath(), "--with", "zone"}, "85 -120\n");
    ASSERT_EQ(batch.status, 0) << batch.err;
    EXPECT_NE(batch.out.find(R"("Polar Grid variation","Compass zone",)"), std::string::npos) << batch.out;
    EXPECT_NE(batch.out.find("\"blackout\",\r\n"), std::string::npos) << batch.out;
}

TEST(CliAccuracy, OptionsAreRefusedWhereTheyDoNotApply)
{
    const auto error = [](std::vector<std::string> args) {
        const CliRun run = runWith(args);
        EXPECT_EQ(run.status, 2) << run.out;
        return run.err;
    };
    EXPECT_EQ(error({"point", "--lat", "1", "--lon", "1", "--year", "2026", "--csv", "--json"}),
              "tellurim-cli: give either --csv or --json, not both\n");
    EXPECT_EQ(error({"grid", "--lat", "0", "1", "1", "--lon", "0", "1", "1", "--year", "2026", "--json"}),
              "tellurim-cli: unknown option --json for grid\n");
    EXPECT_EQ(error({"point", "--lat", "1", "--lon", "1", "--year", "2026", "--with", "zone"}),
              "tellurim-cli: --with adds CSV columns; give --csv too\n");
    EXPECT_EQ(error({"batch", "--with", "zone,height"}),
              "tellurim-cli: --with takes uncertainty, zone and grid, separated by commas (got 'zone,height')\n");
    EXPECT_EQ(error({"batch", "--with", "zone,zone"}), "tellurim-cli: --with names zone more than once\n");
    EXPECT_EQ(error({"batch", "--with=", "zone"}), "tellurim-cli: --with needs a value\n");
    EXPECT_EQ(error({"batch", "--json", "--with", "zone"}),
              "tellurim-cli: --with adds CSV columns; --json already carries the uncertainties and the zone\n");
}

}  // namespace
}  // namespace tellurim::cli
