#pragma once
// DRAFT public interface: the engine helper completes this header (adding the
// MagneticModel and SynthesisCache members) without changing these signatures.

#include "engine/EngineMessageSink.h"
#include "engine/FieldResult.h"
#include "engine/PolePosition.h"

#include <cstdint>
#include <string>

namespace tellurim {

/// Outputs of one synthesis. When no model is current only the two flags are
/// written (both -1); the other members keep what the caller put there.
struct SynthesisOutput {
    float declination = 0.0f;    ///< degrees, positive east of north
    float inclination = 0.0f;    ///< degrees, positive down
    float totalIntensity = 0.0f; ///< nT
    float gridVariation = kNoGridVariation;  ///< degrees, or kNoGridVariation
    int32_t dateOutOfRange = 0;         ///< 0 in range, 1 out, -1 no model
    int32_t coordinatesOutOfRange = 0;  ///< 0 in range, 1 out, -1 no model
};

class ModelEngine {
public:
    explicit ModelEngine(EngineMessageSink& sink);

    /// Reads a .COF model file. fileName is in/out: after a failed open it
    /// holds "Last model selected was not found". A bare name that is not in
    /// the current directory is looked up in the shipped models folder.
    void readModelFile(int32_t requestedDegree, std::string& fileName);
    bool isLoaded() const;

    /// altitude km, latitude/longitude degrees (north/east positive), time decimal year.
    void synthesize(float altitude, float latitude, float longitude, float time, SynthesisOutput& out);

    /// elevation metres; latitude/longitude magnitudes signed by IHEM_NS (1 = south)
    /// and JHEM_EW (0 = west); date decimal year.
    FieldResult computePoint(float elevation, float latitude, float longitude, float date,
                             int32_t IHEM_NS, int32_t JHEM_EW);

    /// The north and south dip poles at altitude 0 for a decimal-year date.
    MagneticPoles findMagneticPoles(float date);

    /// Redirects messages (for example a silent sink for worker copies).
    void setMessageSink(EngineMessageSink& sink);
};

}  // namespace tellurim
