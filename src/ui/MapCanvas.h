#pragma once

#include "render/MapLayout.h"
#include "render/MapRenderer.h"
#include "render/MapView.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace tellurim {

/// The picture of the Map window: paints the renderer's layout at the
/// widget's size, zooms with the wheel or +/-, pans by dragging or with the
/// arrow keys (the field evaluated again for each new view), tells where the
/// pointer is and where a click landed.
class MapCanvas final : public QWidget {
    Q_OBJECT
public:
    MapCanvas(MapRenderer& renderer, QWidget* parent = nullptr);

    /// What to draw; redraws at once.
    void setRequest(const MapRequest& request);
    const MapRequest& request() const { return m_request; }
    void setProjection(ProjectionKind kind);
    MapView& view() { return *m_view; }
    const MapLayout& layout() const { return m_layout; }
    /// Lays the map out again (after the model changed, say).
    void redraw();

    /// The pointer moved over a place (nothing: off the map).
    std::function<void(std::optional<LonLat>)> onHover;
    /// A click (without dragging) on a place.
    std::function<void(LonLat)> onClick;

    /// Milliseconds the last layout took.
    double lastLayoutMilliseconds() const { return m_layoutMilliseconds; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    MapRenderer& m_renderer;
    MapRequest m_request;
    std::unique_ptr<MapView> m_view;
    MapLayout m_layout;
    std::optional<QPointF> m_pressedAt;
    QPointF m_lastDrag;
    bool m_dragged = false;
    double m_layoutMilliseconds = 0.0;
};

}  // namespace tellurim
