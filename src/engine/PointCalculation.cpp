#include "engine/EngineConstants.h"
#include "engine/ModelEngine.h"

#include <cmath>

namespace tellurim {

namespace {

/// North, east and vertical components and the horizontal intensity, nT.
struct Components {
    double x;
    double y;
    double z;
    double h;
};

Components componentsOf(const SynthesisOutput& out)
{
    const double f = static_cast<double>(out.totalIntensity);
    const double dip = static_cast<double>(out.inclination) * static_cast<double>(kDegToRad);
    const double dec = static_cast<double>(out.declination) * static_cast<double>(kDegToRad);
    const double h = f * std::cos(dip);
    return {h * std::cos(dec), h * std::sin(dec), f * std::sin(dip), h};
}

}  // namespace

FieldResult ModelEngine::computePoint(float elevation, float latitude, float longitude, float date,
                                      int32_t IHEM_NS, int32_t JHEM_EW)
{
    FieldResult result;
    const float altitude = elevation / 1000.0f;
    const float phi = (IHEM_NS == 1) ? -latitude : latitude;
    const float lambda = (JHEM_EW == 0) ? -longitude : longitude;

    SynthesisOutput now;
    synthesize(altitude, phi, lambda, date, now);
    result.dateOutOfRange = now.dateOutOfRange;
    result.coordinatesOutOfRange = now.coordinatesOutOfRange;
    if (now.dateOutOfRange < 0)
        return result;  // no model: the element values mean nothing

    result.DEC = now.declination;
    result.DIP = now.inclination;
    result.TI = now.totalIntensity;
    result.gridVariation = now.gridVariation;
    const Components atDate = componentsOf(now);
    result.BH = static_cast<float>(atDate.h);
    result.BX = static_cast<float>(atDate.x);
    result.BY = static_cast<float>(atDate.y);
    result.BZ = static_cast<float>(atDate.z);

    // Same place one year on: only the time-adjusted coefficients change. The
    // change is a finite difference over the year, not a derivative.
    SynthesisOutput next;
    synthesize(altitude, phi, lambda, date + 1.0f, next);
    result.gridVariationNextYear = next.gridVariation;
    const Components nextYear = componentsOf(next);
    // Differences of the unrounded components: a model without secular
    // variation gives exactly 0, and no single-precision rounding of the
    // components (up to 0.004 nT) leaks into the changes.
    result.BX2 = static_cast<float>(nextYear.x - atDate.x);
    result.BY2 = static_cast<float>(nextYear.y - atDate.y);
    result.BZ2 = static_cast<float>(nextYear.z - atDate.z);
    result.BH2 = static_cast<float>(nextYear.h - atDate.h);
    result.TI2 = static_cast<float>(static_cast<double>(next.totalIntensity)
                                    - static_cast<double>(result.TI));
    // No wrap: a declination crossing +-180 within the year shows as a jump.
    result.DEC2 = static_cast<float>(
        (static_cast<double>(next.declination) - static_cast<double>(result.DEC)) * 60.0);
    result.DIP2 = static_cast<float>(
        (static_cast<double>(next.inclination) - static_cast<double>(result.DIP)) * 60.0);
    return result;
}

}  // namespace tellurim
