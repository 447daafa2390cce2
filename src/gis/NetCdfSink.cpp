// The NetCDF raster: CF-1.8 through GDAL's multidimensional interface, so
// every variable, coordinate and attribute has the name CF readers expect.
#include "gis/GdalSession.h"
#include "gis/RasterWriter.h"

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <limits>

namespace tellurim {

namespace {

void textAttribute(GDALIHasAttribute& owner, const std::string& name, const std::string& value)
{
    if (const auto attribute = owner.CreateAttribute(name, {}, GDALExtendedDataType::CreateString())) {
        attribute->Write(value.c_str());
    }
}

void numberAttribute(GDALIHasAttribute& owner, const std::string& name, double value)
{
    if (const auto attribute = owner.CreateAttribute(name, {}, GDALExtendedDataType::Create(GDT_Float64))) {
        attribute->Write(value);
    }
}

// A coordinate variable: the nodes' latitudes (north first) or longitudes.
std::shared_ptr<GDALMDArray> coordinate(GDALGroup& root, const std::shared_ptr<GDALDimension>& dimension,
                                        bool latitude, const LatticeGeometry& geometry)
{
    const auto array = root.CreateMDArray(dimension->GetName(), {dimension},
                                          GDALExtendedDataType::Create(GDT_Float64));
    if (!array) {
        return nullptr;
    }
    textAttribute(*array, "standard_name", latitude ? "latitude" : "longitude");
    textAttribute(*array, "long_name", latitude ? "latitude" : "longitude");
    textAttribute(*array, "units", latitude ? "degrees_north" : "degrees_east");
    textAttribute(*array, "axis", latitude ? "Y" : "X");
    const std::size_t count = latitude ? geometry.height : geometry.width;
    std::vector<double> nodes(count);
    for (std::size_t i = 0; i < count; ++i) {
        nodes[i] = latitude ? geometry.latitude(i) : geometry.longitude(i);
    }
    const GUInt64 start = 0;
    if (!array->Write(&start, &count, nullptr, nullptr, GDALExtendedDataType::Create(GDT_Float64), nodes.data())) {
        return nullptr;
    }
    dimension->SetIndexingVariable(array);
    return array;
}

void globalAttributes(GDALGroup& root, const LayerProvenance& from)
{
    textAttribute(root, "Conventions", "CF-1.8");
    textAttribute(root, "title", "Earth's main magnetic field from " + from.modelName);
    textAttribute(root, "source", from.program);
    textAttribute(root, "model", from.modelName);
    textAttribute(root, "model_file", from.modelFile);
    numberAttribute(root, "model_epoch", static_cast<double>(from.modelEpoch));
    numberAttribute(root, "date", static_cast<double>(from.date));
    numberAttribute(root, "elevation_m", static_cast<double>(from.elevation));
    textAttribute(root, "comment",
                  "node-registered WGS 84 grid: each value is the field at its latitude and longitude, at the "
                  "date (decimal year) and elevation (metres above the ellipsoid) given here");
}

class NetCdfSink final : public RasterSink {
public:
    NetCdfSink(GDALDatasetUniquePtr dataset, std::vector<std::shared_ptr<GDALMDArray>> variables,
               const RasterRequest& request)
        : m_dataset(std::move(dataset)), m_variables(std::move(variables)), m_request(request)
    {
    }

    std::string write(std::size_t firstRow, std::size_t rowCount, std::span<const float> values) override
    {
        const std::size_t width = m_request.geometry.width;
        const GUInt64 start[2] = {firstRow, 0};
        const std::size_t count[2] = {rowCount, width};
        for (std::size_t b = 0; b < m_variables.size(); ++b) {
            if (!m_variables[b]->Write(start, count, nullptr, nullptr, GDALExtendedDataType::Create(GDT_Float32),
                                       values.data() + b * rowCount * width)) {
                return GdalSession::problem("cannot write " + m_request.path);
            }
        }
        return {};
    }

    std::string finish() override
    {
        m_variables.clear();
        CPLErrorReset();
        m_dataset.reset();
        return CPLGetLastErrorType() >= CE_Failure ? GdalSession::problem("cannot write " + m_request.path)
                                                   : std::string();
    }

private:
    GDALDatasetUniquePtr m_dataset;
    std::vector<std::shared_ptr<GDALMDArray>> m_variables;
    const RasterRequest& m_request;
};

}  // namespace

std::unique_ptr<RasterSink> createNetCdfSink(const std::string& path, const RasterRequest& request,
                                             std::string& problem)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("netCDF");
    CPLStringList options;
    options.AddNameValue("FORMAT", "NC4");
    GDALDatasetUniquePtr dataset(driver == nullptr ? nullptr
                                                   : driver->CreateMultiDimensional(path.c_str(), nullptr,
                                                                                    options.List()));
    const auto root = dataset ? dataset->GetRootGroup() : nullptr;
    problem = GdalSession::problem("cannot create the NetCDF file " + request.path);
    if (!root) {
        return nullptr;
    }
    const LatticeGeometry& geometry = request.geometry;
    const auto lat = root->CreateDimension("lat", GDAL_DIM_TYPE_HORIZONTAL_Y, "NORTH", geometry.height);
    const auto lon = root->CreateDimension("lon", GDAL_DIM_TYPE_HORIZONTAL_X, "EAST", geometry.width);
    if (!lat || !lon || !coordinate(*root, lat, true, geometry) || !coordinate(*root, lon, false, geometry)) {
        problem = GdalSession::problem("cannot create the NetCDF file " + request.path);
        return nullptr;
    }
    globalAttributes(*root, request.provenance);
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    CPLStringList compression;
    compression.AddNameValue("COMPRESS", "DEFLATE");
    std::vector<std::shared_ptr<GDALMDArray>> variables;
    for (const FieldElement element : request.bands) {
        const ElementInfo& info = elementInfo(element);
        auto variable = root->CreateMDArray(std::string(info.variable), {lat, lon},
                                            GDALExtendedDataType::Create(GDT_Float32), compression.List());
        if (!variable || !variable->SetNoDataValue(std::numeric_limits<double>::quiet_NaN())) {
            problem = GdalSession::problem("cannot create the NetCDF file " + request.path);
            return nullptr;
        }
        textAttribute(*variable, "long_name", std::string(info.description));
        // CF units are read by UDUNITS, which knows "degree" but not "deg".
        textAttribute(*variable, "units", info.unit == "deg" ? std::string("degree") : std::string(info.unit));
        variable->SetSpatialRef(&wgs84);
        variables.push_back(std::move(variable));
    }
    problem.clear();
    return std::make_unique<NetCdfSink>(std::move(dataset), std::move(variables), request);
}

}  // namespace tellurim
