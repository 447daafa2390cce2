#include "workspace/GridEntry.h"

#include "record/NumberText.h"
#include "workspace/Exchange.h"

#include <algorithm>

namespace tellurim {
namespace {

using G = GridSettings;

constexpr std::array<GridFieldSpec, kGridFieldCount> kGridFields{{
    {GridField::StartLong, "StartLong", "Starting Longitude: ", 1066, &G::StartLong, -180, 180},
    {GridField::StartLat, "StartLat", "Starting Latitude: ", 1065, &G::StartLat, -90, 90},
    {GridField::EndLat, "EndLat", "Ending Latitude: ", 1067, &G::EndLat, -90, 90},
    {GridField::EndLong, "EndLong", "Ending Longitude: ", 1068, &G::EndLong, -180, 180},
    {GridField::LatInc, "LatInc", "Latitude Increment: ", 1070, &G::LatInc, 0.001, 180},
    {GridField::LongInc, "LongInc", "Longitude Increment: ", 1072, &G::LongInc, 0.001, 180},
}};

float clampTo(const GridFieldSpec& spec, float value)
{
    return std::clamp(value, static_cast<float>(spec.minimum), static_cast<float>(spec.maximum));
}

}  // namespace

const std::array<GridFieldSpec, kGridFieldCount>& gridFields()
{
    return kGridFields;
}

const GridFieldSpec& gridField(GridField field)
{
    return kGridFields[static_cast<std::size_t>(field)];
}

GridTexts gridTexts(const GridSettings& values)
{
    GridTexts texts;
    for (const GridFieldSpec& spec : kGridFields)
        texts[static_cast<std::size_t>(spec.field)] = formatSingle(values.*spec.member);
    return texts;
}

std::variant<GridSettings, GridEntryProblem> readGridEntry(const GridTexts& texts, const GridSettings& base)
{
    GridSettings values = base;
    for (const GridFieldSpec& spec : kGridFields) {
        const Parsed<float> parsed = parseSingle(texts[static_cast<std::size_t>(spec.field)]);
        const float minimum = static_cast<float>(spec.minimum);
        const float maximum = static_cast<float>(spec.maximum);
        if (parsed.status == ParseStatus::NotANumber)
            return GridEntryProblem{spec.field, takeMessage(FieldKind::Single, spec.minimum, spec.maximum,
                                                            TakeProblem::NotANumber)};
        if (parsed.status != ParseStatus::Ok || !(parsed.value >= minimum && parsed.value <= maximum))
            return GridEntryProblem{spec.field, takeMessage(FieldKind::Single, spec.minimum, spec.maximum,
                                                            TakeProblem::OutOfRange)};
        values.*spec.member = parsed.value;
    }
    return values;
}

GridSettings gridAround(const LocationRecord& location)
{
    const float latitude = signedLatitude(location);
    const float longitude = signedLongitude(location);
    GridSettings grid;
    grid.lNeverGrid = 0;
    grid.StartLat = clampTo(gridField(GridField::StartLat), latitude - 1.0f);
    grid.EndLat = clampTo(gridField(GridField::EndLat), latitude + 1.0f);
    grid.StartLong = clampTo(gridField(GridField::StartLong), longitude - 1.0f);
    grid.EndLong = clampTo(gridField(GridField::EndLong), longitude + 1.0f);
    grid.LatInc = 0.1f;
    grid.LongInc = 0.1f;
    return grid;
}

}  // namespace tellurim
