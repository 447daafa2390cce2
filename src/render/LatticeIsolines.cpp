#include "render/LatticeIsolines.h"

#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <mutex>
#include <string>

namespace tellurim {

namespace {

constexpr double kNoData = -1.0e30;

// A declination lattice turns through +-180 degrees between two points near
// the dip poles; every level would be traced along that seam, so the points
// beside it count as having no value.
std::vector<float> withoutSeams(const FieldLattice& lattice)
{
    std::vector<float> values = lattice.values;
    const auto jump = [&lattice](std::size_t a, std::size_t b) {
        return std::abs(lattice.values[a] - lattice.values[b]) > 180.0f;
    };
    for (std::size_t r = 0; r < lattice.rows; ++r) {
        for (std::size_t c = 0; c < lattice.columns; ++c) {
            const std::size_t i = r * lattice.columns + c;
            const bool seam = (c + 1 < lattice.columns && jump(i, i + 1)) || (c > 0 && jump(i, i - 1)) ||
                              (r + 1 < lattice.rows && jump(i, i + lattice.columns)) ||
                              (r > 0 && jump(i, i - lattice.columns));
            if (seam || !std::isfinite(values[i])) {
                values[i] = static_cast<float>(kNoData);
            }
        }
    }
    return values;
}

void collectLines(OGRLayer& layer, std::vector<Isoline>& out)
{
    for (const auto& feature : layer) {
        const OGRGeometry* geometry = feature->GetGeometryRef();
        if (geometry == nullptr || wkbFlatten(geometry->getGeometryType()) != wkbLineString) {
            continue;
        }
        const OGRLineString* line = geometry->toLineString();
        Isoline isoline;
        isoline.level = feature->GetFieldAsDouble(0);
        for (int i = 0; i < line->getNumPoints(); ++i) {
            isoline.points.push_back(LonLat{line->getX(i), line->getY(i)});
        }
        out.push_back(std::move(isoline));
    }
}

}  // namespace

std::vector<Isoline> traceLatticeIsolines(const FieldLattice& lattice, std::span<const double> levels)
{
    std::vector<Isoline> out;
    if (levels.empty() || lattice.rows < 2 || lattice.columns < 2) {
        return out;
    }
    static std::once_flag registered;
    std::call_once(registered, [] { GDALAllRegister(); });
    GDALDriver* raster = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDriver* vector = GetGDALDriverManager()->GetDriverByName("Memory");
    if (raster == nullptr || vector == nullptr) {
        return out;
    }
    std::vector<float> values = lattice.wraps ? withoutSeams(lattice) : lattice.values;
    const GDALDatasetUniquePtr grid(raster->Create("", static_cast<int>(lattice.columns),
                                                   static_cast<int>(lattice.rows), 1, GDT_Float32, nullptr));
    const GDALDatasetUniquePtr lines(vector->Create("", 0, 0, 0, GDT_Unknown, nullptr));
    if (!grid || !lines) {
        return out;
    }
    // Row 0 is the southern row: the rows run up the y axis.
    double transform[6] = {lattice.west - lattice.lonStep / 2.0, lattice.lonStep, 0.0,
                           lattice.south - lattice.latStep / 2.0, 0.0, lattice.latStep};
    grid->SetGeoTransform(transform);
    GDALRasterBand* band = grid->GetRasterBand(1);
    if (band->RasterIO(GF_Write, 0, 0, static_cast<int>(lattice.columns), static_cast<int>(lattice.rows),
                       values.data(), static_cast<int>(lattice.columns), static_cast<int>(lattice.rows),
                       GDT_Float32, 0, 0, nullptr) != CE_None) {
        return out;
    }
    OGRLayer* layer = lines->CreateLayer("isolines", nullptr, wkbLineString, nullptr);
    OGRFieldDefn level("level", OFTReal);
    if (layer == nullptr || layer->CreateField(&level) != OGRERR_NONE) {
        return out;
    }
    std::string fixed = "FIXED_LEVELS=";
    for (std::size_t i = 0; i < levels.size(); ++i) {
        fixed += (i == 0 ? "" : ",") + std::to_string(levels[i]);
    }
    CPLStringList options;
    options.AddString(fixed.c_str());
    options.AddString("ELEV_FIELD=0");
    options.AddString(("NODATA=" + std::to_string(kNoData)).c_str());
    if (GDALContourGenerateEx(band, layer, options.List(), nullptr, nullptr) != CE_None) {
        return out;
    }
    collectLines(*layer, out);
    return out;
}

}  // namespace tellurim
