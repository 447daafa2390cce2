#include "engine/SplineCoefficients.h"

#include <algorithm>

namespace tellurim {

SplineCoefficients::SplineCoefficients(std::string name, int32_t maxDegree, std::vector<double> knots,
                                       std::vector<double> coefficients, double validFrom, double validTo)
    : m_name(std::move(name)), m_maxDegree(maxDegree), m_knots(std::move(knots)),
      m_coefficients(std::move(coefficients)), m_validFrom(validFrom), m_validTo(validTo)
{
}

void SplineCoefficients::coefficientsAt(double year, std::span<double> out) const
{
    const std::size_t count = gaussCoefficientCount(m_maxDegree);
    const std::size_t splines = m_knots.size() - 4;
    const double t = std::clamp(year, definedFrom(), definedTo());
    // The interval [knot i, knot i+1) holding t, i from 3 to N - 1; the end
    // of the span belongs to the last interval.
    const auto after = std::upper_bound(m_knots.begin() + 3, m_knots.begin() + static_cast<std::ptrdiff_t>(splines) + 1, t);
    const std::size_t i = std::min(static_cast<std::size_t>(after - m_knots.begin()) - 1, splines - 1);

    // de Boor's recursion for the four cubic B-splines B(i-3) .. B(i) that
    // are non-zero on the interval.
    double basis[4] = {1.0, 0.0, 0.0, 0.0};
    for (std::size_t order = 1; order <= 3; ++order) {
        double carried = 0.0;
        for (std::size_t r = 0; r < order; ++r) {
            const double right = m_knots[i + r + 1];
            const double left = m_knots[i + r + 1 - order];
            const double share = basis[r] / (right - left);
            basis[r] = carried + (right - t) * share;
            carried = (t - left) * share;
        }
        basis[order] = carried;
    }

    std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(count), 0.0);
    for (std::size_t b = 0; b < 4; ++b) {
        const double* block = m_coefficients.data() + (i - 3 + b) * count;
        for (std::size_t k = 0; k < count; ++k)
            out[k] += basis[b] * block[k];
    }
}

}  // namespace tellurim
