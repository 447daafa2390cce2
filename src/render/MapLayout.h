#pragma once

#include "render/ColourScale.h"

#include <QImage>
#include <QPolygonF>
#include <QRect>
#include <QString>

#include <vector>

namespace tellurim {

/// A text placed on the picture: its anchor point and which way it reads
/// from there.
struct MapLabel {
    QPointF at;
    QString text;
    int alignment = 0;  ///< Qt::Alignment flags relative to at
};

/// One isoline level as drawn: its pieces in picture pixels and the labels
/// along them. The agonic line (declination 0) has a colour of its own;
/// negative levels are dashed.
struct LayoutIsoline {
    double level = 0.0;
    bool agonic = false;
    std::vector<QPolygonF> pieces;
    std::vector<MapLabel> labels;
};

enum class MarkerKind { NorthDipPole, SouthDipPole, Location };

struct MapMarker {
    MarkerKind kind = MarkerKind::Location;
    QPointF at;
    QString label;
};

/// The colour bar: the bar's rectangle, ticks at isoline levels (x and
/// text) and the unit written after it.
struct ColourBarLayout {
    QRectF bar;
    ColourScale scale;
    std::vector<MapLabel> ticks;
    MapLabel unit;
};

/// Everything a map shows, placed on the picture, before any painting:
/// the window and the command line paint the same layout on their devices.
struct MapLayout {
    QSize page;
    QRect mapRect;
    QImage field;  ///< the colour-filled field, mapRect's size (transparent off the Earth)
    QImage zones;  ///< the caution (hatched) and blackout (cross-hatched) zones, or null
    std::vector<QPolygonF> coastlines;
    std::vector<QPolygonF> graticule;
    std::vector<MapLabel> graticuleLabels;
    std::vector<LayoutIsoline> isolines;
    std::vector<MapMarker> markers;
    ColourBarLayout colourBar;
    MapLabel title;
    MapLabel credit;
    /// What the hatching means, when zones are drawn: the caution key, then
    /// the blackout key; each text follows a swatch of its hatching.
    std::vector<MapLabel> zoneKeys;
    QString description;       ///< the picture in words, for screen readers
    double fontPixels = 10.0;  ///< the size of the labels' font
};

/// "Coastlines: Natural Earth", the credit every map carries.
inline constexpr const char* kCoastlineCredit = "Coastlines: Natural Earth";

}  // namespace tellurim
