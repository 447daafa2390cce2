// tellurim-cli contours as OGR reads the files back: the fields, the layer
// metadata, the zones, and sampled vertices where the model has the
// isoline's value; refusals write nothing.

#include "cli/CliTestSupport.h"
#include "record/FieldAccuracy.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>

namespace tellurim::test {
namespace {

using cli::modelPath;
using cli::runWith;

// Inclination north of 50N at 0.5 x 1 degree, 2026.0, with the zones.
std::vector<std::string> arctic(const std::string& output)
{
    return {"contours", "--element", "I", "--lat", "50", "90", "0.5", "--lon", "-180", "180", "1", "--year",
            "2026", "--model", modelPath(), "--zones", "--output", output};
}

GDALDatasetUniquePtr openVectors(const std::string& path)
{
    GDALAllRegister();
    return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
}

TEST(IsolineFiles, GeoPackageLinesHaveTheirFieldsAndTheModelHasTheirValueAtTheVertices)
{
    TempDir dir;
    const std::string path = dir.file("dip.gpkg");
    const cli::CliRun run = runWith(arctic(path));
    ASSERT_EQ(run.status, 0) << run.err;
    const GDALDatasetUniquePtr file = openVectors(path);
    ASSERT_TRUE(file);
    OGRLayer* lines = file->GetLayerByName("isolines");
    ASSERT_NE(lines, nullptr);
    EXPECT_STREQ(lines->GetMetadataItem("MODEL"), "WMM-2025");
    EXPECT_STREQ(lines->GetMetadataItem("DATE"), "2026.0000");
    EXPECT_EQ(wkbFlatten(lines->GetGeomType()), wkbLineString);
    ShippedEngine shipped;
    int sampled = 0;
    for (const auto& feature : *lines) {
        EXPECT_STREQ(feature->GetFieldAsString("element"), "I");
        EXPECT_STREQ(feature->GetFieldAsString("unit"), "deg");
        const double level = feature->GetFieldAsDouble("value");
        EXPECT_EQ(std::remainder(level, 5.0), 0.0) << level;
        const OGRLineString* line = feature->GetGeometryRef()->toLineString();
        for (int i = 0; i < line->getNumPoints(); i += 11, ++sampled) {
            const FieldResult point = shipped.engine.computePoint(0.0f, static_cast<float>(line->getY(i)),
                                                                  static_cast<float>(line->getX(i)), 2026.0f);
            // Linear interpolation between nodes half a degree apart.
            EXPECT_NEAR(point.DIP, level, 0.02) << line->getY(i) << " " << line->getX(i);
        }
    }
    EXPECT_GT(sampled, 100);
    OGRLayer* zones = file->GetLayerByName("compass_zones");
    ASSERT_NE(zones, nullptr);
    std::set<std::string> kinds;
    for (const auto& feature : *zones) {
        kinds.insert(feature->GetFieldAsString("zone"));
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"blackout", "caution"}));
}

TEST(IsolineFiles, ShapefileGeoJsonAndKmlOpenWithTheirLayers)
{
    TempDir dir;
    for (const std::string name : {"dip.shp", "dip.geojson", "dip.kml"}) {
        ASSERT_EQ(runWith(arctic(dir.file(name))).status, 0) << name;
        const GDALDatasetUniquePtr file = openVectors(dir.file(name));
        ASSERT_TRUE(file) << name;
        OGRLayer* layer = file->GetLayer(0);
        ASSERT_NE(layer, nullptr);
        EXPECT_GT(layer->GetFeatureCount(), 5) << name;
        EXPECT_GE(layer->GetLayerDefn()->GetFieldIndex("value"), 0) << name;
    }
    for (const std::string side : {"dip.shx", "dip.dbf", "dip.prj", "dip_zones.shp", "dip_zones.dbf"}) {
        EXPECT_TRUE(std::filesystem::exists(dir.path() / side)) << side;
    }
    const GDALDatasetUniquePtr zones = openVectors(dir.file("dip_zones.shp"));
    ASSERT_TRUE(zones);
    EXPECT_GE(zones->GetLayer(0)->GetLayerDefn()->GetFieldIndex("zone"), 0);
}

TEST(IsolineFiles, RefusalsNameWhatToChangeAndWriteNothing)
{
    TempDir dir;
    const std::string out = dir.file("d.gpkg");
    const std::vector<std::string> base{"contours", "--year", "2026", "--model", modelPath()};
    struct Case {
        std::vector<std::string> extra;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"--element", "D", "--interval", "0", "--output", out}, "--interval must be above 0"},
        {{"--element", "D", "--interval", "-2", "--output", out}, "--interval must be above 0"},
        {{"--element", "F", "--interval", "0.001", "--output", out}, "choose a larger interval"},
        {{"--element", "D", "--output", dir.file("d.txt")}, "give a name ending in .gpkg, .geojson, .shp or .kml"},
        {{"--element", "W", "--output", out}, "unknown element 'W'"},
        {{"--output", out}, "contours needs one --element"},
        {{"--element", "D", "--lat", "0", "10", "1", "--output", out}, "needs both --lat"},
    };
    for (const Case& c : cases) {
        auto args = base;
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const cli::CliRun run = runWith(args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
}  // namespace tellurim::test
