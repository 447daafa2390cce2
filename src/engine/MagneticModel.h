#pragma once

#include "engine/CoefficientTimeline.h"
#include "engine/FieldResult.h"
#include "engine/ModelFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

namespace tellurim {

class FieldRow;

/// A latitude/longitude box of a regional model, degrees. A zero pair of
/// bounds means no limit in that direction.
struct RegionBounds {
    float latMin = 0.0f;
    float latMax = 0.0f;
    float lonMin = 0.0f;  ///< may exceed lonMax: the box then crosses 180 degrees
    float lonMax = 0.0f;
};

/// One spherical-harmonic main-field model, immutable once loaded: any
/// number of threads may evaluate it at once, each through rows of its own.
/// It shows nothing and changes nothing; results carry their flags as data.
class MagneticModel {
public:
    /// What a model says about itself.
    struct Description {
        std::string name;      ///< the header's name, blank-padded to 20 characters
        std::string fileName;  ///< where it was loaded from
        float epoch = 0.0f;    ///< decimal year
        float lifeSpan = 5.0f; ///< years after the epoch during which it is valid
        int32_t degree = 0;    ///< highest degree summed (1 to kMaxAnyModelDegree)
        RegionBounds bounds;   ///< all zero for a global model
    };

    /// A model of any kind: its description and how its coefficients follow
    /// from a date (of description.degree, see CoefficientTimeline).
    MagneticModel(Description description, std::unique_ptr<const CoefficientTimeline> timeline);

    /// Builds the model from a file's converted content (see
    /// convertToUnnormalised); fileName is kept for the record.
    MagneticModel(ModelFile&& content, std::string fileName);

    /// The name in the file's header, blank-padded to 20 characters.
    const std::string& name() const { return m_name; }
    /// The file name the model was loaded from, as given to loadModel.
    const std::string& fileName() const { return m_fileName; }
    /// Decimal year of the (first) epoch.
    float epoch() const { return m_epoch; }
    /// Years after the epoch during which the model is valid.
    float lifeSpan() const { return m_lifeSpan; }
    /// The valid span, decimal years: epoch() to epoch() + lifeSpan().
    float validFrom() const { return m_epoch; }
    float validUntil() const { return m_epoch + m_lifeSpan; }
    /// Whether a date lies within the life span (the flag dateOutOfRange
    /// of results is its negation).
    /// @param decimalYear date, decimal year
    bool coversDate(float decimalYear) const
    {
        // Dates near the epoch subtract exactly in single precision.
        const float dt = decimalYear - m_epoch;
        return !(dt < 0.0f || dt > m_lifeSpan);
    }
    /// Highest degree summed.
    int32_t degree() const { return m_degree; }
    /// Whether the coefficients change with time (annual changes not all 0).
    bool hasAnnualChange() const { return m_timeline->changes(); }
    /// A regional model's box; all zero for a global model.
    const RegionBounds& bounds() const { return m_bounds; }

    /// The shared terms of one circle of latitude at one date, evaluated at
    /// any longitude by its const members. The row refers to this model,
    /// which must outlive it.
    /// @param decimalYear date, decimal year
    /// @param latitudeDeg geodetic latitude, degrees, north positive
    /// @param elevationM  metres above the WGS-84 ellipsoid
    FieldRow row(float decimalYear, float latitudeDeg, float elevationM) const;

    /// The field at one place: a row of one.
    /// @param longitudeDeg degrees, east positive
    FieldResult point(float decimalYear, float latitudeDeg, float longitudeDeg, float elevationM) const;

    // For the synthesis: the time dependence and the recursion tables (see ModelFile).
    const CoefficientTimeline& timeline() const { return *m_timeline; }
    const CoefficientTable& legendreFactor() const { return m_tables.legendreFactor; }
    const CoefficientTable& recursionScale() const { return m_tables.recursionScale; }
    const DegreeTable& degreeFactor() const { return m_tables.degreeFactor; }
    const DegreeTable& orderFactor() const { return m_tables.orderFactor; }

private:
    std::string m_name;
    std::string m_fileName;
    float m_epoch = 0.0f;
    float m_lifeSpan = 5.0f;
    int32_t m_degree = 0;
    RegionBounds m_bounds;
    std::unique_ptr<const CoefficientTimeline> m_timeline;
    RecursionTables m_tables;
};

/// A loaded model, or why none was loaded.
using ModelLoad = std::variant<std::shared_ptr<const MagneticModel>, ModelReadProblem>;

/// Reads a model file. A bare name that does not open in the current
/// directory is looked up in the shipped models folders. The layout is told
/// from the content: the fixed-column .COF, the free-column .COF of the
/// high-resolution models or IGRF's .shc.
/// @param fileName        the file, as the user gave it
/// @param requestedDegree caps the degree summed (kAllDegrees for all): a
///                        fixed-column file is capped at 12 (below 0 raised
///                        to 0), the others at the file's degree (below 1
///                        raised to 1)
ModelLoad loadModel(const std::string& fileName, int32_t requestedDegree = kAllDegrees);

/// The file's content, read and converted, before it becomes a model: for
/// inspection of what a file holds.
std::variant<ModelFile, ModelReadProblem> readModelContent(const std::string& fileName, int32_t requestedDegree);

}  // namespace tellurim
