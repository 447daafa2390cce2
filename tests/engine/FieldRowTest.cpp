// The model as a value: one loaded model evaluated from several threads at
// once, each through rows of its own, and a model of a new kind built from
// its time dependence alone.

#include "EngineTestSupport.h"
#include "engine/FieldRow.h"
#include "engine/LinearEpochs.h"
#include "engine/PoleFinder.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace tellurim::test {
namespace {

std::shared_ptr<const MagneticModel> shipped(const std::string& name)
{
    ModelLoad loaded = loadModel(shippedModel(name));
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const MagneticModel>>(loaded)) << name;
    return std::get<std::shared_ptr<const MagneticModel>>(loaded);
}

// Every thread evaluates the same rows; each must see the bits of a lone thread.
std::vector<FieldResult> evaluateRows(const MagneticModel& model, const std::vector<float>& longitudes)
{
    std::vector<FieldResult> all;
    for (float latitude = -90.0f; latitude <= 90.0f; latitude += 7.5f) {
        const FieldRow row = model.row(2027.25f, latitude, 1500.0f);
        std::vector<FieldResult> results(longitudes.size());
        row.evaluate(longitudes, results);
        all.insert(all.end(), results.begin(), results.end());
    }
    return all;
}

TEST(FieldRow, OneModelSharedByThreadsGivesEachTheBitsOfOneThread)
{
    for (const char* name : {"WMM2025.COF", "IGRF14.shc"}) {
        const std::shared_ptr<const MagneticModel> model = shipped(name);
        std::vector<float> longitudes;
        for (float lon = -180.0f; lon <= 180.0f; lon += 2.5f)
            longitudes.push_back(lon);
        const std::vector<FieldResult> alone = evaluateRows(*model, longitudes);

        constexpr int kThreads = 4;
        std::vector<std::vector<FieldResult>> seen(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&, t] { seen[static_cast<std::size_t>(t)] = evaluateRows(*model, longitudes); });
        for (std::thread& thread : threads)
            thread.join();
        for (const std::vector<FieldResult>& results : seen) {
            ASSERT_EQ(results.size(), alone.size());
            for (std::size_t i = 0; i < alone.size(); ++i)
                ASSERT_TRUE(sameBytes(results[i], alone[i])) << name << " point " << i;
        }
    }
}

TEST(FieldRow, APointIsARowOfOneAndTheModelDescribesItself)
{
    const std::shared_ptr<const MagneticModel> model = shipped("WMM2025.COF");
    const FieldRow row = model->row(2026.5f, 40.015f, 1655.0f);
    const FieldResult point = model->point(2026.5f, 40.015f, -105.27f, 1655.0f);
    EXPECT_TRUE(sameBytes(point, row.at(-105.27f)));
    EXPECT_EQ(point.DEC, row.fieldAt(-105.27f).declination);
    EXPECT_EQ(model->name(), "WMM-2025            ");
    EXPECT_EQ(model->degree(), 12);
    EXPECT_EQ(model->validFrom(), 2025.0f);
    EXPECT_EQ(model->validUntil(), 2030.0f);
    EXPECT_TRUE(model->hasAnnualChange());
    EXPECT_TRUE(model->coversDate(2030.0f));
    EXPECT_FALSE(model->coversDate(2030.001f));
    EXPECT_EQ(model->point(2031.0f, 0.0f, 0.0f, 0.0f).dateOutOfRange, 1);
}

// A timeline of its own kind: Schmidt semi-normalised g and h in nT, the
// same at every date, packed with the model's pair factors.
class FixedSchmidtCoefficients final : public CoefficientTimeline {
public:
    FixedSchmidtCoefficients(std::size_t degree, std::vector<float> schmidtPairs)
        : m_pairs(std::move(schmidtPairs))
    {
        const std::vector<double> factors = pairFactors(degree);
        for (std::size_t i = 0; i < m_pairs.size(); ++i)
            m_pairs[i] = static_cast<float>(static_cast<double>(m_pairs[i]) * factors[i]);
    }
    void coefficientsAt(float, std::span<float> pairs) const override
    {
        std::copy(m_pairs.begin(), m_pairs.end(), pairs.begin());
    }
    bool changes() const override { return false; }

private:
    std::vector<float> m_pairs;
};

TEST(FieldRow, AModelOfANewKindIsOneClassAndGivesTheBitsOfTheSameFile)
{
    // g(1,0) = -30000, g(1,1) = -2000, h(1,1) = 5000, g(2,1) = 3000, h(2,1) = -3000.
    ScratchModel file;
    ASSERT_TRUE(file.load(modelText(headerRecord("2000.0", "FIXED"),
                                    {coefficientRecord(1, 0, -30000.0, 0.0), coefficientRecord(1, 1, -2000.0, 5000.0),
                                     coefficientRecord(2, 1, 3000.0, -3000.0)})));
    std::vector<float> schmidt(2 * orderIndex(13, 12), 0.0f);
    schmidt[2 * (orderIndex(0, 12) + 1)] = -30000.0f;                // (n, m) = (1, 0)
    schmidt[2 * orderIndex(1, 12)] = -2000.0f;                       // (1, 1)
    schmidt[2 * orderIndex(1, 12) + 1] = 5000.0f;
    schmidt[2 * (orderIndex(1, 12) + 1)] = 3000.0f;                  // (2, 1)
    schmidt[2 * (orderIndex(1, 12) + 1) + 1] = -3000.0f;
    const MagneticModel fixed{MagneticModel::Description{"FIXED", "in memory", 2000.0f, 5.0f, 12, {}},
                              std::make_unique<FixedSchmidtCoefficients>(12, schmidt)};
    EXPECT_FALSE(fixed.hasAnnualChange());
    for (const float latitude : {-90.0f, -33.0f, 0.0f, 61.5f, 90.0f})
        for (const float longitude : {-170.0f, 0.0f, 42.0f})
            EXPECT_TRUE(sameBytes(fixed.point(2001.0f, latitude, longitude, 0.0f),
                                  file.engine.model()->point(2001.0f, latitude, longitude, 0.0f)))
                << latitude << " " << longitude;
    const MagneticPoles a = findMagneticPoles(fixed, 2001.0f);
    const MagneticPoles b = findMagneticPoles(*file.engine.model(), 2001.0f);
    EXPECT_EQ(a.north.decimalLatitude, b.north.decimalLatitude);
    EXPECT_EQ(a.south.decimalLongitude, b.south.decimalLongitude);
}

}  // namespace
}  // namespace tellurim::test
