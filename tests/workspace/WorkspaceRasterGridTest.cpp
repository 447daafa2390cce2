// Make Grid's GeoTIFF and NetCDF files: the Save dialog offers them after
// the CSV filter, the raster holds every node's point, and a cancel keeps
// the old file.

#include "cli/CliTestSupport.h"
#include "support/WorkspaceHarness.h"

#include <gdal_priv.h>

#include <gtest/gtest.h>

#include <bit>

namespace tellurim {
namespace {

using K = Prompt::Kind;
constexpr GridSettings kArea{0, 50.0f, 60.0f, 2.5f, -20.0f, 20.0f, 10.0f};

class RasterGridFlow : public ::testing::Test {
protected:
    RasterGridFlow()
    {
        h.workspace.record.ALTM = 250.0f;
        h.workspace.record.DDATE = 2027.25f;
        ui.clearTranscript();
    }

    TempSettings settings;
    TempDir work;
    ScopedCurrentDir inWork{work.path()};
    ScriptedInteraction ui;
    WorkspaceHarness h{ui, {2026, 3, 15}, cli::modelPath()};
};

TEST_F(RasterGridFlow, GeoTiffAndNetCdfFollowTheCsvFilterAndHoldEveryNodesPoint)
{
    for (const std::string name : {"field.tif", "field.nc"}) {
        ui.clearTranscript();
        ui.then(GridArea{kArea}).then(File{work.file(name)}).then(ProgressRun{});
        h.workspace.makeGrid();
        ASSERT_EQ(ui.transcript().size(), 5u) << name;
        const FileRequest& request = ui.transcript()[1].file;
        EXPECT_EQ(request.pattern, "*.CSV");
        ASSERT_EQ(request.moreFilters.size(), 2u);
        EXPECT_EQ(request.moreFilters[0].pattern, "*.tif *.tiff");
        EXPECT_EQ(request.moreFilters[1].pattern, "*.nc");
        EXPECT_TRUE(sameBox(ui.transcript().back(), messageBox(Icon::Information, "Tellurim", "Grid created OK")));
        EXPECT_EQ(h.workspace.grid, kArea);

        GDALAllRegister();
        const std::string opened = name == "field.nc" ? "NETCDF:\"" + work.file(name) + "\":total_intensity"
                                                      : work.file(name);
        const GDALDatasetUniquePtr raster(GDALDataset::Open(opened.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
        ASSERT_TRUE(raster) << name;
        ASSERT_EQ(raster->GetRasterXSize(), 5);
        ASSERT_EQ(raster->GetRasterYSize(), 5);
        std::vector<float> values(25);
        const int band = name == "field.nc" ? 1 : 3;  // F
        ASSERT_EQ(raster->GetRasterBand(band)->RasterIO(GF_Read, 0, 0, 5, 5, values.data(), 5, 5, GDT_Float32, 0, 0,
                                                        nullptr),
                  CE_None);
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 5; ++column) {
                const FieldResult point = h.engine.computePoint(250.0f, 60.0f - 2.5f * static_cast<float>(row),
                                                                -20.0f + 10.0f * static_cast<float>(column), 2027.25f);
                EXPECT_EQ(std::bit_cast<uint32_t>(values[static_cast<std::size_t>(row * 5 + column)]),
                          std::bit_cast<uint32_t>(point.TI));
            }
        }
    }
    EXPECT_TRUE(ui.finished());
}

TEST_F(RasterGridFlow, CancelKeepsTheOldFile)
{
    const std::string path = work.write("old.tif", "precious\n");
    ui.then(GridArea{kArea}).then(File{path}).then(ProgressRun{1});
    h.workspace.makeGrid();
    ASSERT_EQ(ui.transcript().size(), 5u);
    EXPECT_TRUE(sameBox(ui.transcript().back(),
                        messageBox(Icon::Information, "Tellurim", "Grid creation cancelled by user")));
    EXPECT_EQ(readWholeFile(path), "precious\n");
    EXPECT_EQ(folderEntries(work.path()), std::vector<std::string>{"old.tif"});
    EXPECT_TRUE(ui.finished());
}

}  // namespace
}  // namespace tellurim
