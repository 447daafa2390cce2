#pragma once

#include "engine/CoefficientHistory.h"
#include "engine/ModelFile.h"

namespace tellurim {

/// A model given at one epoch with its secular variation (.COF) or at
/// several epochs, linear in between (.shc), as a coefficient history.
/// Before the first epoch the first interval's straight line runs back;
/// after the last the last interval's runs on, as the engine does.
class EpochModelHistory final : public CoefficientHistory {
public:
    /// tables: as a model file reader leaves them, Schmidt semi-normalised
    /// and not yet converted for the synthesis.
    EpochModelHistory(ModelFile tables, std::string name);

    int32_t maxDegree() const override { return m_tables.maxDegree; }
    double validFrom() const override { return m_tables.epoch; }
    double validTo() const override
    {
        return static_cast<double>(m_tables.epoch) + static_cast<double>(m_tables.lifeSpan);
    }
    std::string name() const override { return m_name; }
    void coefficientsAt(double year, std::span<double> out) const override;

private:
    ModelFile m_tables;
    std::string m_name;
};

}  // namespace tellurim
