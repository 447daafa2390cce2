#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tellurim {

/// How values become colours, and where the isolines run: a range split
/// into bands of one interval. Signed quantities get a diverging palette
/// centred on 0 (east/positive warm, west/negative cool, as declination
/// charts are coloured), intensities a perceptually uniform sequential one.
/// Both palettes stay apart for the common colour-vision deficiencies; in
/// greyscale the isolines (negative ones dashed) and their labels carry the values.
struct ColourScale {
    double low = 0.0;        ///< value at the first colour
    double high = 1.0;       ///< value at the last colour
    double interval = 0.1;   ///< between neighbouring isolines
    bool diverging = false;

    /// The colour of a value as 0xAARRGGBB (values beyond the range take the
    /// end colours; NaN is transparent).
    uint32_t colourOf(double value) const;
    /// The isoline levels inside the range, low to high.
    std::vector<double> levels() const;
    /// The 256 colours of the palette, first to last.
    const std::array<uint32_t, 256>& palette() const;
};

/// A range and interval for these values: the 2nd to 98th percentile
/// widened to round numbers (symmetric about 0 when signed), the interval a
/// 1, 2 or 5 times a power of ten giving about ten bands.
ColourScale scaleFor(std::span<const float> values, bool isSigned);

/// A round interval (1, 2, 2.5 or 5 times a power of ten) near span / bands.
double roundInterval(double span, int bands);

}  // namespace tellurim
