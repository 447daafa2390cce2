#include "cli/CliTestSupport.h"
#include "grid/GridCsv.h"
#include "record/Conversions.h"
#include "record/NumberText.h"
#include "record/ResultTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

namespace tellurim::cli {
namespace {


FieldResult computeDirect(float elevation, float latitude, float longitude, float year)
{
    return ShippedEngine().engine.computePoint(elevation, latitude, longitude, year);
}

// The grid file's header and line for one point, computed directly.
std::string expectedCsv(float elevation, float latitude, float longitude, float year)
{
    std::string text = gridCsvHeader();
    appendGridLine(text, latitude, longitude, computeDirect(elevation, latitude, longitude, year));
    return text;
}

TEST(CliPoint, CsvIsTheGridFilesHeaderAndLineForThatPoint)
{
    const CliRun run = runWith({"point", "--lat", "40.015", "--lon", "105.27W", "--elevation", "1655", "--year",
                                "2026.5", "--model", modelPath(), "--csv"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, expectedCsv(1655.0f, 40.015f, -105.27f, 2026.5f));
    EXPECT_EQ(crlfLines(run.out).size(), 2u);
    EXPECT_EQ(run.out.substr(gridCsvHeader().size(), 22), "40.014999,-105.269997,");
}

TEST(CliPoint, HemisphereLettersAndSignsGiveTheSameBytes)
{
    const CliRun letters = runWith({"point", "--lat", "72.5S", "--lon", "30W", "--date", "2027-03-15", "--model",
                                    modelPath(), "--csv"});
    const CliRun signs = runWith({"point", "--lat", "-72.5", "--lon", "-30", "--date", "2027-03-15", "--model",
                                  modelPath(), "--csv"});
    ASSERT_EQ(letters.status, 0) << letters.err;
    EXPECT_EQ(letters.out, signs.out);
    EXPECT_EQ(letters.out, expectedCsv(0.0f, -72.5f, -30.0f, dateToDecimalYear(3, 15, 2027)));
    // South of -55 the grid variation applies and is written as numbers.
    EXPECT_EQ(letters.out.find("N/A"), std::string::npos);
}

TEST(CliPoint, BlockShowsTheWindowsValuesUnitsAndTexts)
{
    const CliRun run = runWith({"point", "--lat", "-33.9", "--lon", "18.4", "--elevation", "100", "--year", "2025.5",
                                "--model", modelPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    const FieldResult r = computeDirect(100.0f, -33.9f, 18.4f, 2025.5f);
    auto lineWith = [&](const std::string& label) {
        const size_t at = run.out.find(label);
        EXPECT_NE(at, std::string::npos) << label;
        return at == std::string::npos ? std::string() : run.out.substr(at, run.out.find('\n', at) - at);
    };
    const std::string field = lineWith("Incident Field (F):");
    EXPECT_NE(field.find(formatSingle(r.TI) + " nT"), std::string::npos) << field;
    EXPECT_NE(field.find(formatSingle(r.TI2) + " nT/yr"), std::string::npos) << field;
    const std::string dip = lineWith("Dip/Inclination (I):");
    EXPECT_NE(dip.find(formatSingle(r.DIP) + " deg"), std::string::npos) << dip;
    EXPECT_NE(dip.find(formatSingle(r.DIP2) + " min/yr"), std::string::npos) << dip;
    const std::string dec = lineWith("Declination (D):");
    EXPECT_NE(dec.find(formatSingle(r.DEC) + " deg"), std::string::npos) << dec;
    EXPECT_NE(dec.find(formatSingle(r.DEC2) + " min/yr"), std::string::npos) << dec;
    EXPECT_NE(lineWith("North field (X):").find(formatSingle(r.BX2) + " nT/yr"), std::string::npos);
    EXPECT_NE(lineWith("East field (Y):").find(formatSingle(r.BY) + " nT"), std::string::npos);
    EXPECT_NE(lineWith("Vertical field (Z):").find(formatSingle(r.BZ) + " nT"), std::string::npos);
    EXPECT_NE(lineWith("Horizontal field (H):").find(formatSingle(r.BH) + " nT"), std::string::npos);
    EXPECT_EQ(lineWith("Validity:"), "Validity:               OK");
    EXPECT_NE(lineWith("Polar Grid Variation:").find("N/A"), std::string::npos);
}

TEST(CliPoint, PolarPointShowsGridVariationAndItsChange)
{
    const CliRun run = runWith({"point", "--lat", "80", "--lon", "100W", "--year", "2025", "--model", modelPath()});
    ASSERT_EQ(run.status, 0) << run.err;
    const FieldResult r = computeDirect(0.0f, 80.0f, -100.0f, 2025.0f);
    const GridVariationTexts texts = gridVariationTexts(r);
    auto trimmed = [](const std::string& s) { return s.substr(s.find_first_not_of(' ')); };
    EXPECT_NE(run.out.find("Polar Grid Variation:   " + trimmed(texts.CPOLAR1) + " deg   change " +
                           trimmed(texts.CPOLAR2) + " min/yr"),
              std::string::npos)
        << run.out;
}

TEST(CliPoint, OutOfSpanDateWarnsOnceAndSaysSo)
{
    const CliRun run = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2035", "--model", modelPath()});
    ASSERT_EQ(run.status, 0);
    EXPECT_EQ(countOf(run.err, "WARNING: TIME BEYOND MODEL LIFE SPAN"), 1u) << run.err;
    // There is no New Model button here.
    EXPECT_EQ(run.err.find("New Model"), std::string::npos);
    EXPECT_NE(run.err.find("with --model."), std::string::npos);
    // The engine's ';' line marks arrive as line breaks.
    EXPECT_EQ(run.err.find(';'), std::string::npos);
    EXPECT_NE(run.out.find("The year is out of range for the selected model"), std::string::npos);
}

TEST(CliPoint, DefaultModelIsFoundByName)
{
    const CliRun run = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("Model:                  WMM2025.COF\n"), std::string::npos);
    const CliRun explicitModel =
        runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026", "--model", modelPath(), "--csv"});
    const CliRun defaultModel = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026", "--csv"});
    EXPECT_EQ(defaultModel.out, explicitModel.out);
}

TEST(CliPoint, TheLifeSpanWarningNamesTheModelInUse)
{
    const std::string igrf = shippedModel("IGRF14.shc");
    const CliRun run = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2031", "--model", igrf});
    ASSERT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("IGRF 14 (" + igrf + ") is valid from 1900 to 2030, not at 2031."), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("World Magnetic Model"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(".COF"), std::string::npos) << run.err;
    const CliRun inside = runWith({"point", "--lat", "10", "--lon", "10", "--year", "1950", "--model", igrf});
    EXPECT_EQ(inside.err, "");
}

TEST(CliModelErrors, MissingModelGivesTheEnginesMessageAndStatusOne)
{
    TempDir dir;
    const std::string missing = dir.file("nowhere;ever.COF");
    const CliRun run = runWith({"point", "--lat", "10", "--lon", "10", "--year", "2026", "--model", missing});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    // ';' is a line break, also inside the file name.
    std::string shown = missing;
    std::replace(shown.begin(), shown.end(), ';', '\n');
    EXPECT_EQ(run.err, "ERROR OPENING FILE:\n" + shown + "\n");

    for (const char* command : {"grid", "poles", "batch"}) {
        std::vector<std::string> args{command, "--year", "2026", "--model", missing};
        if (std::string(command) == "grid") {
            args.insert(args.end(), {"--lat", "0", "1", "1", "--lon", "0", "1", "1"});
        }
        const CliRun other = runWith(args, "1 2\n");
        EXPECT_EQ(other.status, 1) << command;
        EXPECT_EQ(other.out, "") << command;
        EXPECT_EQ(other.err.rfind("ERROR OPENING FILE:\n", 0), 0u) << command << other.err;
    }
}

TEST(CliModelErrors, UnreadableModelGivesReadError)
{
    TempDir dir;
    const auto path = dir.file("broken.COF");
    writeWholeFile(path, "    2025.0     WMM-2025               11/13/2024   5.0\n  1  0  abc\n");
    const CliRun run = runWith({"poles", "--year", "2026", "--model", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    // The line and the reason follow the engine's message.
    EXPECT_EQ(run.err, "ERROR READING FILE:\n" + path + "\nline 2: the g field is not a number\n");
}

TEST(CliUsage, BadArgumentsGiveOneLineAndStatusTwo)
{
    const CliRun run = runWith({"point", "--lat", "91", "--lon", "10", "--year", "2026"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tellurim-cli: --lat must be between -90 and 90 (got 91)\n");
    EXPECT_EQ(runWith({"survey"}).status, 2);
    EXPECT_EQ(runWith({}).err, "tellurim-cli: no command given (try --help)\n");
    EXPECT_EQ(runWith({"point", "--date", "2025-02-30", "--lat", "1", "--lon", "1"}).err,
              "tellurim-cli: --date day must be between 1 and 28 for that month (got 2025-02-30)\n");
}

TEST(CliUsage, HelpAndVersionGoToStandardOutput)
{
    const CliRun version = runWith({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tellurim-cli [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << version.out;
    const CliRun help = runWith({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* command : {"point", "grid", "poles", "batch"}) {
        EXPECT_NE(help.out.find(command), std::string::npos);
        const CliRun commandHelp = runWith({command, "--help"});
        EXPECT_EQ(commandHelp.status, 0);
        EXPECT_EQ(commandHelp.out.rfind(std::string("Usage: tellurim-cli ") + command, 0), 0u) << commandHelp.out;
        EXPECT_EQ(commandHelp.err, "");
    }
}

}  // namespace
}  // namespace tellurim::cli
