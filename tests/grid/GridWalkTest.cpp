#include "grid/GridWalk.h"
#include "grid/GridSize.h"
#include "support/TestText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace tellurim {
namespace {

std::string printed(float value)
{
    return cFormat("%f", static_cast<double>(value));
}

std::vector<int32_t> positions(const std::vector<float>& rows, float start, float end)
{
    std::vector<int32_t> result;
    for (const float row : rows)
        result.push_back(progressPosition(row, start, end));
    return result;
}

TEST(GridAxis, TenthsFromZeroToOneEndOnOne)
{
    const std::vector<float> rows = gridAxis(0.0f, 1.0f, 0.1f);
    ASSERT_EQ(rows.size(), 11U);
    EXPECT_EQ(printed(rows.front()), "0.000000");
    EXPECT_EQ(printed(rows[5]), "0.500000");
    EXPECT_EQ(printed(rows.back()), "1.000000");
    EXPECT_EQ(positions(rows, 0.0f, 1.0f).back(), 100);
}

TEST(GridAxis, StepThatDoesNotDivideGoesOneBeyondTheEnd)
{
    const std::vector<float> rows = gridAxis(0.0f, 1.0f, 0.3f);
    std::vector<std::string> texts;
    for (const float row : rows)
        texts.push_back(printed(row));
    EXPECT_EQ(texts, (std::vector<std::string>{"0.000000", "0.300000", "0.600000", "0.900000",
                                               "1.200000"}));
    EXPECT_EQ(positions(rows, 0.0f, 1.0f), (std::vector<int32_t>{0, 30, 60, 90, 120}));
}

TEST(GridAxis, LatitudesStopAtThePoleLongitudesGoOn)
{
    std::vector<std::string> texts;
    for (const float row : gridLatitudes(89.0f, 90.0f, 0.3f))
        texts.push_back(printed(row));
    EXPECT_EQ(texts, (std::vector<std::string>{"89.000000", "89.300003", "89.600006", "89.900009"}));
    EXPECT_EQ(gridLatitudes(89.0f, 90.0f, 0.5f).back(), 90.0f);  // the pole itself stays
    EXPECT_EQ(gridLatitudes(-90.0f, 90.0f, 7.0f).back(), 85.0f);  // 92 would pass the pole
    EXPECT_EQ(gridLatitudes(0.0f, 1.0f, 0.3f), gridAxis(0.0f, 1.0f, 0.3f));  // away from it, the same walk
    EXPECT_EQ(gridAxis(179.0f, 180.0f, 0.3f).size(), 5U);  // 180.2 east is a direction
    EXPECT_EQ(gridPointCount(GridSettings{0, 89.0f, 90.0f, 0.3f, 179.0f, 180.0f, 0.3f}), 4U * 5U);
}

TEST(GridAxis, AccumulatedDriftAddsARowBeyondTheEnd)
{
    const std::vector<float> rows = gridAxis(-40.75f, -38.75f, 0.1f);
    ASSERT_EQ(rows.size(), 22U);
    EXPECT_EQ(printed(rows[20]), "-38.750031");
    EXPECT_EQ(printed(rows[21]), "-38.650032");
    EXPECT_EQ(progressPosition(rows[21], -40.75f, -38.75f), 104);
    // Accumulated, not start + k * step.
    EXPECT_NE(rows[20], -38.75f);
}

TEST(GridAxis, StartAboveEndGivesNothingAndEqualEndsGiveOne)
{
    EXPECT_TRUE(gridAxis(5.0f, 4.0f, 0.5f).empty());
    EXPECT_TRUE(gridAxis(5.0f, 4.0f, 1.0f).empty());  // 5 is not below 4 + 1
    const std::vector<float> single = gridAxis(5.0f, 5.0f, 1.0f);
    ASSERT_EQ(single.size(), 1U);
    EXPECT_EQ(single[0], 5.0f);
    EXPECT_EQ(progressPosition(5.0f, 5.0f, 5.0f), 0);
}

TEST(GridAxis, BoundIsFormedInDoubleNotSingle)
{
    // 1 + 1e-8 rounds to 1 in single; in double the value 1 lies below it.
    EXPECT_EQ(gridAxis(1.0f, 1.0f, 1e-8f).size(), 1U);
}

TEST(GridAxis, StepsThatCannotAdvanceEndInsteadOfLooping)
{
    EXPECT_TRUE(gridAxis(0.0f, 1.0f, 0.0f).empty());
    EXPECT_TRUE(gridAxis(0.0f, 1.0f, -0.1f).empty());
    EXPECT_TRUE(gridAxis(0.0f, 1.0f, std::numeric_limits<float>::quiet_NaN()).empty());
    EXPECT_TRUE(gridAxis(std::numeric_limits<float>::quiet_NaN(), 1.0f, 0.1f).empty());
    // 1e8 + 1 is 1e8 in single: the walk stops after the first value.
    EXPECT_EQ(gridAxis(1e8f, 2e8f, 1.0f), std::vector<float>{1e8f});
    EXPECT_EQ(gridAxis(-std::numeric_limits<float>::infinity(), 0.0f, 1.0f).size(), 1U);
}

TEST(GridAxis, ProgressStaysAnIntegerForAnyRow)
{
    EXPECT_EQ(progressPosition(1e30f, 0.0f, 1e-30f), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(progressPosition(std::numeric_limits<float>::quiet_NaN(), 0.0f, 1.0f), 0);
    EXPECT_EQ(progressPosition(-0.5f, 0.0f, 1.0f), -50);
}

}  // namespace
}  // namespace tellurim
