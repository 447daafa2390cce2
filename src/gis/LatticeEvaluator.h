#pragma once

#include "gis/FieldElement.h"
#include "engine/FieldResult.h"
#include "gis/Lattice.h"

#include <cstddef>
#include <memory>
#include <span>
#include <vector>

namespace tellurim {

class MagneticModel;
struct PublishedAccuracy;

/// The elevation and date a layer is evaluated at.
struct FieldInstant {
    float elevation = 0.0f;  ///< metres above the WGS-84 ellipsoid
    float date = 0.0f;       ///< decimal year
};

/// The one place the GIS layers evaluate the model: the rows of a lattice
/// as rows of the shared, immutable model, spread over threads, each node
/// holding bit for bit what the point calculation gives at the node's
/// latitude and longitude (rounded to single, as the model takes them).
/// Nodes where the model does not apply (outside a regional model's area,
/// or no model) are NaN.
class LatticeEvaluator {
public:
    /// model: the model to evaluate, shared with any other user (null: every
    /// node is NaN). threads: 0 for one per core.
    LatticeEvaluator(std::shared_ptr<const MagneticModel> model, FieldInstant when, unsigned threads = 0);
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
    void evaluateRow(std::size_t thread, const LatticeGeometry& geometry, std::span<const float> longitudes,
                     std::span<const FieldElement> elements, std::size_t row, std::size_t rowCount,
                     std::size_t firstRow, std::span<float> out);

    std::shared_ptr<const MagneticModel> m_model;
    FieldInstant m_when;
    unsigned m_threads;
    const PublishedAccuracy* m_accuracy;
    std::vector<std::vector<FieldResult>> m_results;  ///< a buffer per thread
};

}  // namespace tellurim
