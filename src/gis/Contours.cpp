#include "gis/Contours.h"

#include <cpl_string.h>
#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <thread>

namespace tellurim {

namespace {

constexpr float kNoValue = std::numeric_limits<float>::quiet_NaN();

// The lattice as an in-memory raster whose pixel centres are its nodes.
GDALDatasetUniquePtr memoryRaster(const LatticeGeometry& geometry, std::vector<float>& values)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("MEM");
    if (driver == nullptr) {
        return nullptr;
    }
    const int width = static_cast<int>(geometry.width);
    const int height = static_cast<int>(geometry.height);
    GDALDatasetUniquePtr raster(driver->Create("", width, height, 1, GDT_Float32, nullptr));
    if (!raster) {
        return nullptr;
    }
    std::array<double, 6> transform = pixelTransform(geometry);
    raster->SetGeoTransform(transform.data());
    if (raster->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, width, height, values.data(), width, height,
                                           GDT_Float32, 0, 0, nullptr) != CE_None) {
        return nullptr;
    }
    return raster;
}

GDALDatasetUniquePtr memoryVectors()
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("Memory");
    return GDALDatasetUniquePtr(driver != nullptr ? driver->Create("", 0, 0, 0, GDT_Unknown, nullptr) : nullptr);
}

std::string levelList(const std::vector<double>& levels)
{
    std::string list;
    char text[40];
    for (const double level : levels) {
        std::snprintf(text, sizeof text, "%.17g", level);
        list += list.empty() ? "" : ",";
        list += text;
    }
    return list;
}

std::vector<GeoPoint> pointsOf(const OGRLineString& line)
{
    std::vector<GeoPoint> points(static_cast<std::size_t>(line.getNumPoints()));
    for (int i = 0; i < line.getNumPoints(); ++i) {
        points[static_cast<std::size_t>(i)] = GeoPoint{line.getY(i), line.getX(i)};
    }
    return points;
}

// The lines (or, polygonize, the areas between levels) GDAL traces through
// values at the given levels, into a fresh layer of out.
Outcome<OGRLayer*> contour(const LatticeGeometry& geometry, std::vector<float>& values,
                           const std::vector<double>& levels, bool polygonize, GDALDataset& out)
{
    const GDALDatasetUniquePtr raster = memoryRaster(geometry, values);
    OGRLayer* layer = out.CreateLayer("contours", nullptr, polygonize ? wkbMultiPolygon : wkbLineString, nullptr);
    if (!raster || layer == nullptr) {
        return Outcome<OGRLayer*>::fail(GdalSession::problem("cannot set up the contour tracing"));
    }
    OGRFieldDefn id("id", OFTInteger);
    OGRFieldDefn low("low", OFTReal);
    OGRFieldDefn high("high", OFTReal);
    layer->CreateField(&id);
    layer->CreateField(&low);
    layer->CreateField(&high);
    CPLStringList options;
    options.AddNameValue("ID_FIELD", "0");
    options.AddNameValue("FIXED_LEVELS", levelList(levels).c_str());
    if (polygonize) {
        options.AddNameValue("POLYGONIZE", "YES");
        options.AddNameValue("ELEV_FIELD_MIN", "1");
        options.AddNameValue("ELEV_FIELD_MAX", "2");
    } else {
        options.AddNameValue("ELEV_FIELD", "1");
    }
    if (GDALContourGenerateEx(raster->GetRasterBand(1), OGRLayer::ToHandle(layer), options.List(), nullptr,
                              nullptr) != CE_None) {
        return Outcome<OGRLayer*>::fail(GdalSession::problem("cannot trace the isolines"));
    }
    return Outcome<OGRLayer*>::ok(layer);
}

