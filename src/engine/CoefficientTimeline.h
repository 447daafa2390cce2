#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace tellurim {

/// How a model's Gauss coefficients follow from a date: an epoch with its
/// secular variation, a series of epochs (IGRF), splines or a chain of
/// models. The synthesis asks only this; a new kind of model is one new
/// implementation.
///
/// The coefficients are handed out in the synthesis's layout: (g, h) pairs by
/// order and then degree (see orderIndex), each the Schmidt semi-normalised
/// value in nT times the model's pair factor (see pairFactors), rounded to
/// single precision.
class CoefficientTimeline {
public:
    virtual ~CoefficientTimeline() = default;

    /// The coefficients at a date into pairs, which holds
    /// 2 * orderIndex(degree + 1, degree) values.
    /// @param decimalYear the date, decimal year (any value, NaN included)
    virtual void coefficientsAt(float decimalYear, std::span<float> pairs) const = 0;

    /// Whether any coefficient changes with time.
    virtual bool changes() const = 0;
};

/// The factor of each pair value of a model of the given degree: a
/// Schmidt semi-normalised coefficient c (nT) of that place enters the
/// synthesis as static_cast<float>(static_cast<double>(c) * factor), c
/// rounded to single first. Pairs of degree 0 and h of order 0 have factor 0.
std::vector<double> pairFactors(std::size_t degree);

}  // namespace tellurim
