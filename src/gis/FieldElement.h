#pragma once

#include "engine/FieldResult.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tellurim {

struct PublishedAccuracy;

/// A quantity a GIS layer carries: an element, its annual change, or the
/// declination's published one-sigma uncertainty.
enum class FieldElement {
    D, I, F, H, X, Y, Z,
    DeltaD, DeltaI, DeltaF, DeltaH, DeltaX, DeltaY, DeltaZ,
    SigmaD,
};

/// How an element is named, measured and contoured.
struct ElementInfo {
    FieldElement element;
    std::string_view code;         ///< as typed after --element: "D", "dD", "sigmaD"
    std::string_view description;  ///< in words: "declination", "annual change of declination"
    std::string_view unit;         ///< "deg", "nT", "arcmin/yr", "nT/yr"
    std::string_view variable;     ///< a name for formats that need one: "declination"
    double defaultInterval;        ///< isoline interval in unit, as printed charts use
    bool wrapsAt180;               ///< an angle that jumps from +180 to -180 (the declination)
};

/// Every quantity, in band order: D, I, F, H, X, Y, Z, each annual change in
/// the same order, then the declination's uncertainty.
std::span<const ElementInfo> allElements();
const ElementInfo& elementInfo(FieldElement element);

/// The element a code names (exactly as listed by allElements), or nothing.
std::optional<FieldElement> elementFromCode(std::string_view code);

/// "D, I, F, H, X, Y, Z, dD, ...": every code, for messages.
std::string elementCodeList();

/// The value of an element in one result, in the element's unit; NaN where
/// it has none (the uncertainty of a model without a published figure, or
/// at H = 0).
/// @param accuracy the model's published figures, null when there are none
float elementValue(FieldElement element, const FieldResult& result, const PublishedAccuracy* accuracy);

}  // namespace tellurim