// GDAL carries a line on to the border of the pixel around each edge node,
// half a step beyond the lattice (past the pole, beyond 180) or into a
// hole of missing values. A line keeps only its stretches whose vertices
// lie on an edge between two nodes with values, where the level is truly
// interpolated.
bool onValidEdge(const LatticeGeometry& geometry, const std::vector<float>& values, const GeoPoint& point)
{
    const double row = (geometry.north() - point.latitude) / geometry.latStep;
    const double column = (point.longitude - geometry.west) / geometry.lonStep;
    const double lastRow = static_cast<double>(geometry.height - 1);
    const double lastColumn = static_cast<double>(geometry.width - 1);
    constexpr double kSlack = 1e-6;
    if (!(row > -kSlack && row < lastRow + kSlack && column > -kSlack && column < lastColumn + kSlack)) {
        return false;
    }
    const auto node = [&](double r, double c) {
        return values[static_cast<std::size_t>(r) * geometry.width + static_cast<std::size_t>(c)];
    };
    const double nearRow = std::round(row);
    const double nearColumn = std::round(column);
    if (std::fabs(row - nearRow) < kSlack) {
        const double left = std::min(std::floor(std::max(column, 0.0)), lastColumn - 1);
        return !std::isnan(node(nearRow, left)) && !std::isnan(node(nearRow, left + 1));
    }
    if (std::fabs(column - nearColumn) < kSlack) {
        const double top = std::min(std::floor(std::max(row, 0.0)), lastRow - 1);
        return !std::isnan(node(top, nearColumn)) && !std::isnan(node(top + 1, nearColumn));
    }
    return false;
}

void appendOnValidEdges(const LatticeGeometry& geometry, const std::vector<float>& values, double level,
                        const OGRLineString& line, std::vector<Isoline>& lines)
{
    const auto within = [&](const GeoPoint& p) { return onValidEdge(geometry, values, p); };
    Isoline piece{level, {}};
    for (const GeoPoint& point : pointsOf(line)) {
        if (within(point)) {
            piece.vertices.push_back(point);
            continue;
        }
        if (piece.vertices.size() >= 2) {
            lines.push_back(std::move(piece));
        }
        piece = Isoline{level, {}};
    }
    if (piece.vertices.size() >= 2) {
        lines.push_back(std::move(piece));
    }
}

// Traces levels through values and appends the lines, each level mapped
// back by unshift (the wrapped tracing works on values taken to 0..360).
std::string appendLines(const LatticeGeometry& geometry, std::vector<float>& values,
                        const std::vector<double>& levels, double unshift, std::vector<Isoline>& lines)
{
    if (levels.empty()) {
        return {};
    }
    const GDALDatasetUniquePtr out = memoryVectors();
    if (!out) {
        return GdalSession::problem("cannot set up the contour tracing");
    }
    const Outcome<OGRLayer*> layer = contour(geometry, values, levels, false, *out);
    if (!layer) {
        return layer.problem;
    }
    for (const auto& feature : **layer.value) {
        const OGRGeometry* shape = feature->GetGeometryRef();
        if (shape == nullptr || wkbFlatten(shape->getGeometryType()) != wkbLineString) {
            continue;
        }
        double level = feature->GetFieldAsDouble(1);
        level = level > 180.0 ? level + unshift : level;
        appendOnValidEdges(geometry, values, level, *shape->toLineString(), lines);
    }
    return {};
}

// Nodes next to a jump of more than half a turn (the seam of a wrapped
// angle) become holes, so no line is traced along the seam.
void maskSeam(const LatticeGeometry& geometry, std::vector<float>& values)
{
    const std::vector<float> original = values;
    const std::size_t width = geometry.width;
    const auto across = [&](std::size_t a, std::size_t b) {
        if (std::fabs(original[a] - original[b]) > 180.0f) {
            values[a] = kNoValue;
            values[b] = kNoValue;
        }
    };
    for (std::size_t row = 0; row < geometry.height; ++row) {
        for (std::size_t column = 0; column < width; ++column) {
            const std::size_t node = row * width + column;
            if (column + 1 < width) {
                across(node, node + 1);
            }
            if (row + 1 < geometry.height) {
                across(node, node + width);
            }
        }
    }
}

