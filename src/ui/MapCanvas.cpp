#include "ui/MapCanvas.h"

#include "render/MapPainter.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace tellurim {

namespace {

constexpr double kZoomStep = 1.25;
constexpr double kKeyPan = 60.0;  // pixels an arrow key moves the map
constexpr double kClickSlack = 4.0;  // pixels a click may move and still be a click

}  // namespace

MapCanvas::MapCanvas(MapRenderer& renderer, QWidget* parent)
    : QWidget(parent),
      m_renderer(renderer),
      m_view(std::make_unique<MapView>(ProjectionKind::PlateCarree, std::nullopt, QSize(640, 320)))
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setMinimumSize(320, 200);
    setAccessibleName(QStringLiteral("Map"));
}

void MapCanvas::setRequest(const MapRequest& request)
{
    m_request = request;
    redraw();
}

void MapCanvas::setProjection(ProjectionKind kind)
{
    m_view = std::make_unique<MapView>(kind, std::nullopt, size());
    redraw();
}

void MapCanvas::redraw()
{
    QElapsedTimer timer;
    timer.start();
    m_layout = m_renderer.layout(*m_view, m_request);
    m_layoutMilliseconds = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    setAccessibleDescription(m_layout.description);
    update();
}

void MapCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintMap(painter, m_layout);
}

void MapCanvas::resizeEvent(QResizeEvent*)
{
    m_view->resize(size());
    redraw();
}

void MapCanvas::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0.0) {
        m_view->zoom(std::pow(kZoomStep, steps), event->position());
        redraw();
    }
    event->accept();
}

void MapCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressedAt = event->position();
        m_lastDrag = event->position();
        m_dragged = false;
    }
}

void MapCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressedAt && (event->buttons() & Qt::LeftButton)) {
        const QPointF moved = event->position() - *m_pressedAt;
        if (m_dragged || std::hypot(moved.x(), moved.y()) > kClickSlack) {
            m_dragged = true;
            const QPointF step = event->position() - m_lastDrag;
            m_lastDrag = event->position();
            m_view->pan(step.x(), step.y());
            redraw();
        }
    }
    if (onHover) {
        onHover(m_view->toLonLat(event->position()));
    }
}

void MapCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_pressedAt && !m_dragged && onClick) {
        if (const auto place = m_view->toLonLat(event->position())) {
            onClick(*place);
        }
    }
    m_pressedAt.reset();
    m_dragged = false;
}

void MapCanvas::keyPressEvent(QKeyEvent* event)
{
    const QPointF centre(m_view->mapRect().center());
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        m_view->zoom(kZoomStep, centre);
        break;
    case Qt::Key_Minus:
        m_view->zoom(1.0 / kZoomStep, centre);
        break;
    case Qt::Key_Left:
        m_view->pan(kKeyPan, 0.0);
        break;
    case Qt::Key_Right:
        m_view->pan(-kKeyPan, 0.0);
        break;
    case Qt::Key_Up:
        m_view->pan(0.0, kKeyPan);
        break;
    case Qt::Key_Down:
        m_view->pan(0.0, -kKeyPan);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    redraw();
}

}  // namespace tellurim
