#include "engine/HistoryModel.h"

#include "engine/HistoryLoader.h"
#include "engine/ModelLocator.h"

#include <algorithm>
#include <vector>

namespace tellurim {

std::optional<ModelReadProblem> readAnyModel(BoundedInput& input, const std::string& fileName,
                                             int32_t requestedDegree, ModelFile& model)
{
    const HistoryLayout layout = peekHistoryLayout(input);
    input.close();
    if (layout == HistoryLayout::Engine) {
        if (const std::optional<InputError> refused = openModelFile(fileName, input))
            return ModelReadProblem{0, describeInputError(*refused)};
        return readModelTables(input, requestedDegree, model);
    }
    LoadedHistory loaded = loadCoefficientHistory(fileName);
    if (const auto* problem = std::get_if<ModelReadProblem>(&loaded))
        return *problem;
    historyModelTables(std::get<0>(std::move(loaded)), requestedDegree, model);
    return std::nullopt;
}

void historyModelTables(std::shared_ptr<const CoefficientHistory> history, int32_t requestedDegree,
                        ModelFile& model)
{
    model.maxDegree = std::clamp(requestedDegree, 1, history->maxDegree());
    model.resize(static_cast<std::size_t>(model.maxDegree) + 1);
    // The model's name in the 20 characters the window and files give it
    // (longer names are kept whole).
    std::string name = history->name();
    if (name.size() < 20)
        name.append(20 - name.size(), ' ');
    model.modelName = name;
    model.epoch = static_cast<float>(history->validFrom());
    model.lifeSpan = static_cast<float>(history->validTo() - history->validFrom());
    std::vector<double> first(gaussCoefficientCount(history->maxDegree()));
    history->coefficientsAt(history->validFrom(), first);
    const auto maxDegree = static_cast<std::size_t>(model.maxDegree);
    for (std::size_t n = 1; n <= maxDegree; ++n) {
        for (std::size_t m = 0; m <= n; ++m) {
            model.gh[m][n] = static_cast<float>(first[gIndex(n, m)]);
            if (m >= 1)
                model.gh[n][m - 1] = static_cast<float>(first[hIndex(n, m)]);
        }
    }
    model.history = std::move(history);
}

HistoryTimeline::HistoryTimeline(const ModelFile& content)
    : m_history(content.history), m_pairFactors(pairFactors(static_cast<std::size_t>(content.maxDegree))),
      m_degree(static_cast<std::size_t>(content.maxDegree))
{
}

void HistoryTimeline::coefficientsAt(float decimalYear, std::span<float> pairs) const
{
    // Each thread evaluating a model keeps its own buffer.
    thread_local std::vector<double> values;
    values.resize(gaussCoefficientCount(m_history->maxDegree()));
    m_history->coefficientsAt(static_cast<double>(decimalYear), values);
    const double* factors = m_pairFactors.data();
    pairs[0] = 0.0f;  // degree 0 has no term
    pairs[1] = 0.0f;
    for (std::size_t m = 0; m <= m_degree; ++m) {
        const std::size_t first = 2 * orderIndex(m, m_degree);
        for (std::size_t n = std::max<std::size_t>(m, 1); n <= m_degree; ++n) {
            const std::size_t at = first + 2 * (n - m);
            pairs[at] = static_cast<float>(values[gIndex(n, m)] * factors[at]);
            pairs[at + 1] =
                m == 0 ? 0.0f : static_cast<float>(values[hIndex(n, m)] * factors[at + 1]);
        }
    }
}

}  // namespace tellurim
