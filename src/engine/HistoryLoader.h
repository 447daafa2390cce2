#pragma once

#include "engine/CoefficientHistory.h"
#include "engine/ModelFormats.h"
#include "io/BoundedInput.h"

#include <memory>
#include <string>
#include <variant>

namespace tellurim {

/// The kinds of model file, told from their first lines.
enum class HistoryLayout {
    Chain,   ///< a chain of models (first line "tellurim-chain")
    Spline,  ///< a B-spline model
    Engine,  ///< anything else: one of the engine's readers takes it
};

/// Reads the first lines of a freshly opened file to tell its kind; the
/// caller opens it again to read it.
HistoryLayout peekHistoryLayout(BoundedInput& input);

/// A model of any layout as a coefficient history, or why it cannot be read.
using LoadedHistory = std::variant<std::shared_ptr<const CoefficientHistory>, ModelReadProblem>;

/// Loads a model file of any layout, told from its content: a model chain,
/// a B-spline model, or one of the engine's layouts (.COF, .shc). A bare
/// name not in the current folder is looked up among the shipped models.
/// allowChain false refuses a chain (a chain's parts are plain models).
/// A file that cannot be opened gives line 0 and the system's reason.
LoadedHistory loadCoefficientHistory(const std::string& fileName, bool allowChain = true);

/// The file name without its folders ("gufm1" for "models/gufm1").
std::string baseName(const std::string& path);

}  // namespace tellurim
