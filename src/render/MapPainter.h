#pragma once

class QPainter;

namespace tellurim {

struct MapLayout;

/// Paints a layout on whatever the painter draws on (an image, an SVG
/// generator, a PDF page, a widget), in the layout's pixels.
void paintMap(QPainter& painter, const MapLayout& layout);

}  // namespace tellurim
