// Rasters as GDAL reads them back: the reference system, node registration,
// band texts, and every node holding the bits of the point calculation at
// its latitude and longitude; refusals write nothing; a failed write keeps
// the old file.

#include "cli/CliTestSupport.h"
#include "gis/FieldElement.h"
#include "grid/GridSize.h"
#include "record/FieldAccuracy.h"
#include "support/FileSizeLimit.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <filesystem>

namespace tellurim::test {
namespace {

using cli::CliRun;
using cli::modelPath;
using cli::runWith;

// Nodes at -60 .. 80 by 35 and -170.5 .. 179.5 by 50 (5 x 8), 1200 m, 2027.25.
std::vector<std::string> smallRaster(const std::string& output)
{
    return {"grid", "--lat", "-60", "80", "35", "--lon", "-170.5", "179.5", "50", "--year", "2027.25",
            "--elevation", "1200", "--model", modelPath(), "--output", output};
}

GDALDatasetUniquePtr openRaster(const std::string& name)
{
    GDALAllRegister();
    return GDALDatasetUniquePtr(GDALDataset::Open(name.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
}

// Every node of band at the lattice's exact latitude and longitude, holding
// the point calculation's value of element there, bit for bit.
void expectNodesOnTheirPoints(GDALDataset& raster, int band, FieldElement element, ShippedEngine& shipped)
{
    ASSERT_EQ(raster.GetRasterXSize(), 8);
    ASSERT_EQ(raster.GetRasterYSize(), 5);
    double t[6];
    ASSERT_EQ(raster.GetGeoTransform(t), CE_None);
    const OGRSpatialReference* srs = raster.GetSpatialRef();
    ASSERT_NE(srs, nullptr);
    // WGS 84 latitude and longitude (the ASCII grid's .prj names no authority).
    EXPECT_TRUE(srs->IsGeographic());
    EXPECT_EQ(srs->GetSemiMajor(), 6378137.0);
    EXPECT_NEAR(srs->GetInvFlattening(), 298.257223563, 1e-9);
    std::vector<float> values(40);
    ASSERT_EQ(raster.GetRasterBand(band)->RasterIO(GF_Read, 0, 0, 8, 5, values.data(), 8, 5, GDT_Float32, 0, 0, nullptr),
              CE_None);
    const PublishedAccuracy* accuracy = publishedAccuracy(shipped.engine.modelName());
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 8; ++column) {
            const double lat = t[3] + (row + 0.5) * t[5];
            const double lon = t[0] + (column + 0.5) * t[1];
            EXPECT_NEAR(lat, 80.0 - 35.0 * row, 1e-9);
            EXPECT_NEAR(lon, -170.5 + 50.0 * column, 1e-9);
            const FieldResult point = shipped.engine.computePoint(1200.0f, static_cast<float>(80.0 - 35.0 * row),
                                                                  static_cast<float>(-170.5 + 50.0 * column), 2027.25f);
            EXPECT_EQ(std::bit_cast<uint32_t>(values[static_cast<std::size_t>(row * 8 + column)]),
                      std::bit_cast<uint32_t>(elementValue(element, point, accuracy)))
                << elementInfo(element).code << " at " << lat << " " << lon;
        }
    }
}

TEST(Rasters, GeoTiffNetCdfAndAsciiGridHoldThePointsAtTheirNodes)
{
    TempDir dir;
    ShippedEngine shipped;
    const std::string tif = dir.file("field.tif");
    ASSERT_EQ(runWith(smallRaster(tif)).status, 0);
    const GDALDatasetUniquePtr geotiff = openRaster(tif);
    ASSERT_TRUE(geotiff);
    EXPECT_STREQ(geotiff->GetMetadataItem("AREA_OR_POINT"), "Point");
    EXPECT_STREQ(geotiff->GetSpatialRef()->GetAuthorityCode(nullptr), "4326");
    EXPECT_STREQ(geotiff->GetMetadataItem("MODEL"), "WMM-2025");
    ASSERT_EQ(geotiff->GetRasterCount(), 15);  // WMM-2025 publishes the declination's uncertainty
    for (int band = 1; band <= 15; ++band) {
        const ElementInfo& info = allElements()[static_cast<std::size_t>(band - 1)];
        EXPECT_EQ(geotiff->GetRasterBand(band)->GetDescription(), info.description);
        EXPECT_EQ(geotiff->GetRasterBand(band)->GetUnitType(), info.unit);
        EXPECT_TRUE(std::isnan(geotiff->GetRasterBand(band)->GetNoDataValue()));
        expectNodesOnTheirPoints(*geotiff, band, info.element, shipped);
    }
    EXPECT_EQ(allElements()[7].description, "annual change of declination");
    EXPECT_EQ(allElements()[7].unit, "arcmin/yr");

    const std::string nc = dir.file("field.nc");
    ASSERT_EQ(runWith(smallRaster(nc)).status, 0);
    for (const FieldElement element : {FieldElement::D, FieldElement::DeltaF, FieldElement::SigmaD}) {
        const ElementInfo& info = elementInfo(element);
        const GDALDatasetUniquePtr variable = openRaster("NETCDF:\"" + nc + "\":" + std::string(info.variable));
        ASSERT_TRUE(variable) << info.variable;
        EXPECT_STREQ(variable->GetSpatialRef()->GetAuthorityCode(nullptr), "4326");
        EXPECT_STREQ(variable->GetRasterBand(1)->GetMetadataItem("long_name"), std::string(info.description).c_str());
        expectNodesOnTheirPoints(*variable, 1, element, shipped);
    }
    const GDALDatasetUniquePtr netcdf = openRaster(nc);
    ASSERT_TRUE(netcdf);
    EXPECT_STREQ(netcdf->GetMetadataItem("NC_GLOBAL#Conventions"), "CF-1.8");
    EXPECT_STREQ(netcdf->GetMetadataItem("NC_GLOBAL#model_file"), modelPath().c_str());

    auto asc = smallRaster(dir.file("z.asc"));
    asc.insert(asc.end(), {"--element", "Z"});
    ASSERT_EQ(runWith(asc).status, 0);
    const GDALDatasetUniquePtr ascii = openRaster(dir.file("z.asc"));
    ASSERT_TRUE(ascii);
    expectNodesOnTheirPoints(*ascii, 1, FieldElement::Z, shipped);

    // --element chooses and orders the bands.
    auto two = smallRaster(tif);
    two.insert(two.end(), {"--element", "dI", "--element", "H"});
    ASSERT_EQ(runWith(two).status, 0);
    const GDALDatasetUniquePtr chosen = openRaster(tif);
    ASSERT_EQ(chosen->GetRasterCount(), 2);
    expectNodesOnTheirPoints(*chosen, 1, FieldElement::DeltaI, shipped);
    expectNodesOnTheirPoints(*chosen, 2, FieldElement::H, shipped);
}

TEST(Rasters, RefusalsNameWhatToChangeAndWriteNothing)
{
    TempDir dir;
    struct Case {
        std::vector<std::string> extra;
        std::string output;
        std::string message;
    };
    const std::vector<Case> cases{
        {{}, "grid.xyz", "cannot tell the format of "},
        {{"--element", "Q"}, "grid.tif", "unknown element 'Q' for --element; give one of D, I, F"},
        {{"--element", "D", "--element", "I"}, "grid.asc", "an ESRI ASCII grid (.asc) holds one quantity"},
        {{"--element", "D"}, "grid.csv", "--element chooses the bands of a .tif"},
        {{"--with", "zone"}, "grid.nc", "--with adds CSV columns"},
    };
    for (const Case& c : cases) {
        auto args = smallRaster(dir.file(c.output));
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const CliRun run = runWith(args);
        EXPECT_EQ(run.status, 2) << c.output;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const CliRun huge = runWith({"grid", "--lat", "-90", "90", "0.001", "--lon", "-180", "180", "0.001", "--year",
                                 "2026", "--model", modelPath(), "--output", dir.file("huge.tif")});
    EXPECT_EQ(huge.status, 2);
    EXPECT_NE(huge.err.find("more than 2^31; choose larger steps"), std::string::npos) << huge.err;
    // 30001 x 60001 nodes of 15 bands: about 108 GB.
    if (freeBytesFor(dir.file("big.tif")).value_or(0) < 100'000'000'000) {
        const CliRun big = runWith({"grid", "--lat", "-90", "90", "0.006", "--lon", "-180", "180", "0.006", "--year",
                                    "2026", "--model", modelPath(), "--output", dir.file("big.tif")});
        EXPECT_EQ(big.status, 2);
        EXPECT_NE(big.err.find(" are free (choose larger steps, fewer --element, or --force)"), std::string::npos)
            << big.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(Rasters, AFailedWriteKeepsTheOldFileAndLeavesNothingBeside)
{
    TempDir dir;
    const std::string old = dir.write("field.tif", "precious\n");
    CliRun run;
    {
        FileSizeLimit limit(20000);  // the raster is about 3.9 MB before compression
        ASSERT_TRUE(limit.active());
        run = runWith({"grid", "--lat", "-90", "90", "1", "--lon", "-180", "180", "1", "--year", "2026", "--model",
                       modelPath(), "--output", old});
    }
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("cannot write " + old), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the old " + old + " is kept"), std::string::npos) << run.err;
    EXPECT_EQ(readWholeFile(old), "precious\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace tellurim::test
