#include "poles/PoleCsv.h"

#include "files/CsvWriter.h"

#include <string_view>

namespace tellurim {

namespace {

void appendPole(CsvRow& row, const PolePosition& pole)
{
    row.number(pole.decimalLatitude)
        .integer(pole.latitudeDegrees)
        .integer(pole.latitudeMinutes)
        .number(pole.latitudeSeconds)
        .number(pole.decimalLongitude)
        .integer(pole.longitudeDegrees)
        .integer(pole.longitudeMinutes)
        .number(pole.longitudeSeconds);
}

}  // namespace

const std::string& poleCsvHeader()
{
    static const std::string header = [] {
        static constexpr std::string_view kNames[] = {
            "Day", "Month", "Year", "Julian Date",
            "North Decimal Latitude", "North Degrees Latitude", "North Minutes Latitude",
            "North Seconds Latitude", "North Decimal Longitude", "North Degrees Longitude",
            "North Minutes Longitude", "North Seconds Longitude",
            "South Decimal Latitude", "South Degrees Latitude", "South Minutes Latitude",
            "South Seconds Latitude", "South Decimal Longitude", "South Degrees Longitude",
            "South Minutes Longitude", "South Seconds Longitude"};
        std::string text;
        CsvRow row(text);
        for (const std::string_view name : kNames) {
            row.text(name);
        }
        row.end(false);
        return text;
    }();
    return header;
}

std::string poleCsvRow(int32_t day, int32_t month, int32_t year, float decimalDate,
                       const MagneticPoles& poles)
{
    std::string text;
    CsvRow row(text);
    row.integer(day).integer(month).integer(year).number(decimalDate);
    appendPole(row, poles.north);
    appendPole(row, poles.south);
    row.end(true);
    return text;
}

}  // namespace tellurim
