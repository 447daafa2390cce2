#pragma once

#include "engine/CoefficientHistory.h"
#include "engine/ModelFormats.h"
#include "io/BoundedInput.h"

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tellurim {

/// Models joined in time: each part gives the coefficients over its span,
/// and a blend between two parts runs linearly from the one before to the
/// one after, (1 - w) before + w after with w going from 0 to 1 across the
/// blend. A degree a part lacks counts as 0.
class ModelChain final : public CoefficientHistory {
public:
    struct Segment {
        /// The part's model; empty for a blend between its neighbours.
        std::shared_ptr<const CoefficientHistory> model;
        double from = 0.0;  ///< decimal year
        double to = 0.0;    ///< decimal year
    };

    /// segments: contiguous, in time order, starting and ending with a
    /// model, each blend between two models (readModelChain checks this).
    ModelChain(std::vector<Segment> segments, std::string name);

    int32_t maxDegree() const override { return m_maxDegree; }
    double validFrom() const override { return m_segments.front().from; }
    double validTo() const override { return m_segments.back().to; }
    std::string name() const override { return m_name; }
    /// Before the chain's span its first model answers, after it its last.
    void coefficientsAt(double year, std::span<double> out) const override;

    const std::vector<Segment>& segments() const { return m_segments; }

private:
    std::vector<Segment> m_segments;
    std::string m_name;
    int32_t m_maxDegree = 0;
};

/// True for the first line of a chain file.
bool isChainHeader(std::string_view firstLine);

/// Reads a chain file: the line "tellurim-chain", then lines
///   model FROM TO FILE     a model file over FROM to TO (decimal years)
///   blend FROM TO          the linear blend of its two neighbours
///   name TEXT              the chain's name (else its models' names joined
///                          by " + ")
/// and blank or '#' comment lines. FILE is the rest of the line, relative to
/// the chain's folder. Refused with the line and the reason: a part that
/// cannot be read, a chain as a part (the chain itself included), spans
/// that overlap, leave a gap or run backwards, a model part outside its
/// model's valid span, a chain that starts or ends with a blend or has two
/// blends in a row. chainPath: the chain file's own path.
std::variant<std::shared_ptr<const ModelChain>, ModelReadProblem> readModelChain(BoundedInput& input,
                                                                                const std::string& chainPath);

}  // namespace tellurim
