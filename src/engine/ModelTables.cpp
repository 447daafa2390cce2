#include "engine/ModelFormats.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

void ModelFile::resize(std::size_t tableSize)
{
    gh = CoefficientTable{tableSize};
    ghRate = CoefficientTable{tableSize};
    legendreFactor = CoefficientTable{tableSize};
    recursionScale = CoefficientTable{tableSize};
    degreeFactor.assign(tableSize, 0.0f);
    orderFactor.assign(tableSize, 0.0f);
    laterEpochs.clear();
}

namespace {

/// Up to this degree the Schmidt factors and the Legendre functions fit
/// single precision as they are; the tables are then exactly as unscaled.
constexpr std::size_t kUnscaledDegree = 12;

/// The Schmidt factors S(n,m), kept in double: only the scaled
/// coefficients are stored in single precision.
struct SchmidtFactors {
    explicit SchmidtFactors(std::size_t tableSize) : size(tableSize), values(tableSize * tableSize, 0.0) {}
    double& at(std::size_t n, std::size_t m) { return values[n * size + m]; }
    std::size_t size;
    std::vector<double> values;
};

SchmidtFactors schmidtFactors(std::size_t maxDegree)
{
    SchmidtFactors schmidt{maxDegree + 1};
    schmidt.at(0, 0) = 1.0;
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        const auto sn = static_cast<double>(n);
        schmidt.at(n, 0) = schmidt.at(n - 1, 0) * (2.0 * sn - 1.0) / sn;
        for (std::size_t m = 1; m <= n; ++m) {
            const double j = (m == 1) ? 2.0 : 1.0;
            schmidt.at(n, m) = schmidt.at(n, m - 1)
                * std::sqrt(static_cast<double>(n - m + 1) * j / static_cast<double>(n + m));
        }
    }
    return schmidt;
}

/// The power-of-two exponent E(n,m) that brings S(n,m) near 1 (see
/// ModelFile); 0 up to degree 12.
int scaleExponent(SchmidtFactors& schmidt, std::size_t n, std::size_t m)
{
    return n <= kUnscaledDegree ? 0 : std::ilogb(schmidt.at(n, m));
}

void scaleTables(CoefficientTable& gh, CoefficientTable& ghRate, SchmidtFactors& schmidt,
                 std::size_t maxDegree)
{
    const auto scale = [](float& value, double factor) {
        value = static_cast<float>(static_cast<double>(value) * factor);
    };
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        for (std::size_t m = 0; m <= n; ++m) {
            const double factor = std::ldexp(schmidt.at(n, m), -scaleExponent(schmidt, n, m));
            if (m >= 1) {
                scale(gh[n][m - 1], factor);
                scale(ghRate[n][m - 1], factor);
            }
            scale(gh[m][n], factor);
            scale(ghRate[m][n], factor);
        }
    }
}

int32_t highestChangingDegree(const ModelFile& model)
{
    for (int32_t n = model.maxDegree; n >= 1; --n) {
        const auto un = static_cast<std::size_t>(n);
        for (std::size_t m = 0; m <= un; ++m)
            if (model.ghRate[m][un] != 0.0f || (m >= 1 && model.ghRate[un][m - 1] != 0.0f))
                return n;
    }
    return 0;
}

std::vector<float> packPairs(const CoefficientTable& table, std::size_t maxDegree)
{
    std::vector<float> pairs(2 * orderIndex(maxDegree + 1, maxDegree), 0.0f);
    for (std::size_t m = 0; m <= maxDegree; ++m) {
        float* at = pairs.data() + 2 * orderIndex(m, maxDegree);
        for (std::size_t n = m; n <= maxDegree; ++n) {
            at[2 * (n - m)] = table[m][n];
            at[2 * (n - m) + 1] = m == 0 ? 0.0f : table[n][m - 1];
        }
    }
    return pairs;
}

}  // namespace

std::vector<double> pairFactors(std::size_t degree)
{
    SchmidtFactors schmidt = schmidtFactors(degree);
    std::vector<double> factors(2 * orderIndex(degree + 1, degree), 0.0);
    for (std::size_t m = 0; m <= degree; ++m) {
        double* at = factors.data() + 2 * orderIndex(m, degree);
        for (std::size_t n = std::max<std::size_t>(m, 1); n <= degree; ++n) {
            const double factor = std::ldexp(schmidt.at(n, m), -scaleExponent(schmidt, n, m));
            at[2 * (n - m)] = factor;
            at[2 * (n - m) + 1] = m == 0 ? 0.0 : factor;
        }
    }
    return factors;
}

RecursionTables recursionTables(std::size_t degree, std::size_t tableSize)
{
    SchmidtFactors schmidt = schmidtFactors(degree);
    RecursionTables tables{CoefficientTable{tableSize}, CoefficientTable{tableSize}, DegreeTable(tableSize, 0.0f),
                           DegreeTable(tableSize, 0.0f)};
    for (std::size_t n = 1; n <= degree; ++n) {
        const auto sn = static_cast<int64_t>(n);
        for (std::size_t m = 0; m <= n; ++m) {
            const auto sm = static_cast<int64_t>(m);
            const int64_t numerator = (sn - 1) * (sn - 1) - sm * sm;
            const int64_t denominator = (2 * sn - 1) * (2 * sn - 3);
            const int exponent = scaleExponent(schmidt, n, m);
            // P(n-2,m) exists only for m <= n-2; elsewhere it counts as 0.
            const int twoBelow = m + 2 <= n ? scaleExponent(schmidt, n - 2, m) : exponent;
            tables.legendreFactor[n][m] = static_cast<float>(std::ldexp(
                static_cast<double>(numerator) / static_cast<double>(denominator), exponent - twoBelow));
            const int oneBelow = scaleExponent(schmidt, n - 1, m == n ? m - 1 : m);
            tables.recursionScale[n][m] = std::ldexp(1.0f, exponent - oneBelow);
        }
        tables.degreeFactor[n] = static_cast<float>(n + 1);
        tables.orderFactor[n] = static_cast<float>(n);
    }
    // The formula gives 1 at (1,1); the recursion there must not subtract.
    if (degree >= 1)
        tables.legendreFactor[1][1] = 0.0f;
    return tables;
}

void convertToUnnormalised(ModelFile& model)
{
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    SchmidtFactors schmidt = schmidtFactors(maxDegree);
    scaleTables(model.gh, model.ghRate, schmidt, maxDegree);
    for (EpochCoefficients& later : model.laterEpochs)
        scaleTables(later.gh, later.ghRate, schmidt, maxDegree);

    RecursionTables tables = recursionTables(maxDegree, model.tableSize());
    model.legendreFactor = std::move(tables.legendreFactor);
    model.recursionScale = std::move(tables.recursionScale);
    model.degreeFactor = std::move(tables.degreeFactor);
    model.orderFactor = std::move(tables.orderFactor);
    model.rateDegree = model.laterEpochs.empty() ? highestChangingDegree(model) : model.maxDegree;
    model.ghPairs = packPairs(model.gh, maxDegree);
    model.ratePairs = packPairs(model.ghRate, maxDegree);
    for (EpochCoefficients& later : model.laterEpochs) {
        later.ghPairs = packPairs(later.gh, maxDegree);
        later.ratePairs = packPairs(later.ghRate, maxDegree);
    }
}

}  // namespace tellurim
