#include "gis/LatticeEvaluator.h"

#include "engine/ModelEngine.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <thread>

namespace tellurim {

namespace {

// The copies on other threads stay quiet: anything the engine says once
// is said by the caller's engine on the calling thread.
class QuietSink final : public EngineMessageSink {
public:
    void showPlainMessage(const std::string&) override {}
    void showInformationMessage(const std::string&) override {}
};

}  // namespace

struct LatticeEvaluator::Worker {
    QuietSink quiet;
    std::optional<ModelEngine> copy;
    ModelEngine* engine = nullptr;
    std::vector<FieldResult> results;
};

LatticeEvaluator::LatticeEvaluator(ModelEngine& engine, FieldInstant when, unsigned threads)
    : m_engine(engine),
      m_when(when),
      m_threads(threads != 0 ? threads : std::max(1U, std::thread::hardware_concurrency())),
      m_accuracy(publishedAccuracy(engine.modelName()))
{
    for (unsigned t = 0; t < m_threads; ++t) {
        auto worker = std::make_unique<Worker>();
        worker->engine = &m_engine;
        if (t > 0) {
            worker->copy.emplace(m_engine);
            worker->copy->setMessageSink(worker->quiet);
            worker->engine = &*worker->copy;
        }
        m_workers.push_back(std::move(worker));
    }
}

LatticeEvaluator::~LatticeEvaluator() = default;

void LatticeEvaluator::evaluateRow(Worker& worker, const LatticeGeometry& geometry,
                                   std::span<const float> longitudes, std::span<const FieldElement> elements,
                                   std::size_t row, std::size_t rowCount, std::size_t firstRow,
                                   std::span<float> out)
{
    const std::size_t width = geometry.width;
    worker.results.resize(width);
    const auto latitude = static_cast<float>(geometry.latitude(firstRow + row));
    worker.engine->computeRow(m_when.elevation, latitude, longitudes, m_when.date, worker.results);
    constexpr float kNone = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t e = 0; e < elements.size(); ++e) {
        float* values = out.data() + (e * rowCount + row) * width;
        for (std::size_t c = 0; c < width; ++c) {
            const FieldResult& result = worker.results[c];
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
    // Rows dealt out in turn: every row costs the same.
    const auto work = [&](std::size_t t) {
        for (std::size_t row = t; row < rowCount; row += m_workers.size()) {
            evaluateRow(*m_workers[t], geometry, longitudes, elements, row, rowCount, firstRow, out);
        }
    };
    // The calling thread takes the first row first, on the caller's engine.
    std::vector<std::jthread> others;
    const std::size_t used = std::min<std::size_t>(m_workers.size(), rowCount);
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
