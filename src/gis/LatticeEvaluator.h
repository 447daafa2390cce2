#pragma once

#include "gis/FieldElement.h"
#include "gis/Lattice.h"

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace tellurim {

class ModelEngine;
struct PublishedAccuracy;

/// The elevation and date a layer is evaluated at.
struct FieldInstant {
    float elevation = 0.0f;  ///< metres above the WGS-84 ellipsoid
    float date = 0.0f;       ///< decimal year
};

/// The one place the GIS layers evaluate the model: the rows of a lattice
/// through the engine's row evaluation, spread over threads, each node
/// holding bit for bit what the point calculation gives at the node's
/// latitude and longitude (rounded to single, as the engine takes them).
/// Nodes where the model does not apply (outside a regional model's area,
/// or no model) are NaN.
class LatticeEvaluator {
public:
    /// engine: the loaded model; it is used on the calling thread (so a
    /// one-time warning reaches its sink once) and copied silently for the
    /// other threads. threads: 0 for one per core.
    LatticeEvaluator(ModelEngine& engine, FieldInstant when, unsigned threads = 0);
    ~LatticeEvaluator();
    LatticeEvaluator(const LatticeEvaluator&) = delete;
    LatticeEvaluator& operator=(const LatticeEvaluator&) = delete;

    /// The values of elements at rows firstRow .. firstRow + rowCount - 1:
    /// element e, row r (counted from firstRow), column c at
    /// out[(e * rowCount + r) * width + c]. out holds at least that much.
    void evaluateRows(const LatticeGeometry& geometry, std::span<const FieldElement> elements,
                      std::size_t firstRow, std::size_t rowCount, std::span<float> out);

    /// One lattice per element over the whole geometry.
    std::vector<Lattice> evaluate(const LatticeGeometry& geometry, std::span<const FieldElement> elements);
    Lattice evaluate(const LatticeGeometry& geometry, FieldElement element);

    unsigned threads() const { return m_threads; }

private:
    struct Worker;
    void evaluateRow(Worker& worker, const LatticeGeometry& geometry, std::span<const float> longitudes,
                     std::span<const FieldElement> elements, std::size_t row, std::size_t rowCount,
                     std::size_t firstRow, std::span<float> out);

    ModelEngine& m_engine;
    FieldInstant m_when;
    unsigned m_threads;
    const PublishedAccuracy* m_accuracy;
    std::vector<std::unique_ptr<Worker>> m_workers;  ///< one per thread; the first uses m_engine
};

}  // namespace tellurim
