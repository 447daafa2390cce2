#pragma once

#include "gis/RasterFormat.h"
#include "platform/Progress.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tellurim {

class LatticeEvaluator;

/// One raster file to write.
struct RasterRequest {
    std::string path;          ///< the output, as given
    GridFormat format = GridFormat::GeoTiff;  ///< GeoTiff, NetCdf or AsciiGrid
    LatticeGeometry geometry;
    std::vector<FieldElement> bands;  ///< in band order; exactly one for an ASCII grid
    LayerProvenance provenance;
};

enum class RasterOutcome { Written, Cancelled, Failed };

struct RasterResult {
    RasterOutcome outcome = RasterOutcome::Written;
    std::string problem;        ///< why it failed, in words
    bool replacedAFile = false; ///< a file was at path before (kept unless Written)
};

/// Where the rows of a raster go: one format's dataset, written strip by
/// strip from the north. Implementations report GDAL's reason on failure.
class RasterSink {
public:
    virtual ~RasterSink() = default;
    /// Values of every band for rows firstRow .. firstRow + rowCount - 1,
    /// band b, row r, column c at values[(b * rowCount + r) * width + c].
    /// Returns the problem, empty when written.
    virtual std::string write(std::size_t firstRow, std::size_t rowCount, std::span<const float> values) = 0;
    /// Completes and closes the file; the problem, empty when it is whole.
    virtual std::string finish() = 0;
};

/// The NetCDF sink (CF-1.8) writing to path; nothing and the problem on failure.
std::unique_ptr<RasterSink> createNetCdfSink(const std::string& path, const RasterRequest& request,
                                             std::string& problem);

/// Rows written per strip for a raster: up to a tile's height, fewer for
/// very wide rasters so a strip of every band stays within a few tens of
/// megabytes.
std::size_t rowsPerStrip(const LatticeGeometry& geometry, std::size_t bands);

/// Strips (and so progress polls) a raster is written in.
std::size_t stripCount(const LatticeGeometry& geometry, std::size_t bands);

/// Writes a raster of the field as the request says, each node holding
/// what the point calculation gives at it, through a temporary file beside
/// path that replaces the old file only once complete (links, permissions
/// and owner kept, as every saved file): a failure or a cancel keeps the
/// old file. Before each strip its position (percent of the rows) goes to
/// progress.setPosition and pollCancel is asked.
RasterResult writeRaster(const RasterRequest& request, LatticeEvaluator& evaluator, Progress& progress);

}  // namespace tellurim