// GDAL closes an area along the border of the pixels around the edge
// nodes, half a step beyond the lattice: the ring is brought back onto the
// lattice's own extent, so no vertex lies past a pole or beyond 180.
std::vector<GeoPoint> clampedRing(const LatticeGeometry& geometry, const OGRLineString& ring)
{
    std::vector<GeoPoint> points = pointsOf(ring);
    for (GeoPoint& point : points) {
        point.latitude = std::clamp(point.latitude, geometry.south, geometry.north());
        point.longitude = std::clamp(point.longitude, geometry.west, geometry.east());
    }
    return points;
}

// base + k * interval for every whole k with the level in low..high.
Outcome<std::vector<double>> levelsBetween(double low, double high, IsolineLevels levels)
{
    if (!(levels.interval > 0.0) || !std::isfinite(levels.interval) || !std::isfinite(levels.base)) {
        return Outcome<std::vector<double>>::fail("the isoline interval must be a number above 0");
    }
    std::vector<double> list;
    if (!(low <= high)) {
        return Outcome<std::vector<double>>::ok(list);
    }
    const double first = std::ceil((low - levels.base) / levels.interval);
    const double last = std::floor((high - levels.base) / levels.interval);
    if (last - first + 1 > static_cast<double>(kMaxIsolineLevels)) {
        return Outcome<std::vector<double>>::fail(
            "an interval of " + std::to_string(levels.interval) + " gives more than " +
            std::to_string(kMaxIsolineLevels) + " isoline levels; choose a larger interval");
    }
    for (double k = first; k <= last; ++k) {
        list.push_back(levels.base + k * levels.interval);
    }
    return Outcome<std::vector<double>>::ok(list);
}

Outcome<std::vector<Isoline>> traceWrapped(const Lattice& lattice, IsolineLevels levels)
{
    auto all = levelsBetween(-180.0, 180.0, levels);
    if (!all) {
        return Outcome<std::vector<Isoline>>::fail(all.problem);
    }
    std::vector<double> nearZero{0.0};  // the agonic line, always
    std::vector<double> nearHalfTurn;
    for (const double level : *all.value) {
        if (std::fabs(level) <= 90.0) {
            if (level != 0.0) {
                nearZero.push_back(level);
            }
        } else if (level != -180.0 || std::find(all.value->begin(), all.value->end(), 180.0) == all.value->end()) {
            nearHalfTurn.push_back(level < 0.0 ? level + 360.0 : level);
        }
    }
    std::sort(nearZero.begin(), nearZero.end());
    std::vector<Isoline> lines;
    // The two halves are independent: the one near half a turn is traced on
    // a second thread, with GDAL's errors kept on that thread.
    std::vector<Isoline> farLines;
    std::string farProblem;
    {
        const std::jthread far([&] {
            const GdalSession session;
            std::vector<float> turned = lattice.values;
            for (float& value : turned) {
                value = value < 0.0f ? value + 360.0f : value;
            }
            maskSeam(lattice.geometry, turned);
            farProblem = appendLines(lattice.geometry, turned, nearHalfTurn, -360.0, farLines);
        });
        std::vector<float> values = lattice.values;
        maskSeam(lattice.geometry, values);
        if (auto problem = appendLines(lattice.geometry, values, nearZero, 0.0, lines); !problem.empty()) {
            return Outcome<std::vector<Isoline>>::fail(problem);
        }
    }
    if (!farProblem.empty()) {
        return Outcome<std::vector<Isoline>>::fail(farProblem);
    }
    lines.insert(lines.end(), std::make_move_iterator(farLines.begin()), std::make_move_iterator(farLines.end()));
    return Outcome<std::vector<Isoline>>::ok(std::move(lines));
}

