#pragma once

#include "platform/Interaction.h"
#include "record/GridSettings.h"
#include "record/LocationRecord.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace tellurim {

/// The six values of the grid dialog, in the order they are read and
/// checked when the user presses OK.
enum class GridField { StartLong, StartLat, EndLat, EndLong, LatInc, LongInc };
inline constexpr std::size_t kGridFieldCount = 6;

/// One edit of the grid dialog.
struct GridFieldSpec {
    GridField field;
    std::string_view name;    ///< the member's name; also the edit's object name
    std::string_view label;   ///< the label beside the edit, "Starting Latitude: "
    int controlId;            ///< the historic control number (keyboard order follows it)
    float GridSettings::*member;
    double minimum;           ///< degrees, inclusive
    double maximum;           ///< degrees, inclusive
};

/// Row i describes GridField i.
const std::array<GridFieldSpec, kGridFieldCount>& gridFields();
const GridFieldSpec& gridField(GridField field);

/// The edits' texts, indexed by GridField.
using GridTexts = std::array<std::string, kGridFieldCount>;

/// The texts the dialog opens with: six significant digits.
GridTexts gridTexts(const GridSettings& values);

/// Why OK was refused: the first bad field in checking order and the message
/// to show before the focus returns to it.
struct GridEntryProblem {
    GridField field;
    Message message;
};

/// Reads and checks the texts in checking order. The values (lNeverGrid
/// taken from base), or the first problem.
std::variant<GridSettings, GridEntryProblem> readGridEntry(const GridTexts& texts, const GridSettings& base);

/// The grid first offered: a 2-degree square centred on the location's
/// signed coordinates (south and west negative), kept inside the accepted
/// ranges, with steps of 0.1 degree.
GridSettings gridAround(const LocationRecord& location);

}  // namespace tellurim
