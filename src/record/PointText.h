#pragma once

#include "engine/FieldResult.h"
#include "record/CalendarDate.h"

#include <optional>
#include <string>
#include <string_view>

namespace tellurim {

/// Where and when a point was computed, and with what, as its readable
/// block tells it.
struct PointDescription {
    std::string model;       ///< the model file as named
    std::string headerName;  ///< the model's name in its file; selects the published uncertainties
    float latitude = 0;      ///< degrees, north positive
    float longitude = 0;     ///< degrees, east positive
    float elevation = 0;     ///< metres above the ellipsoid
    float decimalYear = 0;
    std::optional<CalendarDate> date;  ///< the calendar date given, when one was
    std::string validity;    ///< the validity text of the result
};

/// The readable block of one point, one "Label:   value" line each: the
/// inputs, then every element with its unit and annual change, the grid
/// variation, the uncertainties and the compass zone. `tellurim-cli point`
/// prints it and the window copies it.
std::string pointTextBlock(const PointDescription& point, const FieldResult& result);

/// One "Label:   value" line in the block's layout, for lines a caller adds.
void appendPointTextLine(std::string& out, std::string_view label, std::string_view value);

/// One element line in the block's layout: label, value and unit, then the
/// annual change and its unit.
void appendPointTextElement(std::string& out, std::string_view label, float value, std::string_view unit,
                            float change, std::string_view changeUnit);

}  // namespace tellurim
