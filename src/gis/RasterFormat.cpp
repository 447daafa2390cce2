#include "gis/RasterFormat.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace tellurim {

std::optional<GridFormat> gridFormatFor(std::string_view path)
{
    const std::string_view name = path.substr(path.rfind('/') == std::string_view::npos ? 0 : path.rfind('/') + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) {
        return GridFormat::Csv;
    }
    std::string extension(name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "csv") {
        return GridFormat::Csv;
    }
    if (extension == "tif" || extension == "tiff") {
        return GridFormat::GeoTiff;
    }
    if (extension == "nc") {
        return GridFormat::NetCdf;
    }
    if (extension == "asc") {
        return GridFormat::AsciiGrid;
    }
    return std::nullopt;
}

std::string_view gridFormatName(GridFormat format)
{
    switch (format) {
    case GridFormat::Csv: return "a CSV grid";
    case GridFormat::GeoTiff: return "a GeoTIFF";
    case GridFormat::NetCdf: return "a NetCDF file";
    case GridFormat::AsciiGrid: return "an ESRI ASCII grid";
    }
    return {};
}

std::vector<FieldElement> defaultBands(bool declinationUncertaintyPublished)
{
    std::vector<FieldElement> bands;
    for (const ElementInfo& info : allElements()) {
        if (info.element != FieldElement::SigmaD || declinationUncertaintyPublished) {
            bands.push_back(info.element);
        }
    }
    return bands;
}

std::string rasterSizeProblem(const LatticeGeometry& geometry)
{
    if (geometry.width == 0 || geometry.height == 0) {
        return "the raster has no node: each END must not be below its START";
    }
    constexpr std::size_t kMaxSide = INT_MAX;
    if (geometry.width > kMaxSide || geometry.height > kMaxSide || geometry.nodeCount() > kMaxRasterNodes) {
        return "the raster would have " + std::to_string(geometry.width) + " x " + std::to_string(geometry.height) +
               " nodes, more than 2^31; choose larger steps or a smaller rectangle";
    }
    return {};
}

uint64_t estimatedRasterBytes(const LatticeGeometry& geometry, std::size_t bands, GridFormat format)
{
    constexpr uint64_t kHeader = 64 * 1024;
    const uint64_t perNode = format == GridFormat::AsciiGrid ? 16 : 4 * static_cast<uint64_t>(bands);
    return kHeader + geometry.nodeCount() * perNode;
}

}  // namespace tellurim
