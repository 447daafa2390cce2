#include "record/FieldAccuracy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tellurim {
namespace {

TEST(FieldAccuracy, DeclinationUncertaintyGrowsAsTheHorizontalFieldFalls)
{
    const PublishedAccuracy& wmm2025 = *publishedAccuracy("WMM-2025");
    // The published figures: 3.6 degrees at H = 1504 nT, 0.30 at 35000 nT.
    EXPECT_NEAR(*declinationUncertainty(wmm2025, 1504.0), 3.6, 0.05);
    EXPECT_NEAR(*declinationUncertainty(wmm2025, 35000.0), 0.30, 0.005);
    // Far from the poles only the floor is left.
    EXPECT_NEAR(*declinationUncertainty(wmm2025, 1.0e9), 0.26, 1e-6);
    const PublishedAccuracy& wmm2020 = *publishedAccuracy("WMM-2020");
    EXPECT_NEAR(*declinationUncertainty(wmm2020, 5625.0), std::sqrt(0.26 * 0.26 + 1.0), 1e-12);
    EXPECT_FALSE(declinationUncertainty(wmm2025, 0.0));
    EXPECT_FALSE(declinationUncertainty(wmm2025, std::numeric_limits<double>::quiet_NaN()));
    // The high-resolution model publishes no declination formula of this form.
    EXPECT_FALSE(declinationUncertainty(*publishedAccuracy("WMMHR-2025"), 20000.0));
}

TEST(FieldAccuracy, ModelsAreKnownByTheirHeaderNameOnly)
{
    // As the fixed-column reader keeps it: 20 characters, blank-padded.
    ASSERT_NE(publishedAccuracy("WMM-2025            "), nullptr);
    EXPECT_EQ(publishedAccuracy("      WMMHR-2025    ")->F, 134.0f);
    EXPECT_EQ(publishedAccuracy("WMM-2020")->Z, 157.0f);
    for (const char* other : {"WMM-2015v2", "WMM-2015", "IGRF-14", "WMM2025.COF", "wmm-2025", "", "WMM-2025x"})
        EXPECT_EQ(publishedAccuracy(other), nullptr) << other;
    FieldResult result;
    result.BH = 20000.0f;
    EXPECT_FALSE(fieldUncertainty("WMM-2015v2", result));
    EXPECT_EQ(uncertaintyText(fieldUncertainty("WMM-2015v2", result)), "no published figure for this model");
}

TEST(FieldAccuracy, UncertaintyLineNamesEveryElement)
{
    FieldResult result;
    result.BH = 35000.0f;
    EXPECT_EQ(uncertaintyText(fieldUncertainty("WMM-2025", result)),
              "F 138 nT, I 0.20 deg, D 0.30 deg, X 137 nT, Y 89 nT, Z 141 nT, H 133 nT");
    EXPECT_EQ(uncertaintyText(fieldUncertainty("WMMHR-2025", result)),
              "F 134 nT, I 0.19 deg, D no published figure, X 135 nT, Y 85 nT, Z 134 nT, H 130 nT");
    result.BH = 0.0f;
    EXPECT_EQ(declinationUncertaintyText(*fieldUncertainty("WMM-2020", result)), "unbounded (H is zero)");
}

TEST(FieldAccuracy, DeclinationAboveHalfACircleIsUnbounded)
{
    FieldResult result;
    result.BH = 30.1f;  // 5417/30.1 = 180.0 deg: still a bound
    const FieldUncertainty bounded = *fieldUncertainty("WMM-2025", result);
    ASSERT_TRUE(bounded.D);
    EXPECT_LE(*bounded.D, 180.0);
    EXPECT_FALSE(bounded.declinationUnbounded());
    result.BH = 0.00841f;  // near the dip pole: the formula gives some 644,000 deg
    const FieldUncertainty pole = *fieldUncertainty("WMM-2025", result);
    EXPECT_FALSE(pole.D);
    EXPECT_TRUE(pole.declinationUnbounded());
    EXPECT_EQ(declinationUncertaintyText(pole), "unbounded (H is too small)");
    result.BH = std::numeric_limits<float>::quiet_NaN();
    const FieldUncertainty unknown = *fieldUncertainty("WMM-2025", result);
    EXPECT_FALSE(unknown.declinationUnbounded());
    EXPECT_EQ(declinationUncertaintyText(unknown), "could not be computed");
    EXPECT_FALSE(fieldUncertainty("WMMHR-2025", result)->declinationUnbounded()) << "not published is not unbounded";
}

TEST(FieldAccuracy, CompassZonesByHorizontalIntensity)
{
    EXPECT_EQ(compassZone(0.0f), CompassZone::Blackout);
    EXPECT_EQ(compassZone(1999.99f), CompassZone::Blackout);
    EXPECT_EQ(compassZone(2000.0f), CompassZone::Caution);
    EXPECT_EQ(compassZone(5999.99f), CompassZone::Caution);
    EXPECT_EQ(compassZone(6000.0f), CompassZone::None);
    // A value that is not a number is in no zone, never in a reassuring one.
    EXPECT_EQ(compassZone(std::numeric_limits<float>::quiet_NaN()), CompassZone::Unknown);
    EXPECT_EQ(compassZoneName(CompassZone::Unknown), "not-computed");
    EXPECT_EQ(compassZoneText(CompassZone::Unknown), "no compass zone: H could not be computed");
    EXPECT_EQ(compassZone(-std::numeric_limits<float>::infinity()), CompassZone::Blackout);
    EXPECT_EQ(compassZoneText(CompassZone::Blackout), "BLACKOUT ZONE: compass unreliable (H below 2000 nT)");
    EXPECT_EQ(compassZoneName(CompassZone::Caution), "caution");
}

}  // namespace
}  // namespace tellurim
