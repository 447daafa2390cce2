#include "poles/PoleReport.h"

#include "record/NumberText.h"

#include <string>
#include <string_view>

namespace tellurim {

namespace {

// Inches from the top of the printable area, as singles: each longitude line
// sits 0.2 inch below its latitude line, the groups 0.35 inch apart.
constexpr float kFactors[] = {1.0f, 1.35f, 1.7f, 1.9f, 2.25f, 2.45f};

std::string fixed(float value, int decimals)
{
    std::string out;
    appendFixed(out, static_cast<double>(value), decimals);
    return out;
}

std::string angleLine(std::string_view label, int32_t degrees, int32_t minutes, float seconds,
                      float decimal)
{
    return std::string(label) + std::to_string(degrees) + " deg " + std::to_string(minutes) +
           " min " + fixed(seconds, 2) + " sec, Decimal: " + fixed(decimal, 4);
}

}  // namespace

std::vector<ReportLine> poleReportLines(const PoleDate& date, const MagneticPoles& poles)
{
    const PolePosition& n = poles.north;
    const PolePosition& s = poles.south;
    const std::string texts[] = {
        std::string(kMainFieldNotice),
        "Pole positions for Date: (m/d/y) " + std::to_string(date.month) + "/" +
            std::to_string(date.day) + "/" + std::to_string(date.year) +
            " Decimal Date: " + fixed(date.decimalDate, 4),
        angleLine("North Pole: Latitude: ", n.latitudeDegrees, n.latitudeMinutes,
                  n.latitudeSeconds, n.decimalLatitude),
        angleLine("North Pole: Longitude: ", n.longitudeDegrees, n.longitudeMinutes,
                  n.longitudeSeconds, n.decimalLongitude),
        angleLine("South Pole: Latitude: ", s.latitudeDegrees, s.latitudeMinutes,
                  s.latitudeSeconds, s.decimalLatitude),
        angleLine("South Pole: Longitude: ", s.longitudeDegrees, s.longitudeMinutes,
                  s.longitudeSeconds, s.decimalLongitude),
    };
    std::vector<ReportLine> lines;
    for (std::size_t i = 0; i < std::size(texts); ++i)
        lines.push_back(ReportLine{kFactors[i], texts[i]});
    return lines;
}

}  // namespace tellurim
