#include "engine/HistoryLoader.h"

#include "engine/EpochModelHistory.h"
#include "engine/ModelChain.h"
#include "engine/ModelLocator.h"
#include "engine/SplineModelFile.h"

namespace tellurim {

namespace {

ModelReadProblem openProblem(const InputError& error)
{
    return ModelReadProblem{0, describeInputError(error)};
}

}  // namespace

HistoryLayout peekHistoryLayout(BoundedInput& input)
{
    std::string first;
    std::string second;
    // Lines too long for a title are no B-spline or chain file: the
    // engine's readers give their reason for them.
    if (input.nextLine(first, kMaxSplineLineBytes) != LineRead::Line)
        return HistoryLayout::Engine;
    if (isChainHeader(first))
        return HistoryLayout::Chain;
    if (input.nextLine(second, kMaxSplineLineBytes) == LineRead::Line && looksLikeSplineModel(first, second))
        return HistoryLayout::Spline;
    return HistoryLayout::Engine;
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

LoadedHistory loadCoefficientHistory(const std::string& fileName, bool allowChain)
{
    BoundedInput input;
    if (const std::optional<InputError> refused = openModelFile(fileName, input))
        return openProblem(*refused);
    const HistoryLayout layout = peekHistoryLayout(input);
    // Read again from the top by the reader of the layout.
    if (const std::optional<InputError> refused = openModelFile(fileName, input))
        return openProblem(*refused);

    if (layout == HistoryLayout::Chain) {
        if (!allowChain)
            return ModelReadProblem{0, "a chain cannot be a part of a chain"};
        std::variant<std::shared_ptr<const ModelChain>, ModelReadProblem> chain =
            readModelChain(input, locateModelFile(fileName));
        if (auto* problem = std::get_if<ModelReadProblem>(&chain))
            return *problem;
        return std::shared_ptr<const CoefficientHistory>{std::get<std::shared_ptr<const ModelChain>>(chain)};
    }
    if (layout == HistoryLayout::Spline) {
        auto spline = readSplineModel(input, baseName(fileName));
        if (auto* problem = std::get_if<ModelReadProblem>(&spline))
            return *problem;
        return std::shared_ptr<const CoefficientHistory>{
            std::get<std::shared_ptr<const SplineCoefficients>>(spline)};
    }
    ModelFile tables;
    if (std::optional<ModelReadProblem> problem = readModelTables(input, kAllDegrees, tables))
        return *problem;
    std::string name = tables.modelName;
    name.erase(name.find_last_not_of(' ') + 1);
    name.erase(0, name.find_first_not_of(' '));
    if (name.empty())
        name = baseName(fileName);
    return std::shared_ptr<const CoefficientHistory>{
        std::make_shared<const EpochModelHistory>(std::move(tables), std::move(name))};
}

}  // namespace tellurim
