#include "gis/LatticeEvaluator.h"

#include "engine/FieldRow.h"
#include "engine/MagneticModel.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <thread>

namespace tellurim {

LatticeEvaluator::LatticeEvaluator(std::shared_ptr<const MagneticModel> model, FieldInstant when,
                                   unsigned threads)
    : m_model(std::move(model)),
      m_when(when),
      m_threads(threads != 0 ? threads : std::max(1U, std::thread::hardware_concurrency())),
      m_accuracy(publishedAccuracy(m_model ? m_model->name() : std::string{})),
      m_results(m_threads)
{
}

LatticeEvaluator::~LatticeEvaluator() = default;

void LatticeEvaluator::evaluateRow(std::size_t thread, const LatticeGeometry& geometry,
                                   std::span<const float> longitudes, std::span<const FieldElement> elements,
                                   std::size_t row, std::size_t rowCount, std::size_t firstRow, std::span<float> out)
{
    const std::size_t width = geometry.width;
    std::vector<FieldResult>& results = m_results[thread];
    results.resize(width);
    const auto latitude = static_cast<float>(geometry.latitude(firstRow + row));
    if (!m_model) {
        std::fill(results.begin(), results.end(), FieldResult{});
        for (FieldResult& result : results) {
            result.dateOutOfRange = -1;
        }
    } else {
        m_model->row(m_when.date, latitude, m_when.elevation).evaluate(longitudes, results);
    }
    constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t e = 0; e < elements.size(); ++e) {
        float* values = out.data() + (e * rowCount + row) * width;
        for (std::size_t c = 0; c < width; ++c) {
            const FieldResult& result = results[c];
            const bool applies = result.coordinatesOutOfRange == 0 && result.dateOutOfRange >= 0;
            values[c] = applies ? elementValue(elements[e], result, m_accuracy) : kNone;
        }
    }
}

void LatticeEvaluator::evaluateRows(const LatticeGeometry& geometry, std::span<const FieldElement> elements,
                                    std::size_t firstRow, std::size_t rowCount, std::span<float> out)
{
    if (rowCount == 0 || geometry.width == 0 || out.size() < elements.size() * rowCount * geometry.width) {
        return;
    }
    std::vector<float> longitudes(geometry.width);
    for (std::size_t c = 0; c < geometry.width; ++c) {
        longitudes[c] = static_cast<float>(geometry.longitude(c));
    }
    // Rows dealt out in turn: every row costs the same. The model is shared
    // and evaluated by const calls, so the threads need nothing of their own
    // but a results buffer.
    const auto work = [&](std::size_t t) {
        for (std::size_t row = t; row < rowCount; row += m_threads) {
            evaluateRow(t, geometry, longitudes, elements, row, rowCount, firstRow, out);
        }
    };
    std::vector<std::jthread> others;
    const std::size_t used = std::min<std::size_t>(m_threads, rowCount);
    for (std::size_t t = 1; t < used; ++t) {
        others.emplace_back(work, t);
    }
    work(0);
}

std::vector<Lattice> LatticeEvaluator::evaluate(const LatticeGeometry& geometry,
                                                std::span<const FieldElement> elements)
{
    const std::size_t nodes = geometry.width * geometry.height;
    std::vector<float> all(nodes * elements.size());
    evaluateRows(geometry, elements, 0, geometry.height, all);
    std::vector<Lattice> lattices;
    for (std::size_t e = 0; e < elements.size(); ++e) {
        const auto begin = all.begin() + static_cast<std::ptrdiff_t>(e * nodes);
        lattices.push_back(Lattice{geometry, std::vector<float>(begin, begin + static_cast<std::ptrdiff_t>(nodes))});
    }
    return lattices;
}

Lattice LatticeEvaluator::evaluate(const LatticeGeometry& geometry, FieldElement element)
{
    return std::move(evaluate(geometry, std::span<const FieldElement>(&element, 1)).front());
}

}  // namespace tellurim
