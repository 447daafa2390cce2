#include "render/MapElement.h"

#include "record/FieldAccuracy.h"

#include <array>
#include <limits>

namespace tellurim {

namespace {

struct ElementSpec {
    MapElement element;
    std::string_view key;
    std::string_view title;
    std::string_view unit;
    bool isSigned;
};

constexpr std::array kElements{
    ElementSpec{MapElement::D, "D", "Declination", "deg", true},
    ElementSpec{MapElement::I, "I", "Inclination", "deg", true},
    ElementSpec{MapElement::F, "F", "Total intensity", "nT", false},
    ElementSpec{MapElement::H, "H", "Horizontal intensity", "nT", false},
    ElementSpec{MapElement::X, "X", "North component", "nT", true},
    ElementSpec{MapElement::Y, "Y", "East component", "nT", true},
    ElementSpec{MapElement::Z, "Z", "Vertical component", "nT", true},
    ElementSpec{MapElement::AnnualD, "dD", "Annual change of declination", "arcmin/yr", true},
    ElementSpec{MapElement::AnnualI, "dI", "Annual change of inclination", "arcmin/yr", true},
    ElementSpec{MapElement::AnnualF, "dF", "Annual change of total intensity", "nT/yr", true},
    ElementSpec{MapElement::AnnualH, "dH", "Annual change of horizontal intensity", "nT/yr", true},
    ElementSpec{MapElement::AnnualX, "dX", "Annual change of north component", "nT/yr", true},
    ElementSpec{MapElement::AnnualY, "dY", "Annual change of east component", "nT/yr", true},
    ElementSpec{MapElement::AnnualZ, "dZ", "Annual change of vertical component", "nT/yr", true},
    ElementSpec{MapElement::DeclinationUncertainty, "D-uncertainty", "Declination uncertainty", "deg", false},
};

constexpr std::array kOrder{
    MapElement::D,       MapElement::I,       MapElement::F,       MapElement::H,       MapElement::X,
    MapElement::Y,       MapElement::Z,       MapElement::AnnualD, MapElement::AnnualI, MapElement::AnnualF,
    MapElement::AnnualH, MapElement::AnnualX, MapElement::AnnualY, MapElement::AnnualZ,
    MapElement::DeclinationUncertainty,
};

const ElementSpec& spec(MapElement element)
{
    return kElements[static_cast<std::size_t>(element)];
}

}  // namespace

std::span<const MapElement> mapElements()
{
    return kOrder;
}

std::string_view elementKey(MapElement element)
{
    return spec(element).key;
}

std::optional<MapElement> elementByKey(std::string_view key)
{
    for (const auto& element : kElements) {
        if (element.key == key) {
            return element.element;
        }
    }
    return std::nullopt;
}

std::string_view elementTitle(MapElement element)
{
    return spec(element).title;
}

std::string_view elementUnit(MapElement element)
{
    return spec(element).unit;
}

bool elementIsSigned(MapElement element)
{
    return spec(element).isSigned;
}

bool elementIsAngleThatWraps(MapElement element)
{
    return element == MapElement::D;
}

bool elementIsAnnualChange(MapElement element)
{
    return element >= MapElement::AnnualD && element <= MapElement::AnnualZ;
}

double elementValue(MapElement element, const FieldResult& r, const PublishedAccuracy* accuracy)
{
    switch (element) {
    case MapElement::D: return static_cast<double>(r.DEC);
    case MapElement::I: return static_cast<double>(r.DIP);
    case MapElement::F: return static_cast<double>(r.TI);
    case MapElement::H: return static_cast<double>(r.BH);
    case MapElement::X: return static_cast<double>(r.BX);
    case MapElement::Y: return static_cast<double>(r.BY);
    case MapElement::Z: return static_cast<double>(r.BZ);
    case MapElement::AnnualD: return static_cast<double>(r.DEC2);
    case MapElement::AnnualI: return static_cast<double>(r.DIP2);
    case MapElement::AnnualF: return static_cast<double>(r.TI2);
    case MapElement::AnnualH: return static_cast<double>(r.BH2);
    case MapElement::AnnualX: return static_cast<double>(r.BX2);
    case MapElement::AnnualY: return static_cast<double>(r.BY2);
    case MapElement::AnnualZ: return static_cast<double>(r.BZ2);
    case MapElement::DeclinationUncertainty:
        if (accuracy != nullptr) {
            if (const auto sigma = declinationUncertainty(*accuracy, static_cast<double>(r.BH))) {
                return *sigma;
            }
        }
        break;
    }
    return std::numeric_limits<double>::quiet_NaN();
}

}  // namespace tellurim
