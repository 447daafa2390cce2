#pragma once

#include "engine/ModelFormats.h"
#include "engine/SplineCoefficients.h"
#include "io/BoundedInput.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace tellurim {

/// A B-spline model file writes a block of coefficients per line or all of
/// them on one (CALS10k.2: nearly a megabyte); a longer line is refused.
inline constexpr std::size_t kMaxSplineLineBytes = std::size_t{8} << 20;

/// True when the first two lines are those of a B-spline model file: a title
/// starting with two years, then exactly three whole numbers (degree, a
/// flag and the number of splines).
bool looksLikeSplineModel(std::string_view firstLine, std::string_view secondLine);

/// Reads a B-spline model file from its start: the title (valid start and
/// end year, then free text), degree L, a flag and the number of splines N,
/// N + 4 evenly spaced ascending knots, then N blocks of L(L+2) coefficients
/// in nT. Numbers are blank-separated across lines and may write their
/// exponent with D (0.1D+03). name becomes the model's name. A damaged file
/// gives the line and the reason ("line 3: the knots are not evenly spaced").
std::variant<std::shared_ptr<const SplineCoefficients>, ModelReadProblem>
readSplineModel(BoundedInput& input, std::string name);

}  // namespace tellurim
