#include "grid/GridCsv.h"

#include "files/CsvWriter.h"
#include "record/NumberText.h"
#include "record/ResultTexts.h"

#include <string_view>

namespace tellurim {

const std::string& gridCsvHeader()
{
    static const std::string header = [] {
        static constexpr std::string_view kNames[] = {
            "Decimal Latitude", "Decimal Longitude", "Incident Field", "Incident variation",
            "Declination", "Declination Variation", "Dip", "Dip Variation",
            "Horizontal Field", "Horizontal Variation", "X-field", "X-variation",
            "Y-field", "Y-variation", "Vertical Field", "Vertical Variation",
            "Validity", "Polar Grid variation", "Polar Grid variation"};
        std::string text;
        CsvRow row(text);
        for (const std::string_view name : kNames) {
            row.text(name);
        }
        row.end(true);
        return text;
    }();
    return header;
}

void appendGridLine(std::string& out, float latitude, float longitude, const FieldResult& result)
{
    CsvRow row(out);
    addGridFields(row, latitude, longitude, result);
    row.end(true);
}

void appendGridLine(std::string& out, float latitude, float longitude, const FieldResult& result,
                    const GridLineExtra& extra)
{
    if (!extra) {
        appendGridLine(out, latitude, longitude, result);
        return;
    }
    CsvRow row(out);
    addGridFields(row, latitude, longitude, result);
    extra(row, latitude, longitude, result);
    row.end(true);
}

void addGridFields(CsvRow& row, float latitude, float longitude, const FieldResult& result)
{
    const float first[] = {latitude, longitude, result.TI, result.TI2, result.DEC, result.DEC2, result.DIP, result.DIP2};
    const float second[] = {result.BH, result.BH2, result.BX, result.BX2, result.BY, result.BY2, result.BZ, result.BZ2};
    row.numbers(first).numbers(second);
    row.text(validityText(result.dateOutOfRange, result.coordinatesOutOfRange));
    if (hasGridVariation(result)) {
        // Rather than through GridVariationTexts: this runs for every point
        // of a grid, and an eight-character text fits in the string's own
        // small buffer, so no allocation is made for it.
        std::string text;
        appendWidth8Fixed2(text, gridVariationChange(result));
        row.text(text);
        text.clear();
        appendWidth8Fixed2(text, static_cast<double>(result.gridVariation));
        row.text(text);
    } else {
        row.text("N/A").text("N/A");
    }
}

}  // namespace tellurim
