#pragma once

#include "gis/FieldElement.h"
#include "gis/Lattice.h"

#include <QString>

namespace tellurim {

/// The value of a lattice at a point by bilinear interpolation between its
/// four nearest nodes; NaN outside the lattice. longitude is taken modulo
/// 360 into the lattice's span. wrapsAt180: the values are the declination,
/// interpolated the short way round where they turn through +-180 degrees.
float sampleLattice(const Lattice& lattice, double latitude, double longitude, bool wrapsAt180);

/// True for quantities with a sign, drawn in a diverging palette about 0.
bool elementIsSigned(FieldElement element);
bool elementIsAnnualChange(FieldElement element);
/// The element as a title names it: "Declination (D)".
QString elementTitle(FieldElement element);

}  // namespace tellurim
