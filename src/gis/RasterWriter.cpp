#include "gis/RasterWriter.h"

#include "files/ReplaceFile.h"
#include "gis/GdalSession.h"
#include "gis/LatticeEvaluator.h"

#include <cpl_conv.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <thread>
#include <unistd.h>

namespace tellurim {

namespace {

constexpr std::size_t kTileSide = 256;
constexpr std::size_t kStripBytes = std::size_t{64} << 20;
// The ESRI ASCII grid's no-data value: no element of the Earth's field
// comes near it, in any of the units used.
constexpr double kAsciiNoData = -99999.0;

std::string number(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

// The dataset's reference system, its band texts and its provenance.
std::string describe(GDALDataset& dataset, const RasterRequest& request)
{
    std::array<double, 6> transform = pixelTransform(request.geometry);
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    // Each value belongs to its node's point, not to a cell around it.
    dataset.SetMetadataItem("AREA_OR_POINT", "Point");
    if (dataset.SetGeoTransform(transform.data()) != CE_None || dataset.SetSpatialRef(&wgs84) != CE_None) {
        return GdalSession::problem("cannot give the raster its place on the Earth");
    }
    const LayerProvenance& from = request.provenance;
    dataset.SetMetadataItem("TIFFTAG_SOFTWARE", from.program.c_str());
    dataset.SetMetadataItem("MODEL", from.modelName.c_str());
    dataset.SetMetadataItem("MODEL_FILE", from.modelFile.c_str());
    dataset.SetMetadataItem("MODEL_EPOCH", number(static_cast<double>(from.modelEpoch)).c_str());
    dataset.SetMetadataItem("DATE", number(static_cast<double>(from.date)).c_str());
    dataset.SetMetadataItem("ELEVATION_M", number(static_cast<double>(from.elevation)).c_str());
    for (std::size_t b = 0; b < request.bands.size(); ++b) {
        const ElementInfo& info = elementInfo(request.bands[b]);
        GDALRasterBand* band = dataset.GetRasterBand(static_cast<int>(b + 1));
        band->SetDescription(std::string(info.description).c_str());
        band->SetUnitType(std::string(info.unit).c_str());
        band->SetMetadataItem("ELEMENT", std::string(info.code).c_str());
        band->SetNoDataValue(request.format == GridFormat::AsciiGrid ? kAsciiNoData
                                                                    : std::numeric_limits<double>::quiet_NaN());
    }
    return {};
}

// Rows of every band into a dataset; the ASCII grid's no-data stands in
// for NaN.
std::string writeRows(GDALDataset& dataset, const RasterRequest& request, std::size_t firstRow,
                      std::size_t rowCount, std::span<const float> values)
{
    const std::size_t width = request.geometry.width;
    std::vector<float> substituted;
    for (std::size_t b = 0; b < request.bands.size(); ++b) {
        const float* rows = values.data() + b * rowCount * width;
        if (request.format == GridFormat::AsciiGrid) {
            substituted.assign(rows, rows + rowCount * width);
            std::replace_if(substituted.begin(), substituted.end(), [](float v) { return std::isnan(v); },
                            static_cast<float>(kAsciiNoData));
            rows = substituted.data();
        }
        if (dataset.GetRasterBand(static_cast<int>(b + 1))
                ->RasterIO(GF_Write, 0, static_cast<int>(firstRow), static_cast<int>(width), static_cast<int>(rowCount),
                           const_cast<float*>(rows), static_cast<int>(width), static_cast<int>(rowCount), GDT_Float32, 0,
                           0, nullptr) != CE_None) {
            return GdalSession::problem("cannot write " + request.path);
        }
    }
    return {};
}

// Closes a dataset and says whether everything reached the file.
std::string closeDataset(GDALDatasetUniquePtr& dataset, const std::string& path)
{
    CPLErrorReset();
    dataset->FlushCache(true);
    dataset.reset();
    return CPLGetLastErrorType() >= CE_Failure ? GdalSession::problem("cannot write " + path) : std::string();
}

class GeoTiffSink final : public RasterSink {
public:
    GeoTiffSink(GDALDatasetUniquePtr dataset, const RasterRequest& request)
        : m_dataset(std::move(dataset)), m_request(request)
    {
    }
    std::string write(std::size_t firstRow, std::size_t rowCount, std::span<const float> values) override
    {
        const bool wholeTileRow = firstRow % kTileSide == 0 &&
                                  (rowCount == kTileSide || firstRow + rowCount == m_request.geometry.height);
        return wholeTileRow ? writeTiles(firstRow, rowCount, values)
                            : writeRows(*m_dataset, m_request, firstRow, rowCount, values);
    }
    std::string finish() override { return closeDataset(m_dataset, m_request.path); }

private:
    // A row of whole tiles goes to GDAL tile by tile, compressed on its
    // threads, without passing through the block cache; the part of an edge
    // tile beyond the raster is no-data.
    std::string writeTiles(std::size_t firstRow, std::size_t rowCount, std::span<const float> values)
    {
        const std::size_t width = m_request.geometry.width;
        m_tile.resize(kTileSide * kTileSide);
        for (std::size_t b = 0; b < m_request.bands.size(); ++b) {
            GDALRasterBand* band = m_dataset->GetRasterBand(static_cast<int>(b + 1));
            for (std::size_t left = 0; left < width; left += kTileSide) {
                const std::size_t columns = std::min(kTileSide, width - left);
                std::fill(m_tile.begin(), m_tile.end(), std::numeric_limits<float>::quiet_NaN());
                for (std::size_t r = 0; r < rowCount; ++r) {
                    const float* from = values.data() + (b * rowCount + r) * width + left;
                    std::copy(from, from + columns, m_tile.begin() + static_cast<std::ptrdiff_t>(r * kTileSide));
                }
                if (band->WriteBlock(static_cast<int>(left / kTileSide), static_cast<int>(firstRow / kTileSide),
                                     m_tile.data()) != CE_None) {
                    return GdalSession::problem("cannot write " + m_request.path);
                }
            }
        }
        return {};
    }

    GDALDatasetUniquePtr m_dataset;
    const RasterRequest& m_request;
    std::vector<float> m_tile;
};

std::unique_ptr<RasterSink> createGeoTiffSink(const std::string& path, const RasterRequest& request,
                                              std::string& problem)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    CPLStringList options;
    options.AddNameValue("TILED", "YES");
    options.AddNameValue("BLOCKXSIZE", std::to_string(kTileSide).c_str());
    options.AddNameValue("BLOCKYSIZE", std::to_string(kTileSide).c_str());
    options.AddNameValue("COMPRESS", "DEFLATE");
    options.AddNameValue("PREDICTOR", "3");  // the floating-point predictor
    options.AddNameValue("ZLEVEL", "1");
    options.AddNameValue("INTERLEAVE", "BAND");
    options.AddNameValue("BIGTIFF", "IF_SAFER");
    options.AddNameValue("NUM_THREADS", std::to_string(std::max(1U, std::thread::hardware_concurrency())).c_str());
    GDALDatasetUniquePtr dataset(driver == nullptr ? nullptr
                                                   : driver->Create(path.c_str(), static_cast<int>(request.geometry.width),
                                                                    static_cast<int>(request.geometry.height),
                                                                    static_cast<int>(request.bands.size()), GDT_Float32,
                                                                    options.List()));
    if (!dataset) {
        problem = GdalSession::problem("cannot create the GeoTIFF " + request.path);
        return nullptr;
    }
    problem = describe(*dataset, request);
    return problem.empty() ? std::make_unique<GeoTiffSink>(std::move(dataset), request) : nullptr;
}

// The ASCII grid is written in one piece from a raster in memory (GDAL
// writes the format only as a copy).
class AsciiGridSink final : public RasterSink {
public:
    AsciiGridSink(GDALDatasetUniquePtr memory, std::string path, const RasterRequest& request)
        : m_memory(std::move(memory)), m_path(std::move(path)), m_request(request)
    {
    }
    std::string write(std::size_t firstRow, std::size_t rowCount, std::span<const float> values) override
    {
        return writeRows(*m_memory, m_request, firstRow, rowCount, values);
    }
    std::string finish() override
    {
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("AAIGrid");
        CPLStringList options;
        options.AddNameValue("SIGNIFICANT_DIGITS", "9");  // every single reads back with its bits
        GDALDatasetUniquePtr copy(driver == nullptr ? nullptr
                                                    : driver->CreateCopy(m_path.c_str(), m_memory.get(), FALSE,
                                                                         options.List(), nullptr, nullptr));
        if (!copy) {
            return GdalSession::problem("cannot write " + m_request.path);
        }
        return closeDataset(copy, m_request.path);
    }

private:
    GDALDatasetUniquePtr m_memory;
    std::string m_path;
    const RasterRequest& m_request;
};

std::unique_ptr<RasterSink> createAsciiGridSink(const std::string& path, const RasterRequest& request,
                                                std::string& problem)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDatasetUniquePtr memory(driver == nullptr ? nullptr
                                                  : driver->Create("", static_cast<int>(request.geometry.width),
                                                                   static_cast<int>(request.geometry.height), 1,
                                                                   GDT_Float32, nullptr));
    if (!memory) {
        problem = GdalSession::problem("cannot hold the grid in memory");
        return nullptr;
    }
    problem = describe(*memory, request);
    return problem.empty() ? std::make_unique<AsciiGridSink>(std::move(memory), path, request) : nullptr;
}

std::unique_ptr<RasterSink> createSink(const std::string& path, const RasterRequest& request, std::string& problem)
{
    switch (request.format) {
    case GridFormat::GeoTiff: return createGeoTiffSink(path, request, problem);
    case GridFormat::NetCdf: return createNetCdfSink(path, request, problem);
    case GridFormat::AsciiGrid: return createAsciiGridSink(path, request, problem);
    case GridFormat::Csv: break;
    }
    problem = "a CSV grid is not a raster";
    return nullptr;
}

// The ESRI ASCII grid keeps its reference system in a .prj file beside it,
// which GDAL names after the temporary file: it is moved beside the output,
// through the same replacement as every saved file.
std::string placeSidecar(const std::string& temporary, const RasterRequest& request)
{
    if (request.format != GridFormat::AsciiGrid) {
        return {};
    }
    const std::string written = CPLResetExtension(temporary.c_str(), "prj");
    std::ifstream in(written, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const bool read = static_cast<bool>(in) || in.eof();
    in.close();
    ::unlink(written.c_str());
    if (!read || bytes.empty()) {
        return {};
    }
    const std::string target = CPLResetExtension(request.path.c_str(), "prj");
    if (const auto failed = replaceFileContents(target, bytes)) {
        return "cannot write " + target + ": " + std::strerror(failed->error.osError > 0 ? failed->error.osError : EIO);
    }
    return {};
}

// A strip is evaluated a few rows at a time, and between them a window
// may repaint and take a click on Cancel (which the next strip's poll
// reports): a strip of a high-degree model takes seconds.
void evaluateStrip(LatticeEvaluator& evaluator, const RasterRequest& request, std::size_t first,
                   std::size_t rows, std::vector<float>& strip, std::vector<float>& chunk, Progress& progress)
{
    constexpr std::size_t kRowsAtOnce = 16;
    const std::size_t width = request.geometry.width;
    const std::size_t bands = request.bands.size();
    for (std::size_t done = 0; done < rows; done += kRowsAtOnce) {
        const std::size_t count = std::min(kRowsAtOnce, rows - done);
        chunk.resize(count * width * bands);
        evaluator.evaluateRows(request.geometry, request.bands, first + done, count, chunk);
        for (std::size_t b = 0; b < bands; ++b) {
            std::copy_n(chunk.begin() + static_cast<std::ptrdiff_t>(b * count * width), count * width,
                        strip.begin() + static_cast<std::ptrdiff_t>((b * rows + done) * width));
        }
        progress.keepResponsive();
    }
}

RasterResult failed(std::string problem, const PendingReplacement& pending)
{
    return RasterResult{RasterOutcome::Failed, std::move(problem), pending.replacesAFile()};
}

}  // namespace

std::size_t rowsPerStrip(const LatticeGeometry& geometry, std::size_t bands)
{
    const std::size_t rowBytes = std::max<std::size_t>(1, geometry.width * std::max<std::size_t>(1, bands) * 4);
    return std::clamp<std::size_t>(kStripBytes / rowBytes, 1, kTileSide);
}

std::size_t stripCount(const LatticeGeometry& geometry, std::size_t bands)
{
    const std::size_t rows = rowsPerStrip(geometry, bands);
    return (geometry.height + rows - 1) / rows;
}

RasterResult writeRaster(const RasterRequest& request, LatticeEvaluator& evaluator, Progress& progress)
{
    const GdalSession session;
    // No side files of GDAL's own (.aux.xml) beside the temporary file.
    struct NoSideFiles {
        NoSideFiles() { CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", "NO"); }
        ~NoSideFiles() { CPLSetThreadLocalConfigOption("GDAL_PAM_ENABLED", nullptr); }
    } noSideFiles;
    PendingReplacement pending;
    if (const auto failure = pending.begin(request.path, PendingReplacement::Temporary::Named)) {
        return failed("cannot create " + request.path + ": " + std::strerror(std::max(failure->error.osError, 1)),
                      pending);
    }
    std::string problem;
    std::unique_ptr<RasterSink> sink = createSink(pending.temporaryPath(), request, problem);
    if (!sink) {
        return failed(problem, pending);
    }
    const LatticeGeometry& geometry = request.geometry;
    const std::size_t stripRows = rowsPerStrip(geometry, request.bands.size());
    std::vector<float> values(stripRows * geometry.width * request.bands.size());
    std::vector<float> chunk;
    for (std::size_t first = 0; first < geometry.height; first += stripRows) {
        progress.setPosition(static_cast<int>(first * 100 / geometry.height));
        if (progress.pollCancel()) {
            sink.reset();
            return RasterResult{RasterOutcome::Cancelled, {}, pending.replacesAFile()};
        }
        const std::size_t rows = std::min(stripRows, geometry.height - first);
        evaluateStrip(evaluator, request, first, rows, values, chunk, progress);
        if (problem = sink->write(first, rows, values); !problem.empty()) {
            return failed(problem, pending);
        }
    }
    if (problem = sink->finish(); !problem.empty()) {
        return failed(problem, pending);
    }
    sink.reset();
    if (problem = placeSidecar(pending.temporaryPath(), request); !problem.empty()) {
        return failed(problem, pending);
    }
    if (const auto error = pending.commit()) {
        return failed("cannot write " + request.path + ": " + std::strerror(std::max(error->osError, 1)), pending);
    }
    return RasterResult{RasterOutcome::Written, {}, pending.replacesAFile()};
}

}  // namespace tellurim
