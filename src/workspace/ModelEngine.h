#pragma once

#include "workspace/EngineMessageSink.h"
#include "engine/FieldResult.h"
#include "engine/FieldRow.h"
#include "engine/MagneticModel.h"
#include "engine/PolePosition.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace tellurim {

/// fileName after a model file could not be opened.
inline constexpr std::string_view kModelNotFoundText = "Last model selected was not found";

/// Shown once after a model load when the first calculation falls outside
/// the model's life span. ';' marks a line break.
inline constexpr std::string_view kLifeSpanWarning =
    "WARNING: TIME BEYOND MODEL LIFE SPAN;"
    ";"
    "Each new release of the World Magnetic Model;"
    "comes with new coefficient (.COF) files.;"
    "Load the file that covers your date with New Model.";

/// The window's model: the current MagneticModel, if any, with the window's
/// classic behaviour on top: load failures shown as boxes, the life-span
/// warning once after a load, flags of -1 without a model. The calculation
/// itself is the model's.
class ModelEngine {
public:
    /// The sink must outlive the engine.
    explicit ModelEngine(EngineMessageSink& sink);

    /// Loads a model file (see loadModel) and makes it current. fileName is
    /// in/out: after a failed open it holds kModelNotFoundText, otherwise it
    /// keeps the text given. Failures show "ERROR OPENING FILE:;name" or
    /// "ERROR READING FILE:;name" and leave no model current.
    void readModelFile(int32_t requestedDegree, std::string& fileName);
    bool isLoaded() const { return m_model != nullptr; }
    /// After a read failure of the last readModelFile, where and why; an
    /// empty reason after a success or an open failure.
    const ModelReadProblem& lastReadProblem() const { return m_readProblem; }
    /// The current model; null when none is.
    const std::shared_ptr<const MagneticModel>& model() const { return m_model; }
    /// The current model's header name; empty when none is.
    std::string modelName() const { return m_model ? m_model->name() : std::string{}; }

    /// The field at one point and time (see FieldRow::fieldAt). Without a
    /// model only the two flags are written (both -1).
    /// @param altitude km above the WGS-84 ellipsoid
    /// @param latitude degrees, north positive; longitude degrees, east positive
    /// @param time     decimal year
    void synthesize(float altitude, float latitude, float longitude, float time, FieldAtTime& out);

    /// All field elements at a place and date, and their change over the
    /// following year; flags of -1 without a model.
    /// @param elevation metres above the ellipsoid
    /// @param latitude  degrees, north positive
    /// @param longitude degrees, east positive
    /// @param date      decimal year
    FieldResult computePoint(float elevation, float latitude, float longitude, float date);

    /// computePoint at each longitude of one latitude row.
    void computeRow(float elevation, float latitude, std::span<const float> longitudes, float date,
                    std::span<FieldResult> results);

    /// The dip poles for a date; all zero without a model.
    MagneticPoles findMagneticPoles(float date);

    /// Redirects messages. The sink must outlive the engine.
    void setMessageSink(EngineMessageSink& sink) { m_sink = &sink; }

private:
    /// The life-span warning, once, at the first calculation after a load.
    void noteCalculation(float date);

    EngineMessageSink* m_sink;
    std::shared_ptr<const MagneticModel> m_model;
    ModelReadProblem m_readProblem;
    bool m_firstSinceLoad = false;
};

}  // namespace tellurim
