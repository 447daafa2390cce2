#include "gis/FieldElement.h"

#include "record/FieldAccuracy.h"

#include <cmath>
#include <limits>

namespace tellurim {

namespace {

// Isoline intervals as the printed world charts draw them: 2 degrees of
// declination, 5 of inclination, 1000 nT of intensity; their annual changes
// at 2 arcmin/yr and 10 nT/yr, where the world's rates span about +-30
// arcmin/yr and +-150 nT/yr.
constexpr std::array kElements{
    ElementInfo{FieldElement::D, "D", "declination", "deg", "declination", 2.0, true},
    ElementInfo{FieldElement::I, "I", "inclination", "deg", "inclination", 5.0, false},
    ElementInfo{FieldElement::F, "F", "total intensity", "nT", "total_intensity", 1000.0, false},
    ElementInfo{FieldElement::H, "H", "horizontal intensity", "nT", "horizontal_intensity", 1000.0, false},
    ElementInfo{FieldElement::X, "X", "north component", "nT", "north_component", 1000.0, false},
    ElementInfo{FieldElement::Y, "Y", "east component", "nT", "east_component", 1000.0, false},
    ElementInfo{FieldElement::Z, "Z", "vertical component", "nT", "vertical_component", 1000.0, false},
    ElementInfo{FieldElement::DeltaD, "dD", "annual change of declination", "arcmin/yr",
                "declination_change", 2.0, false},
    ElementInfo{FieldElement::DeltaI, "dI", "annual change of inclination", "arcmin/yr",
                "inclination_change", 2.0, false},
    ElementInfo{FieldElement::DeltaF, "dF", "annual change of total intensity", "nT/yr",
                "total_intensity_change", 10.0, false},
    ElementInfo{FieldElement::DeltaH, "dH", "annual change of horizontal intensity", "nT/yr",
                "horizontal_intensity_change", 10.0, false},
    ElementInfo{FieldElement::DeltaX, "dX", "annual change of north component", "nT/yr",
                "north_component_change", 10.0, false},
    ElementInfo{FieldElement::DeltaY, "dY", "annual change of east component", "nT/yr",
                "east_component_change", 10.0, false},
    ElementInfo{FieldElement::DeltaZ, "dZ", "annual change of vertical component", "nT/yr",
                "vertical_component_change", 10.0, false},
    ElementInfo{FieldElement::SigmaD, "sigmaD", "declination uncertainty (one sigma)", "deg",
                "declination_uncertainty", 0.5, false},
};

}  // namespace

std::span<const ElementInfo> allElements()
{
    return kElements;
}

const ElementInfo& elementInfo(FieldElement element)
{
    return kElements[static_cast<std::size_t>(element)];
}

std::optional<FieldElement> elementFromCode(std::string_view code)
{
    for (const ElementInfo& info : kElements) {
        if (info.code == code) {
            return info.element;
        }
    }
    return std::nullopt;
}

std::string elementCodeList()
{
    std::string list;
    for (const ElementInfo& info : kElements) {
        list += list.empty() ? "" : ", ";
        list += info.code;
    }
    return list;
}

float elementValue(FieldElement element, const FieldResult& result, const PublishedAccuracy* accuracy)
{
    switch (element) {
    case FieldElement::D: return result.DEC;
    case FieldElement::I: return result.DIP;
    case FieldElement::F: return result.TI;
    case FieldElement::H: return result.BH;
    case FieldElement::X: return result.BX;
    case FieldElement::Y: return result.BY;
    case FieldElement::Z: return result.BZ;
    case FieldElement::DeltaD: return result.DEC2;
    case FieldElement::DeltaI: return result.DIP2;
    case FieldElement::DeltaF: return result.TI2;
    case FieldElement::DeltaH: return result.BH2;
    case FieldElement::DeltaX: return result.BX2;
    case FieldElement::DeltaY: return result.BY2;
    case FieldElement::DeltaZ: return result.BZ2;
    case FieldElement::SigmaD:
        break;
    }
    const std::optional<double> sigma =
        accuracy != nullptr ? declinationUncertainty(*accuracy, static_cast<double>(result.BH)) : std::nullopt;
    return sigma ? static_cast<float>(*sigma) : std::numeric_limits<float>::quiet_NaN();
}

}  // namespace tellurim
