#pragma once

#include "gis/Contours.h"
#include "gis/FieldElement.h"
#include "gis/RasterFormat.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

/// The vector formats isolines are written as, told by the extension.
enum class VectorFormat { GeoPackage, GeoJson, Shapefile, Kml };

/// The format an output name asks for (the extension in any case), or nothing.
std::optional<VectorFormat> vectorFormatFor(std::string_view path);

inline constexpr std::string_view kVectorExtensions = ".gpkg, .geojson, .shp or .kml";

/// Isolines of one element, and the compass zones when asked for, to write.
struct IsolineLayers {
    FieldElement element = FieldElement::D;
    std::vector<Isoline> isolines;
    std::optional<std::vector<ZonePolygon>> zones;  ///< set: a zone layer is written too
    LayerProvenance provenance;
};

/// Writes the layers to path in the format its extension names: every
/// isoline a LineString with the fields element, value (its level) and unit;
/// the zones as polygons with the field zone ("caution" or "blackout"); the
/// model and the date as layer metadata where the format keeps any. A
/// GeoPackage or KML file holds the zones as a second layer, GeoJSON in the
/// same collection, and a shapefile in NAME_zones.shp beside it.
///
/// GDAL writes in memory; every file is then put in place through the
/// replacement all saved files use, so a failure keeps the old file.
/// Returns the problem, empty when written.
std::string writeIsolineLayers(const std::string& path, VectorFormat format, const IsolineLayers& layers);

}  // namespace tellurim
