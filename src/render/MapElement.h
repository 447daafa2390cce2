#pragma once

#include "engine/FieldResult.h"

#include <optional>
#include <span>
#include <string_view>

namespace tellurim {

struct PublishedAccuracy;

/// What a map shows: a field element, its annual change, or the
/// declination's published uncertainty.
enum class MapElement {
    D, I, F, H, X, Y, Z,
    AnnualD, AnnualI, AnnualF, AnnualH, AnnualX, AnnualY, AnnualZ,
    DeclinationUncertainty,
};

/// Every element in the order the window lists them.
std::span<const MapElement> mapElements();

/// The name typed on the command line: "D", "dD" for its annual change,
/// "D-uncertainty".
std::string_view elementKey(MapElement element);
std::optional<MapElement> elementByKey(std::string_view key);
/// The element in words, as the title and the chooser show it ("Declination").
std::string_view elementTitle(MapElement element);
/// The unit of its values ("deg", "nT", "arcmin/yr", "nT/yr").
std::string_view elementUnit(MapElement element);

/// True for quantities with a sign (a diverging palette, centred on 0).
bool elementIsSigned(MapElement element);
/// True for the declination itself, whose values wrap round at +-180 degrees.
bool elementIsAngleThatWraps(MapElement element);
bool elementIsAnnualChange(MapElement element);

/// The element's value in a result, in its unit. The uncertainty needs the
/// model's published figures (null: not a number).
double elementValue(MapElement element, const FieldResult& result, const PublishedAccuracy* accuracy);

}  // namespace tellurim
