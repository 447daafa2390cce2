#include "files/LocationExport.h"

#include "files/CsvWriter.h"

namespace tellurim {

namespace {

constexpr const char* kColumns[] = {
    "Location", "Model", "Decimal Latitude", "Degrees Latitude", "Minutes Latitude",
    "Seconds Latitude", "Decimal Longitude", "Degrees Longitude", "Minutes Longitude",
    "Seconds Longitude", "Elevation (ft)", "Elevation (m)", "Day", "Month", "Year",
    "Julian Date", "IHEM_NS", "JHEM_EW", "TI", "TI2", "DEC", "DEC2", "DIP", "DIP2",
    "BH", "BH2", "BX", "BX2", "BY", "BY2", "BZ", "BZ2", "CVALIDITY", "CPOLAR2", "CPOLAR1",
};

}  // namespace

const std::string& locationExportHeader()
{
    static const std::string header = [] {
        std::string out;
        CsvRow row{out};
        for (const char* column : kColumns) {
            row.text(column);
        }
        row.end(true);
        return out;
    }();
    return header;
}

std::string locationExportRow(const LocationRecord& record, const FieldResult& results,
                              const ResultTexts& texts)
{
    std::string out;
    CsvRow row{out};
    row.text(record.Location)
        .text(record.FILENAME)
        .number(record.DLAT)
        .integer(record.ILATD)
        .integer(record.ILATM)
        .number(record.XLATS)
        .number(record.DLON)
        .integer(record.ILOND)
        .integer(record.ILONM)
        .number(record.XLONS)
        .number(record.ALTF)
        .number(record.ALTM)
        .integer(record.IDAY)
        .integer(record.IMONTH)
        .integer(record.IYR)
        .number(record.DDATE)
        // The same reading of the indices as the printed report's.
        .text(record.IHEM_NS == 0 ? "NORTH" : "SOUTH")
        .text(record.JHEM_EW != 0 ? "EAST" : "WEST")
        .number(results.TI)
        .number(results.TI2)
        .number(results.DEC)
        .number(results.DEC2)
        .number(results.DIP)
        .number(results.DIP2)
        .number(results.BH)
        .number(results.BH2)
        .number(results.BX)
        .number(results.BX2)
        .number(results.BY)
        .number(results.BY2)
        .number(results.BZ)
        .number(results.BZ2)
        .text(texts.CVALIDITY)
        .text(texts.CPOLAR2)
        .text(texts.CPOLAR1)
        .end(true);
    return out;
}

}  // namespace tellurim
