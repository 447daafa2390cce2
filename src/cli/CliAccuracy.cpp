#include "cli/CliAccuracy.h"

#include "cli/CliGridNorth.h"

#include "engine/MagneticModel.h"
#include "files/JsonWriter.h"
#include "record/ResultTexts.h"

#include <algorithm>

namespace tellurim::cli {

namespace {

constexpr std::string_view kNotApplicable = "N/A";

// One element of a result, in the grid file's order.
struct Element {
    std::string_view name;
    float FieldResult::*value;
    float FieldResult::*change;
    std::string_view unit;
    std::string_view changeUnit;
    float FieldUncertainty::*uncertainty;  ///< null for D, whose uncertainty depends on H
    std::string_view csvName;
};

constexpr Element kElements[] = {
    {"F", &FieldResult::TI, &FieldResult::TI2, "nT", "nT/yr", &FieldUncertainty::F, "Incident Field uncertainty"},
    {"D", &FieldResult::DEC, &FieldResult::DEC2, "deg", "min/yr", nullptr, "Declination uncertainty"},
    {"I", &FieldResult::DIP, &FieldResult::DIP2, "deg", "min/yr", &FieldUncertainty::I, "Dip uncertainty"},
    {"H", &FieldResult::BH, &FieldResult::BH2, "nT", "nT/yr", &FieldUncertainty::H, "Horizontal Field uncertainty"},
    {"X", &FieldResult::BX, &FieldResult::BX2, "nT", "nT/yr", &FieldUncertainty::X, "X-field uncertainty"},
    {"Y", &FieldResult::BY, &FieldResult::BY2, "nT", "nT/yr", &FieldUncertainty::Y, "Y-field uncertainty"},
    {"Z", &FieldResult::BZ, &FieldResult::BZ2, "nT", "nT/yr", &FieldUncertainty::Z, "Vertical Field uncertainty"},
};

void writeUncertainty(JsonWriter& json, const Element& element, const std::optional<FieldUncertainty>& uncertainty)
{
    if (!uncertainty) {
        json.null();
    } else if (element.uncertainty != nullptr) {
        json.number((*uncertainty).*element.uncertainty);
    } else if (uncertainty->D) {
        json.number(*uncertainty->D, 2);
    } else {
        json.null();
    }
}

void writeElements(JsonWriter& json, const FieldResult& result, const std::optional<FieldUncertainty>& uncertainty)
{
    json.key("elements").beginObject();
    for (const Element& element : kElements) {
        json.key(element.name).beginObject();
        json.key("value").number(result.*element.value);
        json.key("unit").text(element.unit);
        json.key("annual_change").number(result.*element.change);
        json.key("annual_change_unit").text(element.changeUnit);
        json.key("uncertainty");
        writeUncertainty(json, element, uncertainty);
        if (element.uncertainty == nullptr && uncertainty) {
            // Near the dip poles the declination has no bound: null alone
            // would read as "not published".
            json.key("uncertainty_unbounded").boolean(uncertainty->declinationUnbounded());
        }
        json.endObject();
    }
    json.endObject();
}

void writeGridVariation(JsonWriter& json, const FieldResult& result)
{
    json.key("grid_variation").beginObject();
    if (hasGridVariation(result)) {
        json.key("value").number(result.gridVariation);
        json.key("annual_change").number(static_cast<float>(gridVariationChange(result)));
    } else {
        json.key("value").null().key("annual_change").null();
    }
    json.key("unit").text("deg").key("annual_change_unit").text("min/yr");
    json.endObject();
}

void writeModel(JsonWriter& json, const ModelProvenance& model)
{
    json.key("model").beginObject();
    json.key("file").text(model.fileName);
    json.key("header_name").text(model.headerName);
    json.key("epoch").number(model.epoch);
    json.key("valid_from").number(model.validFrom);
    json.key("valid_to").number(model.validTo);
    json.endObject();
}

}  // namespace

Checked<std::vector<ExtraColumns>> parseExtraColumns(std::string_view text, std::string_view name)
{
    using Result = Checked<std::vector<ExtraColumns>>;
    std::vector<ExtraColumns> extras;
    size_t at = 0;
    while (true) {
        const size_t comma = std::min(text.find(',', at), text.size());
        const std::string_view word = text.substr(at, comma - at);
        ExtraColumns extra{};
        if (word == "uncertainty") {
            extra = ExtraColumns::Uncertainty;
        } else if (word == "zone") {
            extra = ExtraColumns::Zone;
        } else if (word == "grid") {
            extra = ExtraColumns::Grid;
        } else {
            return Result::fail(std::string(name) +
                                " takes uncertainty, zone and grid, separated by commas (got '" + echoed(text) + "')");
        }
        if (std::find(extras.begin(), extras.end(), extra) != extras.end()) {
            return Result::fail(std::string(name) + " names " + std::string(word) + " more than once");
        }
        extras.push_back(extra);
        if (comma == text.size()) {
            return Result::ok(std::move(extras));
        }
        at = comma + 1;
    }
}

ModelProvenance modelProvenance(const MagneticModel& model, std::string fileName)
{
    return ModelProvenance{std::move(fileName), trimmedModelName(model.name()), model.epoch(), model.validFrom(),
                           model.validUntil()};
}

void extendHeader(std::string& header, const std::vector<ExtraColumns>& extras)
{
    if (extras.empty()) {
        return;
    }
    // The row's closing comma becomes the separator before the new names.
    header.resize(header.size() - 2);
    CsvRow row(header);
    for (const ExtraColumns extra : extras) {
        if (extra == ExtraColumns::Zone) {
            row.text("Compass zone");
            continue;
        }
        if (extra == ExtraColumns::Grid) {
            addGridNorthHeader(row);
            continue;
        }
        for (const Element& element : kElements) {
            row.text(element.csvName);
        }
    }
    row.end(true);
}

bool wantsGrid(const std::vector<ExtraColumns>& extras)
{
    return std::find(extras.begin(), extras.end(), ExtraColumns::Grid) != extras.end();
}

void addExtraFields(CsvRow& row, const std::vector<ExtraColumns>& extras, const PublishedAccuracy* accuracy,
                    const FieldResult& result, const CrsOutcome<GridNorth>* grid)
{
    for (const ExtraColumns extra : extras) {
        if (extra == ExtraColumns::Zone) {
            row.text(compassZoneName(compassZone(result.BH)));
            continue;
        }
        if (extra == ExtraColumns::Grid) {
            addGridNorthFields(row, *grid, result);
            continue;
        }
        if (accuracy == nullptr) {
            for (size_t i = 0; i < std::size(kElements); ++i) {
                row.text(kNotApplicable);
            }
            continue;
        }
        const FieldUncertainty uncertainty = uncertaintyOf(*accuracy, result);
        for (const Element& element : kElements) {
            if (element.uncertainty != nullptr) {
                row.number(uncertainty.*element.uncertainty);
            } else if (uncertainty.D) {
                row.number(static_cast<float>(*uncertainty.D));
            } else if (uncertainty.declinationUnbounded()) {
                row.text("unbounded");
            } else {
                row.text(kNotApplicable);
            }
        }
    }
}

void appendPointJson(std::string& out, const JsonPoint& point, const FieldResult& result,
                     const ModelProvenance& model)
{
    JsonWriter json(out);
    json.beginObject();
    if (!point.pole.empty()) {
        json.key("pole").text(point.pole);
    }
    json.key("latitude").number(point.latitude);
    json.key("longitude").number(point.longitude);
    json.key("elevation_m").number(point.elevation);
    json.key("decimal_year").number(point.year);
    const std::optional<FieldUncertainty> uncertainty = fieldUncertainty(model.headerName, result);
    writeElements(json, result, uncertainty);
    writeGridVariation(json, result);
    json.key("uncertainty_published").boolean(uncertainty.has_value());
    json.key("compass_zone").text(compassZoneName(compassZone(result.BH)));
    json.key("validity").beginObject();
    json.key("text").text(validityText(result.dateOutOfRange, result.coordinatesOutOfRange));
    json.key("date_in_range").boolean(result.dateOutOfRange == 0);
    json.key("coordinates_in_range").boolean(result.coordinatesOutOfRange == 0);
    json.endObject();
    if (point.grid != nullptr) {
        writeGridNorthJson(json, *point.grid, result);
    }
    writeModel(json, model);
    json.endObject();
    out.push_back('\n');
}

}  // namespace tellurim::cli
