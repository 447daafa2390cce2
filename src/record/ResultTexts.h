#pragma once

#include "engine/FieldResult.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tellurim {

/// The display texts that accompany a result: its validity, the grid
/// variation and its annual change as the window shows them.
struct ResultTexts {
    std::string CVALIDITY;
    std::string CPOLAR1;  ///< grid variation, degrees, "%8.2f" or "N/A"
    std::string CPOLAR2;  ///< its annual change, minutes of arc per year
    bool hasGridVariation = false;  ///< false where CPOLAR1 and CPOLAR2 read "N/A"
};

/// The validity of a result from the two flags of a point calculation:
/// a negative date flag means no model is loaded; otherwise a positive date
/// flag and a nonzero coordinate flag each mark their value out of range.
/// The texts are static, so the view stays valid.
std::string_view validityText(int32_t dateOutOfRange, int32_t coordinatesOutOfRange);

/// The grid variation as shown: "%8.2f" of the variation in degrees and of
/// its annual change in minutes of arc per year, or "N/A" for both where grid
/// variation does not apply (a variation of kNoGridVariation or more, or not
/// a number). Only the variation at the date decides.
struct GridVariationTexts {
    std::string CPOLAR1;  ///< grid variation, degrees
    std::string CPOLAR2;  ///< its annual change, minutes of arc per year
};
GridVariationTexts gridVariationTexts(const FieldResult& result);

/// True when the result carries a grid variation to show.
bool hasGridVariation(const FieldResult& result);

/// The annual change of grid variation in minutes of arc per year: the
/// difference of the two singles taken the short way round across +-180,
/// times 60, formed in double and not rounded to single before it is printed.
double gridVariationChange(const FieldResult& result);

/// All three display texts of a result.
ResultTexts resultTexts(const FieldResult& result);

}  // namespace tellurim
