#include "files/ReportLayout.h"

#include "files/CsvWriter.h"
#include "files/FileError.h"
#include "record/NumberText.h"

#include <cmath>

namespace tellurim {

namespace {

// Inches from the top of the printable area. Each is the single-precision
// value the page has always used; lines 9 and 13 sit one single below
// 3.65 and 5.05, so at 300 dpi they land on 1094 and 1514, not 1095 and 1515.
constexpr float kFactors[] = {
    1.0f, 1.35f, 1.7f, 2.05f, 2.4f, 2.75f, 3.1f, 3.45f, 3.6499999f,
    4.0f, 4.35f, 4.7f, 5.0499997f, 5.4f,
};

std::string fixed(float value, int decimals)
{
    std::string out;
    appendFixed(out, static_cast<double>(value), decimals);
    return out;
}

std::string dmsLine(std::string_view label, int32_t degrees, int32_t minutes, float seconds,
                    float decimal, std::string_view hemisphere)
{
    std::string line{label};
    line += std::to_string(degrees) + " deg " + std::to_string(minutes) + " min " +
            fixed(seconds, 2) + " sec, Decimal: " + fixed(decimal, 4) + " ";
    line += hemisphere;
    return line;
}

}  // namespace

std::vector<ReportLine> reportLines(const LocationRecord& record, const FieldResult& results,
                                    const ResultTexts& texts, std::string_view userName)
{
    std::vector<std::string> text;
    text.push_back("Location: " + record.Location);
    text.push_back("Prepared by Tellurim for " + std::string(userName));
    text.emplace_back(kMainFieldNotice);
    text.push_back(dmsLine("Latitude: ", record.ILATD, record.ILATM, record.XLATS, record.DLAT,
                           record.IHEM_NS == 0 ? "North" : "South"));
    text.push_back(dmsLine("Longitude: ", record.ILOND, record.ILONM, record.XLONS, record.DLON,
                           record.JHEM_EW != 0 ? "East" : "West"));
    text.push_back("Elevation: " + fixed(record.ALTF, 1) + " feet, " + fixed(record.ALTM, 1) + " m");
    text.push_back("Date: (m/d/y) " + std::to_string(record.IMONTH) + "/" +
                   std::to_string(record.IDAY) + "/" + std::to_string(record.IYR) +
                   " Decimal Date: " + fixed(record.DDATE, 4));
    text.push_back("Model Used: " + record.FILENAME);
    text.push_back("Validity: " + texts.CVALIDITY);
    text.push_back("Incident Field: " + fixed(results.TI, 1) + " nT Dip: " + fixed(results.DIP, 4) +
                   " deg Dec: " + fixed(results.DEC, 4) + " deg");
    text.push_back("Variation: " + fixed(results.TI2, 1) + " nT/yr Dip: " + fixed(results.DIP2, 1) +
                   " min/yr Dec: " + fixed(results.DEC2, 1) + " min/yr");
    text.push_back("Field (nT): X: " + fixed(results.BX, 1) + " Y: " + fixed(results.BY, 1) +
                   " Z: " + fixed(results.BZ, 1) + " H: " + fixed(results.BH, 1));
    text.push_back("Variation (nT/yr): X: " + fixed(results.BX2, 1) + " Y: " + fixed(results.BY2, 1) +
                   " Z: " + fixed(results.BZ2, 1) + " H: " + fixed(results.BH2, 1));
    if (texts.hasGridVariation) {
        text.push_back("Polar Grid Variation: " + texts.CPOLAR1 + " D " + texts.CPOLAR2 + " min/yr");
    }

    std::vector<ReportLine> lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        lines.push_back(ReportLine{kFactors[i], std::move(text[i])});
    }
    return lines;
}

std::vector<PlacedLine> placeLines(const std::vector<ReportLine>& lines, int ppiX, int ppiY)
{
    std::vector<PlacedLine> placed;
    placed.reserve(lines.size());
    const int x = ppiX * 4;
    for (const ReportLine& line : lines) {
        // Double precision from the single factor, truncated toward zero.
        const double y = std::trunc(static_cast<double>(ppiY) * static_cast<double>(line.factor));
        placed.push_back(PlacedLine{x, static_cast<int>(y), line.text});
    }
    return placed;
}

PrintResult printLines(PageCanvas& canvas, const std::vector<ReportLine>& lines)
{
    for (const PlacedLine& line :
         placeLines(lines, canvas.pixelsPerInchX(), canvas.pixelsPerInchY())) {
        canvas.drawCentredText(line.x, line.y, line.text);
    }
    return canvas.finish();
}

Message printFailureMessage(const PrintResult& result)
{
    if (!result.fileName.empty()) {
        return fileErrorMessage(fileErrorFromErrno(result.osError, result.fileName));
    }
    return Message{Icon::Exclamation, std::string(kAppName), std::string(kPrintFailedText), Buttons::Ok};
}

}  // namespace tellurim
