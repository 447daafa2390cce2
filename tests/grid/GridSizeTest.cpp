#include "grid/GridSize.h"

#include "grid/GridCsv.h"
#include "grid/GridWalk.h"
#include "files/ReplaceFile.h"
#include "support/EngineSupport.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace tellurim {
namespace {

TEST(GridSize, TextsUseDecimalUnitsWithOneDecimal)
{
    EXPECT_EQ(byteSizeText(0), "0 bytes");
    EXPECT_EQ(byteSizeText(999), "999 bytes");
    EXPECT_EQ(byteSizeText(1000), "1.0 kB");
    EXPECT_EQ(byteSizeText(38'200'000'000), "38.2 GB");
    EXPECT_EQ(byteSizeText(13'500'000'000'000), "13.5 TB");
    EXPECT_EQ(byteSizeText(999'960), "1.0 MB");  // not "1000.0 kB"
    EXPECT_EQ(byteSizeText(UINT64_MAX), "18.4 EB");
}

TEST(GridSize, TheEstimateIsCloseToTheRealFile)
{
    // The whole Earth every 2 degrees, written the way the grid file is.
    const GridSettings world{0, -90.0f, 90.0f, 2.0f, -180.0f, 180.0f, 2.0f};
    ShippedEngine shipped;
    std::string file = gridCsvHeader();
    for (const float lat : gridAxis(world.StartLat, world.EndLat, world.LatInc))
        for (const float lon : gridAxis(world.StartLong, world.EndLong, world.LongInc))
            appendGridLine(file, lat, lon, shipped.engine.computePoint(0.0f, lat, lon, 2026.0f));
    EXPECT_EQ(gridPointCount(world), 91u * 181u);
    const double ratio = static_cast<double>(estimatedGridFileBytes(world)) / static_cast<double>(file.size());
    EXPECT_NEAR(ratio, 1.0, 0.03);
}

TEST(GridSize, AGridLargerThanTheFreeSpaceIsAShortage)
{
    TempDir folder;
    const std::string path = folder.file("grid.csv");
    const std::optional<uint64_t> free = freeBytesFor(path);
    ASSERT_TRUE(free.has_value());
    EXPECT_GT(*free, 0u);

    const GridSettings small{0, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f};
    EXPECT_FALSE(gridSpaceShortage(small, path).has_value());
    // The whole Earth every 0.001 degree: about 13 TB.
    const GridSettings huge{0, -90.0f, 90.0f, 0.001f, -180.0f, 180.0f, 0.001f};
    // A device keeps nothing, whatever its file system holds.
    EXPECT_FALSE(gridSpaceShortage(huge, "/dev/null").has_value());
    if (estimatedGridFileBytes(huge) <= *free)
        GTEST_SKIP() << "this file system has room for " << byteSizeText(*free);
    const std::optional<SpaceShortage> shortage = gridSpaceShortage(huge, path);
    ASSERT_TRUE(shortage.has_value());
    EXPECT_EQ(shortage->needed, estimatedGridFileBytes(huge));
    EXPECT_EQ(byteSizeText(shortage->needed), "13.0 TB");
    EXPECT_FALSE(pathExists(path));
}

}  // namespace
}  // namespace tellurim
