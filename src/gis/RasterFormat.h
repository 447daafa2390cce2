#pragma once

#include "gis/FieldElement.h"
#include "gis/Lattice.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

/// What a grid is written as, told by the output's extension.
enum class GridFormat {
    Csv,        ///< .csv: the grid file's own lines (also a name without extension)
    GeoTiff,    ///< .tif, .tiff: tiled and compressed, a band per quantity
    NetCdf,     ///< .nc: CF-1.8, a variable per quantity
    AsciiGrid,  ///< .asc: ESRI ASCII grid of one quantity
};

/// The format an output name asks for (the extension in any case), or
/// nothing for an extension none of them has. A name without an extension
/// (a device, /dev/stdout) is a CSV grid, as it always was.
std::optional<GridFormat> gridFormatFor(std::string_view path);

/// "a GeoTIFF", "a NetCDF file", ...: the format in messages.
std::string_view gridFormatName(GridFormat format);

/// The extensions a grid output may have, for messages: ".csv, .tif, .tiff, .nc or .asc".
inline constexpr std::string_view kGridExtensions = ".csv, .tif, .tiff, .nc or .asc";

/// The quantities a multi-band raster carries unless told otherwise: D, I,
/// F, H, X, Y, Z, their annual changes and, when the model publishes it,
/// the declination's uncertainty.
std::vector<FieldElement> defaultBands(bool declinationUncertaintyPublished);

/// A raster has at most this many nodes (and at most 2^31 - 1 on a side).
inline constexpr uint64_t kMaxRasterNodes = uint64_t{1} << 31;

/// The reason a raster of this lattice cannot be made (none or too many
/// nodes), naming what to change; empty when it can.
std::string rasterSizeProblem(const LatticeGeometry& geometry);

/// About how many bytes the raster file takes at most: four bytes a node
/// and band (an ESRI ASCII grid: sixteen characters a node), before any
/// compression, plus its header.
uint64_t estimatedRasterBytes(const LatticeGeometry& geometry, std::size_t bands, GridFormat format);

/// Where a layer came from, written into its metadata.
struct LayerProvenance {
    std::string modelFile;  ///< the model file's name as given
    std::string modelName;  ///< the name in the model file's header, trimmed
    float modelEpoch = 0.0f;  ///< decimal year
    float date = 0.0f;        ///< decimal year the layer is computed for
    float elevation = 0.0f;   ///< metres above the WGS-84 ellipsoid
    std::string program;      ///< "Tellurim 1.0.0"
};

}  // namespace tellurim
