#pragma once

#include "render/Coastlines.h"
#include "render/MapFieldSource.h"
#include "render/MapLayout.h"
#include "render/MapView.h"

#include <optional>
#include <string>

namespace tellurim {

/// What to draw on a view.
struct MapRequest {
    FieldElement element = FieldElement::D;
    float date = 2025.0f;      ///< decimal year
    float elevation = 0.0f;    ///< metres above the ellipsoid
    bool isolines = true;
    bool zones = false;        ///< hatch the compass caution and blackout zones
    std::optional<LonLat> location;      ///< the current location's marker
    std::optional<ColourScale> scale;    ///< a fixed scale (an animation keeps one); nothing: from the values
    /// Screen pixels between neighbouring lattice points: the field is
    /// evaluated on a lattice this much coarser than the picture and resampled.
    double pixelsPerSample = 2.0;
};

/// Lays maps out: evaluates the field on a lattice fitted to the view,
/// resamples it into the view's pixels, traces the isolines, places the
/// coastlines, graticule, markers, colour bar and texts. What depends only
/// on the view (coastlines, graticule) is kept until the view changes.
class MapRenderer {
public:
    /// Draws this model (shared and immutable: later loads elsewhere change
    /// nothing here until setModel).
    explicit MapRenderer(std::shared_ptr<const MagneticModel> model);
    void setModel(std::shared_ptr<const MagneticModel> model);
    const MapFieldSource& source() const { return *m_source; }

    MapLayout layout(const MapView& view, const MapRequest& request);

    /// The scale of the last layout.
    const ColourScale& lastScale() const { return m_scale; }

private:
    void placeViewItems(const MapView& view, MapLayout& layout);
    MapLattices evaluate(const MapView& view, const MapRequest& request) const;

    std::unique_ptr<MapFieldSource> m_source;
    const MapView* m_cachedView = nullptr;
    unsigned m_cachedRevision = 0;
    std::vector<QPolygonF> m_coastlines;
    std::vector<QPolygonF> m_graticule;
    std::vector<MapLabel> m_graticuleLabels;
    MapLattices m_lattice;
    ColourScale m_scale;
};

/// The title of a map: element, model, date and elevation.
QString mapTitle(FieldElement element, const std::string& model, float date, float elevation);

}  // namespace tellurim
