#pragma once

#include "render/Coastlines.h"
#include "render/FieldLattice.h"

#include <span>
#include <vector>

namespace tellurim {

/// One traced isoline: a level and the places it runs through.
struct Isoline {
    double level = 0.0;
    std::vector<LonLat> points;
};

/// The isolines of a lattice's values at the levels, through the GIS
/// layer's contour generator.
std::vector<Isoline> traceLatticeIsolines(const FieldLattice& lattice, std::span<const double> levels);

}  // namespace tellurim
