// The engine against the published WMM2025 and WMMHR-2025 test values and
// the IGRF-14 reference values. The tables come from double-precision
// evaluations; the engine stores its tables and results in single precision,
// which costs a few hundredths of a nT at most. X, Y, Z, H, F are held to
// 0.1 nT (the model's own resolution); I and D, published rounded to 0.01
// degree, are held to 0.01 degree.

#include "EngineTestSupport.h"
#include "support/PublishedValues.h"

namespace tellurim::test {
namespace {

constexpr double kFieldTolerance = 0.1;   // nT
constexpr double kAngleTolerance = 0.01;  // degrees

void expectEveryValue(const std::string& model, const std::string& table, std::size_t rows)
{
    const std::vector<PublishedValue> values = readPublishedValues(table);
    ASSERT_EQ(values.size(), rows);
    ShippedEngine shipped{model};
    for (const PublishedValue& v : values) {
        SCOPED_TRACE(testing::Message() << model << " " << v.date << " " << v.latitude << " " << v.longitude);
        // Signed coordinates: north and east selectors leave them unchanged.
        const FieldResult r = shipped.engine.computePoint(v.heightKm * 1000.0f, v.latitude, v.longitude,
                                                          v.date);
        EXPECT_EQ(r.dateOutOfRange, 0);
        EXPECT_EQ(r.coordinatesOutOfRange, 0);
        EXPECT_NEAR(r.BX, v.x, kFieldTolerance);
        EXPECT_NEAR(r.BY, v.y, kFieldTolerance);
        EXPECT_NEAR(r.BZ, v.z, kFieldTolerance);
        EXPECT_NEAR(r.BH, v.h, kFieldTolerance);
        EXPECT_NEAR(r.TI, v.f, kFieldTolerance);
        EXPECT_NEAR(r.DIP, v.inclination, kAngleTolerance);
        EXPECT_NEAR(r.DEC, v.declination, kAngleTolerance);
    }
    EXPECT_TRUE(shipped.sink.entries.empty());
}

TEST(Accuracy, ComputePointMatchesEveryPublishedWmm2025Value)
{
    expectEveryValue("WMM2025.COF", "wmm2025_test_values.csv", 20);
}

TEST(Accuracy, ComputePointMatchesEveryPublishedWmmhr2025Value)
{
    expectEveryValue("WMMHR2025.COF", "wmmhr2025_test_values.csv", 40);
}

TEST(Accuracy, ComputePointMatchesEveryIgrf14ReferenceValue)
{
    expectEveryValue("IGRF14.shc", "igrf14_test_values.csv", 60);
}

}  // namespace
}  // namespace tellurim::test
