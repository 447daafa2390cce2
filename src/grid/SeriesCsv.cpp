#include "grid/SeriesCsv.h"

#include "files/CsvWriter.h"
#include "grid/GridCsv.h"

namespace tellurim {

void appendSeriesHeader(std::string& out)
{
    CsvRow(out).text("Julian Date").text("Elevation (m)");
    out.push_back(',');
    out += gridCsvHeader();
}

void appendSeriesLine(std::string& out, float year, float elevation, float latitude, float longitude,
                      const FieldResult& result)
{
    CsvRow row(out);
    row.number(year).number(elevation);
    addGridFields(row, latitude, longitude, result);
    row.end(true);
}

}  // namespace tellurim
