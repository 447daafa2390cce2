#pragma once

#include "io/BoundedInput.h"
#include "engine/EngineMessageSink.h"
#include "engine/FieldResult.h"
#include "engine/MagneticModel.h"
#include "engine/ModelFormats.h"
#include "engine/PolePosition.h"
#include "engine/SynthesisCache.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tellurim {

/// fileName after a model file could not be opened.
inline constexpr std::string_view kModelNotFoundText = "Last model selected was not found";

/// Shown once after a model load when the first synthesis falls outside the
/// model's life span. ';' marks a line break.
inline constexpr std::string_view kLifeSpanWarning =
    "WARNING: TIME BEYOND MODEL LIFE SPAN;"
    ";"
    "Each new release of the World Magnetic Model;"
    "comes with new coefficient (.COF) files.;"
    "Load the file that covers your date with New Model.";

/// Outputs of one synthesis. When no model is current only the two flags are
/// written (both -1); the other members keep what the caller put there.
struct SynthesisOutput {
    float declination = 0.0f;    ///< degrees, positive east of north
    float inclination = 0.0f;    ///< degrees, positive down
    float totalIntensity = 0.0f; ///< nT
    float gridVariation = kNoGridVariation;  ///< degrees, or kNoGridVariation
    int32_t dateOutOfRange = 0;         ///< 0 in range, 1 out, -1 no model
    int32_t coordinatesOutOfRange = 0;  ///< 0 in range, 1 out, -1 no model
    /// The horizontal components as summed, before any rounding to single:
    /// near a dip pole H is far smaller than F, and |cos I|·F with I held as
    /// a single moves in steps of about 0.008 nT there.
    double northComponent = 0.0;  ///< X, nT
    double eastComponent = 0.0;   ///< Y, nT
    double verticalComponent = 0.0;    ///< Z, nT
    double horizontalIntensity = 0.0;  ///< H, nT
    double fieldIntensity = 0.0;       ///< F, nT, before the rounding to single
    /// The angles as atan2 gave them, radians, before the rounding to single.
    double declinationRadians = 0.0;
    double inclinationRadians = 0.0;
};

/// The numeric core: one current model and the synthesis cache. It never
/// throws; loading reports through the message sink, evaluation through flags.
///
/// The engine is stateful and not re-entrant. Copies are independent (each
/// has its own cache; the loaded model is immutable and shared, as is the
/// sink pointer), so each worker thread can evaluate on its own copy.
class ModelEngine {
public:
    /// The sink must outlive the engine and every copy of it.
    explicit ModelEngine(EngineMessageSink& sink);

    /// Reads a .COF model file and makes it current. fileName is in/out:
    /// after a failed open it holds kModelNotFoundText, otherwise it keeps
    /// the text given (a bare name stays bare). A bare name that is not in
    /// the current directory is looked up in the shipped models folders.
    /// The reader is chosen by the file's content: the fixed-column .COF,
    /// the free-column .COF of the high-resolution models or the .shc layout
    /// of IGRF. requestedDegree caps the degree summed (kAllDegrees for
    /// all): a fixed-column file is capped at 12 (below 0 raised to 0), the
    /// other layouts at the file's degree (below 1 raised to 1). Failures show
    /// "ERROR OPENING FILE:;name" or "ERROR READING FILE:;name" and leave no
    /// model current.
    void readModelFile(int32_t requestedDegree, std::string& fileName);
    bool isLoaded() const;
    /// After a read failure of the last readModelFile, where and why; an
    /// empty reason after a success or an open failure.
    const ModelReadProblem& lastReadProblem() const { return m_readProblem; }

    /// Evaluates the current model at one point and time.
    /// @param altitude  km above the WGS-84 ellipsoid (any value accepted)
    /// @param latitude  geodetic latitude, degrees, north positive
    /// @param longitude degrees, east positive
    /// @param time      decimal year
    /// @param out       declination and inclination in degrees, total intensity
    ///                  in nT, grid variation in degrees (or kNoGridVariation
    ///                  below latitude 55), and the two validity flags
    void synthesize(float altitude, float latitude, float longitude, float time, SynthesisOutput& out);

    /// All field elements at a place and date, and their change over the
    /// following year.
    /// @param elevation metres above the ellipsoid
    /// @param latitude  degrees; negated when IHEM_NS is exactly 1 (south)
    /// @param longitude degrees; negated when JHEM_EW is exactly 0 (west)
    /// @param date      decimal year
    FieldResult computePoint(float elevation, float latitude, float longitude, float date,
                             int32_t IHEM_NS, int32_t JHEM_EW);

    /// computePoint at each longitude of one latitude row, both coordinates
    /// signed (north and east positive): results[i] holds bit for bit what
    /// computePoint(elevation, latitude, longitudes[i], date, 0, 1) gives,
    /// at a fraction of the cost. The two spans have the same length.
    void computeRow(float elevation, float latitude, std::span<const float> longitudes, float date,
                    std::span<FieldResult> results);

    /// The north and south dip poles (smallest horizontal intensity at
    /// altitude 0) for a decimal-year date. Without a current model both
    /// positions are all zero; callers check isLoaded() first.
    MagneticPoles findMagneticPoles(float date);

    /// Redirects messages (for example a silent sink for worker copies).
    /// The sink must outlive the engine.
    void setMessageSink(EngineMessageSink& sink);

    /// The current (or last attempted) model tables, for inspection.
    const MagneticModel& model() const { return *m_model; }
    /// The synthesis cache as the last synthesis left it, for inspection.
    const SynthesisCache& cache() const { return m_cache; }

private:
    void installModel(MagneticModel&& model);
    /// One synthesis at Lanes longitudes of a row at once: the stages of
    /// synthesize, each lane through the same operations. newLongitudes
    /// false reuses the multiple-angle terms of the previous call.
    template <std::size_t Lanes>
    void synthesizeLanes(float altitude, float latitude, const float* longitudes, float time,
                         bool newLongitudes, SynthesisOutput* out);
    double horizontalIntensityAt(float latitude, float longitude, float date);

    EngineMessageSink* m_sink;
    /// Shared with the engine's copies and never changed while shared: a
    /// load replaces it, or overwrites it in place when no copy holds it.
    std::shared_ptr<MagneticModel> m_model;
    SynthesisCache m_cache;
    ModelReadProblem m_readProblem;
};

}  // namespace tellurim
