#pragma once

#include "engine/CoefficientHistory.h"
#include "engine/MagneticModel.h"
#include "engine/ModelFormats.h"
#include "io/BoundedInput.h"

#include <memory>
#include <optional>
#include <string>

namespace tellurim {

/// Reads a model file of any layout into model, Schmidt semi-normalised and
/// not yet converted: the engine's own layouts directly, a B-spline model or
/// a chain as a model whose coefficients come from its history at each
/// time. input: freshly opened on fileName (it is opened again as needed).
std::optional<ModelReadProblem> readAnyModel(BoundedInput& input, const std::string& fileName,
                                             int32_t requestedDegree, MagneticModel& model);

/// The tables of a model whose coefficients come from a history: degree
/// capped at requestedDegree (at least 1), valid over the history's span,
/// the coefficients of its first valid date in gh and no rate.
void historyModelTables(std::shared_ptr<const CoefficientHistory> history, int32_t requestedDegree,
                        MagneticModel& model);

/// The coefficients of such a model at a time, as the synthesis holds them:
/// (g, h) pairs like MagneticModel::ghPairs, unnormalised and scaled.
void historyPairsAt(const MagneticModel& model, double time, float* pairs);

}  // namespace tellurim
