#include "record/PointText.h"

#include "record/FieldAccuracy.h"
#include "record/NumberText.h"
#include "record/ResultTexts.h"

namespace tellurim {
namespace {

void appendPadded(std::string& out, std::string_view text, size_t width)
{
    out.append(text);
    if (text.size() < width) {
        out.append(width - text.size(), ' ');
    }
}

void appendRightAligned(std::string& out, std::string_view text, size_t width)
{
    if (text.size() < width) {
        out.append(width - text.size(), ' ');
    }
    out.append(text);
}

// One result line: label, value and unit, then its annual change and unit.
void appendElement(std::string& out, std::string_view label, float value, std::string_view unit, float change,
                   std::string_view changeUnit)
{
    appendPadded(out, label, 24);
    appendRightAligned(out, formatSingle(value), 10);
    out.push_back(' ');
    appendPadded(out, unit, 5);
    out.append("   change ");
    appendRightAligned(out, formatSingle(change), 10);
    out.push_back(' ');
    out.append(changeUnit);
    out.push_back('\n');
}

void appendLine(std::string& out, std::string_view label, std::string_view value)
{
    appendPadded(out, label, 24);
    out.append(value);
    out.push_back('\n');
}

std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string dateText(const PointDescription& point)
{
    if (!point.date) {
        return formatSingle(point.decimalYear) + " (decimal year)";
    }
    return std::to_string(point.date->year) + '-' + twoDigits(point.date->month) + '-' +
           twoDigits(point.date->day) + " (decimal year " + formatSingle(point.decimalYear) + ")";
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

}  // namespace

std::string pointTextBlock(const PointDescription& point, const FieldResult& r)
{
    std::string out;
    appendLine(out, "Model:", point.model);
    appendLine(out, "Latitude:", formatSingle(point.latitude) + " deg (north positive)");
    appendLine(out, "Longitude:", formatSingle(point.longitude) + " deg (east positive)");
    appendLine(out, "Elevation:", formatSingle(point.elevation) + " m");
    appendLine(out, "Date:", dateText(point));
    appendLine(out, "Validity:", point.validity);
    out.push_back('\n');
    appendElement(out, "Incident Field (F):", r.TI, "nT", r.TI2, "nT/yr");
    appendElement(out, "Dip/Inclination (I):", r.DIP, "deg", r.DIP2, "min/yr");
    appendElement(out, "Declination (D):", r.DEC, "deg", r.DEC2, "min/yr");
    appendElement(out, "North field (X):", r.BX, "nT", r.BX2, "nT/yr");
    appendElement(out, "East field (Y):", r.BY, "nT", r.BY2, "nT/yr");
    appendElement(out, "Vertical field (Z):", r.BZ, "nT", r.BZ2, "nT/yr");
    appendElement(out, "Horizontal field (H):", r.BH, "nT", r.BH2, "nT/yr");
    if (hasGridVariation(r)) {
        const GridVariationTexts grid = gridVariationTexts(r);
        appendLine(out, "Polar Grid Variation:",
                   trimmed(grid.CPOLAR1) + " deg   change " + trimmed(grid.CPOLAR2) + " min/yr");
    } else {
        appendLine(out, "Polar Grid Variation:", "N/A   change N/A (valid only for polar latitudes)");
    }
    appendLine(out, "Uncertainty (1 sigma):", uncertaintyText(fieldUncertainty(point.headerName, r)));
    appendLine(out, "Compass zone:", compassZoneText(compassZone(r.BH)));
    return out;
}

void appendPointTextLine(std::string& out, std::string_view label, std::string_view value)
{
    appendLine(out, label, value);
}

void appendPointTextElement(std::string& out, std::string_view label, float value, std::string_view unit,
                            float change, std::string_view changeUnit)
{
    appendElement(out, label, value, unit, change, changeUnit);
}

}  // namespace tellurim
