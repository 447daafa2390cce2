#pragma once

#include "engine/CoefficientHistory.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tellurim {

/// A model whose Gauss coefficients are cubic B-splines in time on evenly
/// spaced knots (the layout of the historical models gufm1 and CALS10k.2).
/// The coefficient at time t is the sum of c_i B_i(t) over the splines; four
/// of them are non-zero at any t.
class SplineCoefficients final : public CoefficientHistory {
public:
    /// knots: N + 4 evenly spaced, ascending decimal years. coefficients: N
    /// blocks of gaussCoefficientCount(maxDegree) values in nT, one per
    /// spline. validFrom and validTo: the span the authors vouch for, within
    /// the knots' span of definition (the 4th to the (N+1)th knot). The
    /// reader (readSplineModel) checks all of this before building one.
    SplineCoefficients(std::string name, int32_t maxDegree, std::vector<double> knots,
                       std::vector<double> coefficients, double validFrom, double validTo);

    int32_t maxDegree() const override { return m_maxDegree; }
    double validFrom() const override { return m_validFrom; }
    double validTo() const override { return m_validTo; }
    std::string name() const override { return m_name; }
    /// Outside the knots' span the coefficients are held at its nearer end;
    /// a cubic continued past its last knot would run away within decades.
    void coefficientsAt(double year, std::span<double> out) const override;

    /// The span on which the splines are defined (decimal years).
    double definedFrom() const { return m_knots[3]; }
    double definedTo() const { return m_knots[m_knots.size() - 4]; }

private:
    std::string m_name;
    int32_t m_maxDegree;
    std::vector<double> m_knots;
    std::vector<double> m_coefficients;  ///< block i at [i * count, (i + 1) * count)
    double m_validFrom;
    double m_validTo;
};

}  // namespace tellurim
