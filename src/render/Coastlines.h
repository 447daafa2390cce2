#pragma once

#include <string>
#include <vector>

namespace tellurim {

/// A point of a coastline, degrees.
struct LonLat {
    double longitude = 0.0;
    double latitude = 0.0;
};

/// The outlines of the land, as closed rings.
struct Coastlines {
    std::vector<std::vector<LonLat>> rings;
    std::string problem;  ///< why nothing was read, empty after a success
};

/// The land polygons of a vector file GDAL reads (the shipped TopoJSON),
/// every exterior and interior ring of every polygon of its first layer.
Coastlines readCoastlines(const std::string& path);

/// The shipped Natural Earth 1:50m coastlines, read once on first use from
/// share/tellurim/maps beside the program's bin folder.
const Coastlines& shippedCoastlines();

/// The path of the shipped coastline file (which may not exist).
std::string shippedCoastlinePath();

}  // namespace tellurim