std::pair<double, double> valueRange(const std::vector<float>& values)
{
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const float value : values) {
        if (!std::isnan(value)) {
            low = std::min(low, static_cast<double>(value));
            high = std::max(high, static_cast<double>(value));
        }
    }
    return {low, high};
}

bool traceable(const LatticeGeometry& geometry)
{
    constexpr std::size_t kMaxSide = std::numeric_limits<int>::max();
    return geometry.width >= 2 && geometry.height >= 2 && geometry.width <= kMaxSide && geometry.height <= kMaxSide;
}

}  // namespace

Outcome<std::vector<Isoline>> traceIsolines(const Lattice& lattice, IsolineLevels levels, bool wrapsAt180)
{
    const GdalSession session;
    if (!traceable(lattice.geometry) || lattice.values.size() != lattice.geometry.nodeCount()) {
        auto checked = levelsBetween(0.0, -1.0, levels);  // an interval is checked even then
        return checked ? Outcome<std::vector<Isoline>>::ok({}) : Outcome<std::vector<Isoline>>::fail(checked.problem);
    }
    if (wrapsAt180) {
        return traceWrapped(lattice, levels);
    }
    const auto [low, high] = valueRange(lattice.values);
    auto list = levelsBetween(low, high, levels);
    if (!list) {
        return Outcome<std::vector<Isoline>>::fail(list.problem);
    }
    std::vector<Isoline> lines;
    std::vector<float> values = lattice.values;
    if (auto problem = appendLines(lattice.geometry, values, *list.value, 0.0, lines); !problem.empty()) {
        return Outcome<std::vector<Isoline>>::fail(problem);
    }
    return Outcome<std::vector<Isoline>>::ok(std::move(lines));
}

Outcome<std::vector<ZonePolygon>> compassZonePolygons(const Lattice& horizontalIntensity)
{
    const GdalSession session;
    std::vector<ZonePolygon> zones;
    if (!traceable(horizontalIntensity.geometry) ||
        horizontalIntensity.values.size() != horizontalIntensity.geometry.nodeCount()) {
        return Outcome<std::vector<ZonePolygon>>::ok(std::move(zones));
    }
    const GDALDatasetUniquePtr out = memoryVectors();
    if (!out) {
        return Outcome<std::vector<ZonePolygon>>::fail(GdalSession::problem("cannot set up the zone tracing"));
    }
    std::vector<float> values = horizontalIntensity.values;
    const std::vector<double> levels{static_cast<double>(kBlackoutBelow), static_cast<double>(kCautionBelow)};
    const LatticeGeometry& geometry = horizontalIntensity.geometry;
    const Outcome<OGRLayer*> layer = contour(geometry, values, levels, true, *out);
    if (!layer) {
        return Outcome<std::vector<ZonePolygon>>::fail(layer.problem);
    }
    for (const auto& feature : **layer.value) {
        const OGRGeometry* shape = feature->GetGeometryRef();
        const double high = feature->GetFieldAsDouble(2);
        const CompassZone zone = high <= static_cast<double>(kBlackoutBelow)  ? CompassZone::Blackout
                                 : high <= static_cast<double>(kCautionBelow) ? CompassZone::Caution
                                                         : CompassZone::None;
        if (shape == nullptr || zone == CompassZone::None || wkbFlatten(shape->getGeometryType()) != wkbMultiPolygon) {
            continue;
        }
        for (const OGRPolygon* polygon : *shape->toMultiPolygon()) {
            ZonePolygon area{zone, {clampedRing(geometry, *polygon->getExteriorRing())}};
            for (int i = 0; i < polygon->getNumInteriorRings(); ++i) {
                area.rings.push_back(clampedRing(geometry, *polygon->getInteriorRing(i)));
            }
            zones.push_back(std::move(area));
        }
    }
    return Outcome<std::vector<ZonePolygon>>::ok(std::move(zones));
}

}  // namespace tellurim
