#include "render/Coastlines.h"

#include "engine/ModelLocator.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <filesystem>
#include <mutex>

namespace tellurim {

namespace {

constexpr const char* kCoastlineFile = "land-50m.json";

void addRing(const OGRLinearRing* ring, Coastlines& out)
{
    if (ring == nullptr || ring->getNumPoints() < 2) {
        return;
    }
    std::vector<LonLat> points;
    points.reserve(static_cast<std::size_t>(ring->getNumPoints()));
    for (int i = 0; i < ring->getNumPoints(); ++i) {
        points.push_back(LonLat{ring->getX(i), ring->getY(i)});
    }
    out.rings.push_back(std::move(points));
}

void addPolygon(const OGRPolygon* polygon, Coastlines& out)
{
    addRing(polygon->getExteriorRing(), out);
    for (int i = 0; i < polygon->getNumInteriorRings(); ++i) {
        addRing(polygon->getInteriorRing(i), out);
    }
}

void addGeometry(const OGRGeometry* geometry, Coastlines& out)
{
    if (geometry == nullptr) {
        return;
    }
    switch (wkbFlatten(geometry->getGeometryType())) {
    case wkbPolygon:
        addPolygon(geometry->toPolygon(), out);
        break;
    case wkbMultiPolygon:
        for (const OGRPolygon* polygon : *geometry->toMultiPolygon()) {
            addPolygon(polygon, out);
        }
        break;
    default:
        break;
    }
}

}  // namespace

Coastlines readCoastlines(const std::string& path)
{
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    Coastlines out;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        out.problem = path + " was not found";
        return out;
    }
    const GDALDatasetUniquePtr dataset(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (!dataset || dataset->GetLayerCount() < 1) {
        const std::string reason = CPLGetLastErrorMsg();
        out.problem = path + " could not be read" + (reason.empty() ? std::string() : ": " + reason);
        return out;
    }
    OGRLayer* layer = dataset->GetLayer(0);
    for (const auto& feature : *layer) {
        addGeometry(feature->GetGeometryRef(), out);
    }
    if (out.rings.empty()) {
        out.problem = path + " holds no land polygons";
    }
    return out;
}

std::string shippedCoastlinePath()
{
    for (const auto& models : shippedModelDirectories()) {
        const auto candidate = models.parent_path() / "maps" / kCoastlineFile;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate.string();
        }
    }
    return kCoastlineFile;
}

const Coastlines& shippedCoastlines()
{
    static const Coastlines coastlines = readCoastlines(shippedCoastlinePath());
    return coastlines;
}

}  // namespace tellurim
