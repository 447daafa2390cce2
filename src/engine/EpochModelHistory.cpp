#include "engine/EpochModelHistory.h"

#include <algorithm>

namespace tellurim {

EpochModelHistory::EpochModelHistory(ModelFile tables, std::string name)
    : m_tables(std::move(tables)), m_name(std::move(name))
{
}

void EpochModelHistory::coefficientsAt(double year, std::span<double> out) const
{
    double epoch = m_tables.epoch;
    const CoefficientTable* gh = &m_tables.gh;
    const CoefficientTable* rate = &m_tables.ghRate;
    for (const EpochCoefficients& later : m_tables.laterEpochs) {
        if (year < static_cast<double>(later.epoch))
            break;
        epoch = later.epoch;
        gh = &later.gh;
        rate = &later.ghRate;
    }
    const double dt = year - epoch;
    const auto maxDegree = static_cast<std::size_t>(m_tables.maxDegree);
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        for (std::size_t m = 0; m <= n; ++m) {
            out[gIndex(n, m)] = static_cast<double>((*gh)[m][n]) + dt * static_cast<double>((*rate)[m][n]);
            if (m >= 1)
                out[hIndex(n, m)] =
                    static_cast<double>((*gh)[n][m - 1]) + dt * static_cast<double>((*rate)[n][m - 1]);
        }
    }
}

}  // namespace tellurim
