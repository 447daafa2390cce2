#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tellurim {

/// How many Gauss coefficients a model of degree maxDegree has: L(L+2).
constexpr std::size_t gaussCoefficientCount(int32_t maxDegree)
{
    const auto degree = static_cast<std::size_t>(maxDegree < 0 ? 0 : maxDegree);
    return degree * (degree + 2);
}

/// Where g(n,m) and h(n,m) sit in the list g(1,0), g(1,1), h(1,1), g(2,0),
/// g(2,1), h(2,1), g(2,2), h(2,2), ... (n >= 1, 0 <= m <= n; h only for m >= 1).
constexpr std::size_t gIndex(std::size_t n, std::size_t m)
{
    return m == 0 ? n * n - 1 : n * n + 2 * m - 2;
}
constexpr std::size_t hIndex(std::size_t n, std::size_t m)
{
    return n * n + 2 * m - 1;
}

/// The Gauss coefficients of a main-field model as a function of time: values
/// at an epoch with a secular variation, values at several epochs, cubic
/// B-splines, or a chain of such models. Immutable once built; every member
/// is const and may be called from any number of threads.
class CoefficientHistory {
public:
    virtual ~CoefficientHistory() = default;

    /// Highest degree of the coefficients.
    virtual int32_t maxDegree() const = 0;
    /// The span of dates the model is valid for (decimal years, both ends
    /// included). Outside it the coefficients are still given (held or
    /// continued as each kind of model does), and callers flag the date.
    virtual double validFrom() const = 0;
    virtual double validTo() const = 0;
    /// A short name that says what the model is ("gufm1", "gufm1 + IGRF-14").
    virtual std::string name() const = 0;

    /// The Schmidt semi-normalised g(n,m) and h(n,m) in nT at a decimal year,
    /// gaussCoefficientCount(maxDegree()) values in the order of gIndex and
    /// hIndex. out holds at least that many values.
    virtual void coefficientsAt(double year, std::span<double> out) const = 0;
};

}  // namespace tellurim
