#include "record/ResultTexts.h"

#include "support/TestText.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <string>

namespace tellurim {
namespace {

FieldResult withGridVariation(float now, float nextYear)
{
    return {.gridVariation = now, .gridVariationNextYear = nextYear};
}

TEST(ValidityText, EveryRowOfTheTable)
{
    EXPECT_EQ(validityText(0, 0), "OK");
    EXPECT_EQ(validityText(0, 1), "The coordinates are out of range for the selected model");
    EXPECT_EQ(validityText(1, 1),
              "Both the date and the coordinates are out of range for the selected model");
    EXPECT_EQ(validityText(1, 0), "The year is out of range for the selected model");
    // Any negative date flag means no model, whatever the coordinate flag says.
    for (const int32_t coordinates : {-1, 0, 1}) {
        EXPECT_EQ(validityText(-1, coordinates),
                  "There is no current model so results cannot be updated");
    }
    EXPECT_EQ(validityText(7, -3),
              "Both the date and the coordinates are out of range for the selected model");
}

TEST(GridVariationText, EightWideWithTwoDecimals)
{
    const GridVariationTexts texts = gridVariationTexts(withGridVariation(12.34f, 12.5f));
    EXPECT_EQ(texts.CPOLAR1, "   12.34");
    EXPECT_EQ(texts.CPOLAR2, "    9.60");  // (12.5 - 12.34) * 60 minutes a year
}

TEST(GridVariationText, NegativeAndWideValues)
{
    GridVariationTexts texts = gridVariationTexts(withGridVariation(-123.456f, -124.0f));
    EXPECT_EQ(texts.CPOLAR1, " -123.46");
    EXPECT_EQ(texts.CPOLAR2, "  -32.64");
    texts = gridVariationTexts(withGridVariation(-0.001f, -0.001f));
    EXPECT_EQ(texts.CPOLAR1, "   -0.00");
    EXPECT_EQ(texts.CPOLAR2, "    0.00");
    // Wider than eight characters: printed whole, never cut.
    texts = gridVariationTexts(withGridVariation(123456.78f, 0.0f));
    EXPECT_EQ(texts.CPOLAR1, "123456.78");
}

TEST(GridVariationText, NotApplicableAtAndAboveTheMarkAndForNaN)
{
    for (const float marker : {kNoGridVariation, 2e20f, std::numeric_limits<float>::infinity(),
                               std::numeric_limits<float>::quiet_NaN()}) {
        const GridVariationTexts texts = gridVariationTexts(withGridVariation(marker, 5.0f));
        EXPECT_EQ(texts.CPOLAR1, "N/A");
        EXPECT_EQ(texts.CPOLAR2, "N/A");
    }
    // Just below the mark is a value like any other.
    const float below = std::nextafter(kNoGridVariation, 0.0f);
    EXPECT_NE(gridVariationTexts(withGridVariation(below, below)).CPOLAR1, "N/A");
}

TEST(GridVariationText, ChangeMatchesPrintfOfTheDoubleDifference)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> angle(-180.0f, 180.0f);
    std::uniform_real_distribution<float> drift(-0.5f, 0.5f);
    for (int i = 0; i < 20000; ++i) {
        const float now = angle(random);
        const float next = now + drift(random);
        const GridVariationTexts texts = gridVariationTexts(withGridVariation(now, next));
        ASSERT_EQ(texts.CPOLAR1, cFormat("%8.2f", static_cast<double>(now)));
        ASSERT_EQ(texts.CPOLAR2, cFormat("%8.2f", (static_cast<double>(next) - static_cast<double>(now)) * 60.0));
    }
}

TEST(GridVariationText, ChangeAcrossPlusMinus180IsTheShortWayRound)
{
    const double east = static_cast<double>(179.9f);
    const double west = static_cast<double>(-179.9f);
    EXPECT_EQ(gridVariationTexts(withGridVariation(179.9f, -179.9f)).CPOLAR2,
              cFormat("%8.2f", (west - east + 360.0) * 60.0));  // "   12.00", not "-21588.00"
    EXPECT_EQ(gridVariationTexts(withGridVariation(-179.9f, 179.9f)).CPOLAR2,
              cFormat("%8.2f", (east - west - 360.0) * 60.0));
    EXPECT_EQ(gridVariationTexts(withGridVariation(179.9f, -179.9f)).CPOLAR2, "   12.00");
}

TEST(ResultTextsOfAResult, CombinesValidityAndGridVariation)
{
    FieldResult result = withGridVariation(1.0f, 1.0f);
    result.dateOutOfRange = 1;
    const ResultTexts texts = resultTexts(result);
    EXPECT_EQ(texts.CVALIDITY, "The year is out of range for the selected model");
    EXPECT_EQ(texts.CPOLAR1, "    1.00");
    EXPECT_EQ(texts.CPOLAR2, "    0.00");
    EXPECT_TRUE(texts.hasGridVariation);
    EXPECT_FALSE(resultTexts(withGridVariation(kNoGridVariation, 0.0f)).hasGridVariation);
}

}  // namespace
}  // namespace tellurim
