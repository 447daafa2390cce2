#include "gis/IsolineFile.h"

#include "files/ReplaceFile.h"
#include "gis/GdalSession.h"

#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tellurim {

namespace {

struct FormatInfo {
    VectorFormat format;
    std::string_view extension;
    const char* driver;
};

constexpr FormatInfo kFormats[] = {
    {VectorFormat::GeoPackage, "gpkg", "GPKG"},
    {VectorFormat::GeoJson, "geojson", "GeoJSON"},
    {VectorFormat::Shapefile, "shp", "ESRI Shapefile"},
    {VectorFormat::Kml, "kml", "KML"},
};

const FormatInfo& infoOf(VectorFormat format)
{
    return kFormats[static_cast<std::size_t>(format)];
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string withoutExtension(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

OGRLineString lineOf(const std::vector<GeoPoint>& points)
{
    OGRLineString line;
    line.setNumPoints(static_cast<int>(points.size()));
    for (std::size_t i = 0; i < points.size(); ++i) {
        line.setPoint(static_cast<int>(i), points[i].longitude, points[i].latitude);
    }
    return line;
}

std::string describeLayer(OGRLayer& layer, const LayerProvenance& from)
{
    char date[32];
    std::snprintf(date, sizeof date, "%.4f", static_cast<double>(from.date));
    layer.SetMetadataItem("MODEL", from.modelName.c_str());
    layer.SetMetadataItem("MODEL_FILE", from.modelFile.c_str());
    layer.SetMetadataItem("DATE", date);
    layer.SetMetadataItem("SOFTWARE", from.program.c_str());
    return from.modelName + " (" + from.modelFile + "), decimal year " + date + ", " + from.program;
}

OGRLayer* createLayer(GDALDataset& dataset, const char* name, OGRwkbGeometryType type, const LayerProvenance& from,
                      VectorFormat format)
{
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    CPLStringList options;
    if (format == VectorFormat::GeoJson) {
        char date[32];
        std::snprintf(date, sizeof date, "%.4f", static_cast<double>(from.date));
        options.AddNameValue("DESCRIPTION", (from.modelName + " (" + from.modelFile + "), decimal year " + date +
                                             ", " + from.program).c_str());
    }
    OGRLayer* layer = dataset.CreateLayer(name, &wgs84, type, options.List());
    if (layer != nullptr) {
        describeLayer(*layer, from);
    }
    return layer;
}

bool addField(OGRLayer& layer, const char* name, OGRFieldType type)
{
    OGRFieldDefn field(name, type);
    return layer.CreateField(&field) == OGRERR_NONE;
}

std::string writeIsolines(OGRLayer& layer, const IsolineLayers& layers)
{
    const ElementInfo& info = elementInfo(layers.element);
    if (!addField(layer, "element", OFTString) || !addField(layer, "value", OFTReal) ||
        !addField(layer, "unit", OFTString)) {
        return GdalSession::problem("cannot add the isolines' fields");
    }
    const std::string code(info.code);
    const std::string unit(info.unit);
    for (const Isoline& isoline : layers.isolines) {
        const OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer.GetLayerDefn()));
        feature->SetField("element", code.c_str());
        feature->SetField("value", isoline.level);
        feature->SetField("unit", unit.c_str());
        const OGRLineString line = lineOf(isoline.vertices);
        feature->SetGeometry(&line);
        if (layer.CreateFeature(feature.get()) != OGRERR_NONE) {
            return GdalSession::problem("cannot write an isoline");
        }
    }
    return {};
}

std::string writeZones(OGRLayer& layer, const std::vector<ZonePolygon>& zones)
{
    if (layer.GetLayerDefn()->GetFieldIndex("zone") < 0 && !addField(layer, "zone", OFTString)) {
        return GdalSession::problem("cannot add the zones' field");
    }
    for (const ZonePolygon& zone : zones) {
        const OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer.GetLayerDefn()));
        feature->SetField("zone", std::string(compassZoneName(zone.zone)).c_str());
        OGRPolygon polygon;
        for (const auto& ring : zone.rings) {
            OGRLinearRing linear;
            const OGRLineString points = lineOf(ring);
            linear.addSubLineString(&points);
            polygon.addRing(&linear);
        }
        feature->SetGeometry(&polygon);
        if (layer.CreateFeature(feature.get()) != OGRERR_NONE) {
            return GdalSession::problem("cannot write a compass zone");
        }
    }
    return {};
}

