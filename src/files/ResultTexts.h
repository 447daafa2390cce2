#pragma once

#include <string>

namespace tellurim {

/// The display texts that accompany a result: the validity of the results,
/// the grid variation and its annual change as the window shows them
/// ("%8.2f", or "N/A" where grid variation does not apply).
struct ResultTexts {
    std::string CVALIDITY;
    std::string CPOLAR1;  ///< grid variation, degrees
    std::string CPOLAR2;  ///< annual change of grid variation, minutes/yr
};

}  // namespace tellurim
