#pragma once

#include "engine/PolePosition.h"
#include "gis/FieldElement.h"
#include "gis/Lattice.h"

#include <memory>
#include <string>

namespace tellurim {

class MagneticModel;
struct PublishedAccuracy;

/// The element of a map and the horizontal intensity beside it (for the
/// compass zones), on one lattice geometry.
struct MapLattices {
    Lattice element;
    Lattice horizontal;
};

/// What the maps ask of the model: lattices (through the GIS layer's lattice
/// evaluator, rows spread over threads), the dip poles and single points.
/// Shares the immutable model, so the model stays the same until a new
/// source is made whatever the caller loads meanwhile, and nothing here shows
/// a message. Not for use from several threads at once.
class MapFieldSource {
public:
    /// The model to draw; nothing is evaluated without one (null).
    explicit MapFieldSource(std::shared_ptr<const MagneticModel> model);
    ~MapFieldSource();
    MapFieldSource(const MapFieldSource&) = delete;
    MapFieldSource& operator=(const MapFieldSource&) = delete;

    bool hasModel() const;
    /// The model name from the file's header, without the blanks around it.
    std::string modelName() const;
    /// The years the model is valid for: its epoch to its end.
    double firstYear() const;
    double lastYear() const;
    /// Whether the model gives the element: an annual change needs a model
    /// whose coefficients change with time, the uncertainty published figures.
    bool provides(FieldElement element) const;

    /// The element and H on the geometry, at the elevation (m above the
    /// ellipsoid) and date (decimal year).
    MapLattices lattices(const LatticeGeometry& geometry, FieldElement element, float elevation, float date) const;
    /// The element at one point (the hover readout).
    double valueAt(FieldElement element, double latitude, double longitude, float elevation, float date) const;
    /// The north and south dip poles at the date.
    MagneticPoles poles(float date) const;

private:
    std::shared_ptr<const MagneticModel> m_model;
    const PublishedAccuracy* m_accuracy = nullptr;
};

}  // namespace tellurim
