#pragma once

#include "engine/PolePosition.h"
#include "render/FieldLattice.h"
#include "render/MapElement.h"

#include <memory>
#include <string>
#include <vector>

namespace tellurim {

class ModelEngine;
struct PublishedAccuracy;

/// The one place the maps evaluate the field: a lattice by rows (each row
/// one row evaluation of the model, rows shared out among threads), the dip
/// poles and single points. Holds its own copy of the engine, so the caller's
/// engine and its messages are left alone and the model stays the same
/// until refreshed.
class MapFieldSource {
public:
    /// The engine's current model; nothing is evaluated without one.
    explicit MapFieldSource(const ModelEngine& engine);
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
    bool provides(MapElement element) const;

    /// The lattice south..north by latStep and west..east by lonStep (the
    /// last row and column at or just past the end), at the elevation (m
    /// above the ellipsoid) and date (decimal year). threads 0: one per core.
    FieldLattice lattice(MapElement element, double south, double north, double latStep, double west, double east,
                         double lonStep, float elevation, float date, unsigned threads = 0) const;
    /// The element at one point (the hover readout).
    double valueAt(MapElement element, double latitude, double longitude, float elevation, float date) const;
    /// The north and south dip poles at the date.
    MagneticPoles poles(float date) const;

private:
    std::unique_ptr<ModelEngine> m_engine;
    const PublishedAccuracy* m_accuracy = nullptr;
};

}  // namespace tellurim
