#pragma once

#include "render/Coastlines.h"
#include "render/MapLayout.h"

#include <span>
#include <vector>

namespace tellurim {

class MapView;

/// A line of places as pieces of picture polyline: broken where the
/// projection has no image and where it jumps across the map's seam.
std::vector<QPolygonF> projectPath(const MapView& view, std::span<const LonLat> path);

/// The land outlines on the view, pieces that miss the map frame left out.
std::vector<QPolygonF> placeCoastlines(const MapView& view, const Coastlines& coastlines);

/// Parallels and meridians at a round interval fitted to the view, and
/// their labels at the frame's edge.
void placeGraticule(const MapView& view, double fontPixels, std::vector<QPolygonF>& lines,
                    std::vector<MapLabel>& labels);

/// A level as its label reads: "-10", "2.5", "48000".
QString levelText(double level);

}  // namespace tellurim
