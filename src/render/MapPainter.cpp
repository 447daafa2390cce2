#include "render/MapPainter.h"

#include "render/MapLayout.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tellurim {

namespace {

const QColor kIsolineColour(30, 30, 30);
const QColor kAgonicColour(0, 158, 115);      // bluish green: apart from both ends of the palette
const QColor kCoastColour(20, 20, 20);
const QColor kGraticuleColour(90, 90, 90, 130);
const QColor kPoleColour(255, 255, 255);
const QColor kLocationColour(230, 159, 0);   // orange, seen on either side of the palette

QRectF textBox(const QFontMetricsF& metrics, const MapLabel& label)
{
    const QSizeF size(metrics.horizontalAdvance(label.text), metrics.height());
    const auto flags = static_cast<Qt::Alignment>(label.alignment);
    double x = label.at.x();
    double y = label.at.y();
    if (flags & Qt::AlignRight) {
        x -= size.width();
    } else if (flags & Qt::AlignHCenter) {
        x -= size.width() / 2.0;
    }
    if (flags & Qt::AlignBottom) {
        y -= size.height();
    } else if (flags & Qt::AlignVCenter) {
        y -= size.height() / 2.0;
    }
    return {QPointF(x, y), size};
}

// Text with a light halo, readable on any colour of the field.
void drawLabel(QPainter& painter, const MapLabel& label, bool halo)
{
    if (label.text.isEmpty()) {
        return;
    }
    const QRectF box = textBox(QFontMetricsF(painter.font()), label);
    if (halo) {
        painter.fillRect(box.adjusted(-1.0, 0.0, 1.0, 0.0), QColor(255, 255, 255, 190));
    }
    painter.drawText(box, Qt::AlignCenter, label.text);
}

void drawPolylines(QPainter& painter, const std::vector<QPolygonF>& lines)
{
    for (const QPolygonF& line : lines) {
        painter.drawPolyline(line);
    }
}

void drawIsolines(QPainter& painter, const MapLayout& layout)
{
    const double width = std::max(0.6, layout.fontPixels / 12.0);
    for (const LayoutIsoline& isoline : layout.isolines) {
        QPen pen(isoline.agonic ? kAgonicColour : kIsolineColour, isoline.agonic ? width * 3.0 : width);
        pen.setStyle(isoline.level < 0.0 ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        drawPolylines(painter, isoline.pieces);
    }
    painter.setPen(kIsolineColour);
    for (const LayoutIsoline& isoline : layout.isolines) {
        for (const MapLabel& label : isoline.labels) {
            drawLabel(painter, label, true);
        }
    }
}

void drawMarkers(QPainter& painter, const MapLayout& layout)
{
    const double r = layout.fontPixels * 0.45;
    for (const MapMarker& marker : layout.markers) {
        painter.setPen(QPen(Qt::black, 1.5));
        if (marker.kind == MarkerKind::Location) {
            painter.setBrush(kLocationColour);
            painter.drawEllipse(marker.at, r, r);
            painter.drawLine(marker.at - QPointF(r * 1.8, 0), marker.at + QPointF(r * 1.8, 0));
            painter.drawLine(marker.at - QPointF(0, r * 1.8), marker.at + QPointF(0, r * 1.8));
        } else {
            painter.setBrush(kPoleColour);
            QPolygonF star;  // a diamond, told apart from the round location marker by shape
            star << marker.at + QPointF(0, -r * 1.4) << marker.at + QPointF(r * 1.4, 0)
                 << marker.at + QPointF(0, r * 1.4) << marker.at + QPointF(-r * 1.4, 0);
            painter.drawPolygon(star);
        }
        painter.setBrush(Qt::NoBrush);
        drawLabel(painter, MapLabel{marker.at + QPointF(r * 2.0, -r), marker.label,
                                    static_cast<int>(Qt::AlignLeft | Qt::AlignBottom)},
                  true);
    }
}

void drawColourBar(QPainter& painter, const MapLayout& layout)
{
    const ColourBarLayout& bar = layout.colourBar;
    if (bar.bar.isEmpty()) {
        return;
    }
    QLinearGradient gradient(bar.bar.topLeft(), bar.bar.topRight());
    const auto& palette = bar.scale.palette();
    for (std::size_t i = 0; i < palette.size(); i += 15) {
        gradient.setColorAt(static_cast<double>(i) / 255.0, QColor::fromRgba(palette[i]));
    }
    gradient.setColorAt(1.0, QColor::fromRgba(palette.back()));
    painter.fillRect(bar.bar, gradient);
    painter.setPen(QPen(Qt::black, 0.8));
    painter.drawRect(bar.bar);
    for (const MapLabel& tick : bar.ticks) {
        painter.drawLine(QPointF(tick.at.x(), bar.bar.top()), QPointF(tick.at.x(), bar.bar.bottom()));
        drawLabel(painter, tick, false);
    }
    drawLabel(painter, bar.unit, false);
}

}  // namespace

void paintMap(QPainter& painter, const MapLayout& layout)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRect(QPoint(0, 0), layout.page), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(static_cast<int>(layout.fontPixels));
    painter.setFont(font);

    if (!layout.field.isNull()) {
        painter.drawImage(layout.mapRect.topLeft(), layout.field);
    }
    if (!layout.zones.isNull()) {
        painter.drawImage(layout.mapRect.topLeft(), layout.zones);
    }
    painter.save();
    painter.setClipRect(layout.mapRect);
    painter.setPen(QPen(kGraticuleColour, 0.7));
    drawPolylines(painter, layout.graticule);
    painter.setPen(QPen(kCoastColour, std::max(0.6, layout.fontPixels / 14.0)));
    drawPolylines(painter, layout.coastlines);
    drawIsolines(painter, layout);
    painter.setPen(QColor(40, 40, 40));
    for (const MapLabel& label : layout.graticuleLabels) {
        drawLabel(painter, label, true);
    }
    drawMarkers(painter, layout);
    painter.restore();

    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(layout.mapRect));
    drawColourBar(painter, layout);
    painter.setPen(Qt::black);
    drawLabel(painter, layout.credit, false);
    for (std::size_t i = 0; i < layout.zoneKeys.size(); ++i) {
        const MapLabel& key = layout.zoneKeys[i];
        const double side = layout.fontPixels;
        const QRectF swatch(key.at.x() - side * 1.5, key.at.y() - side / 2.0, side, side);
        painter.fillRect(swatch, QBrush(Qt::black, i == 0 ? Qt::BDiagPattern : Qt::DiagCrossPattern));
        painter.drawRect(swatch);
        drawLabel(painter, key, false);
    }
    QFont titleFont = font;
    titleFont.setPixelSize(static_cast<int>(layout.fontPixels * 1.3));
    titleFont.setBold(true);
    painter.setFont(titleFont);
    drawLabel(painter, layout.title, false);
    painter.restore();
}

}  // namespace tellurim