// Writes the layers into files of folder (a GDAL memory folder).
std::string writeInto(const std::string& folder, const std::string& stem, VectorFormat format,
                      const IsolineLayers& layers)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(infoOf(format).driver);
    const std::string name = folder + "/" + stem + "." + std::string(infoOf(format).extension);
    GDALDatasetUniquePtr dataset(driver != nullptr ? driver->Create(name.c_str(), 0, 0, 0, GDT_Unknown, nullptr)
                                                   : nullptr);
    const bool mixed = format == VectorFormat::GeoJson && layers.zones;
    OGRLayer* lines = dataset ? createLayer(*dataset, "isolines", mixed ? wkbUnknown : wkbLineString,
                                            layers.provenance, format)
                              : nullptr;
    if (lines == nullptr) {
        return GdalSession::problem("cannot create the isoline layer");
    }
    if (std::string problem = writeIsolines(*lines, layers); !problem.empty()) {
        return problem;
    }
    if (layers.zones) {
        GDALDatasetUniquePtr zoneFile;
        OGRLayer* zones = mixed ? lines : nullptr;
        if (format == VectorFormat::Shapefile) {
            const std::string zoneName = folder + "/" + stem + "_zones.shp";
            zoneFile.reset(driver->Create(zoneName.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        }
        GDALDataset* home = zoneFile ? zoneFile.get() : dataset.get();
        if (zones == nullptr) {
            zones = createLayer(*home, "compass_zones", wkbPolygon, layers.provenance, format);
        }
        if (zones == nullptr) {
            return GdalSession::problem("cannot create the compass zone layer");
        }
        if (std::string problem = writeZones(*zones, *layers.zones); !problem.empty()) {
            return problem;
        }
    }
    CPLErrorReset();
    dataset.reset();
    return CPLGetLastErrorType() >= CE_Failure ? GdalSession::problem("cannot write the isolines") : std::string();
}

// Every file GDAL made in the memory folder takes its place beside path:
// the one named like path at path itself (links followed), the others (a
// shapefile's .shx, .dbf, .prj and zones) beside it under their own names.
std::string placeFiles(const std::string& memory, const std::string& path, const std::string& stem,
                       VectorFormat format)
{
    const CPLStringList names(VSIReadDir(memory.c_str()));
    const std::string main = stem + "." + std::string(infoOf(format).extension);
    std::vector<std::string> order;
    for (int i = 0; i < names.size(); ++i) {
        const std::string name = names[i];
        const auto endsWith = [&name](std::string_view end) {
            return name.size() >= end.size() && name.compare(name.size() - end.size(), end.size(), end) == 0;
        };
        // A database's journal files are gone once it is closed; should
        // one remain, it is no part of the output.
        if (name != main && !endsWith("-journal") && !endsWith("-wal") && !endsWith("-shm")) {
            order.emplace_back(names[i]);
        }
    }
    order.push_back(main);  // last, once everything beside it is in place
    const std::string folder = folderOfPath(path);
    for (const std::string& name : order) {
        vsi_l_offset length = 0;
        const GByte* bytes = VSIGetMemFileBuffer((memory + "/" + name).c_str(), &length, FALSE);
        if (bytes == nullptr) {
            continue;
        }
        const std::string target = name == main ? path : folder + "/" + name;
        const std::string_view content(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
        if (const auto failed = replaceFileContents(target, content)) {
            return "cannot write " + target + ": " + std::strerror(std::max(failed->error.osError, 1));
        }
    }
    return {};
}

}  // namespace

std::optional<VectorFormat> vectorFormatFor(std::string_view path)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string extension(path.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const FormatInfo& info : kFormats) {
        if (info.extension == extension) {
            return info.format;
        }
    }
    return std::nullopt;
}

std::string writeIsolineLayers(const std::string& path, VectorFormat format, const IsolineLayers& layers)
{
    const GdalSession session;
    static std::atomic<unsigned> counter{0};
    const std::string memory =
        "/vsimem/tellurim-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const std::string stem = withoutExtension(baseName(path));
    std::string problem = writeInto(memory, stem, format, layers);
    if (problem.empty()) {
        problem = placeFiles(memory, path, stem, format);
    }
    VSIRmdirRecursive(memory.c_str());
    return problem;
}

}  // namespace tellurim
