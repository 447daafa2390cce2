#include "engine/EngineConstants.h"
#include "engine/FastAngles.h"
#include "engine/ModelEngine.h"

#include <algorithm>
#include <array>
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

// From the stored (single-precision) angles, as the elements are defined:
// H = F cos I, X = H cos D, Y = H sin D, Z = F sin I, with the cosines and
// sines from the library.
Components libraryComponentsOf(const SynthesisOutput& out)
{
    const double f = static_cast<double>(out.totalIntensity);
    const double dip = static_cast<double>(out.inclination) * static_cast<double>(kDegToRad);
    const double dec = static_cast<double>(out.declination) * static_cast<double>(kDegToRad);
    const double h = f * std::cos(dip);
    return {h * std::cos(dec), h * std::sin(dec), f * std::sin(dip), h};
}

// The same, with the cosines and sines of the stored angles turned from the
// unrounded ones by a small rotation: within about 1e-15 of F of the above.
Components componentsOf(const SynthesisOutput& out)
{
    const double f = static_cast<double>(out.totalIntensity);
    const double dip = static_cast<double>(out.inclination) * static_cast<double>(kDegToRad);
    const double dec = static_cast<double>(out.declination) * static_cast<double>(kDegToRad);
    const double perF = 1.0 / out.fieldIntensity;
    const double perH = 1.0 / out.horizontalIntensity;
    const CosSin i = cosSinNear(dip, out.inclinationRadians, out.horizontalIntensity * perF,
                                out.verticalComponent * perF);
    const CosSin d = cosSinNear(dec, out.declinationRadians, out.northComponent * perH,
                                out.eastComponent * perH);
    const double h = f * i.c;
    return {h * d.c, h * d.s, f * i.s, h};
}

// Whether a single of the components or of their changes could come out
// differently from the library's functions (see nearSingleRounding).
bool componentsNeedLibrary(const SynthesisOutput& now, const Components& atDate, const SynthesisOutput& next,
                           const Components& nextYear)
{
    // Four times the largest difference of the rotation from the library.
    const double scale = std::max(std::fabs(now.fieldIntensity), std::fabs(next.fieldIntensity));
    const double one = 4.0e-15 * scale;
    const double two = 2.0 * one;
    // Every test made, without branches in between.
    return nearSingleRounding(atDate.x, one) | nearSingleRounding(atDate.y, one)
           | nearSingleRounding(atDate.z, one) | nearSingleRounding(atDate.h, one)
           | nearSingleRounding(nextYear.x - atDate.x, two) | nearSingleRounding(nextYear.y - atDate.y, two)
           | nearSingleRounding(nextYear.z - atDate.z, two) | nearSingleRounding(nextYear.h - atDate.h, two);
}

// The elements at the date and their change over the year that follows.
FieldResult fieldResultOf(const SynthesisOutput& now, const Components& atDate, const SynthesisOutput& next,
                          const Components& nextYear)
{
    FieldResult result;
    result.dateOutOfRange = now.dateOutOfRange;
    result.coordinatesOutOfRange = now.coordinatesOutOfRange;
    result.DEC = now.declination;
    result.DIP = now.inclination;
    result.TI = now.totalIntensity;
    result.gridVariation = now.gridVariation;
    result.BH = static_cast<float>(atDate.h);
    result.BX = static_cast<float>(atDate.x);
    result.BY = static_cast<float>(atDate.y);
    result.BZ = static_cast<float>(atDate.z);

    // The change is a finite difference over the year, not a derivative.
    result.gridVariationNextYear = next.gridVariation;
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

}  // namespace

FieldResult ModelEngine::computePoint(float elevation, float latitude, float longitude, float date,
                                      int32_t IHEM_NS, int32_t JHEM_EW)
{
    const float phi = (IHEM_NS == 1) ? -latitude : latitude;
    const float lambda = (JHEM_EW == 0) ? -longitude : longitude;
    FieldResult result;
    computeRow(elevation, phi, std::span<const float>{&lambda, 1}, date, std::span<FieldResult>{&result, 1});
    return result;
}

void ModelEngine::computeRow(float elevation, float latitude, std::span<const float> longitudes, float date,
                             std::span<FieldResult> results)
{
    const std::size_t count = std::min(longitudes.size(), results.size());
    if (!m_model->isLoaded) {
        // No model: the element values mean nothing, the flags say so.
        for (std::size_t i = 0; i < count; ++i) {
            results[i] = FieldResult{};
            results[i].dateOutOfRange = -1;
            results[i].coordinatesOutOfRange = -1;
        }
        return;
    }
    const float altitude = elevation / 1000.0f;
    // Same place one year on: only the time-adjusted coefficients change.
    const float dateNextYear = date + 1.0f;
    std::array<float, kLongitudeLanes> lanes{};
    std::array<SynthesisOutput, kLongitudeLanes> now{};
    std::array<SynthesisOutput, kLongitudeLanes> next{};
    std::array<Components, kLongitudeLanes> atDate{};
    std::array<Components, kLongitudeLanes> nextYear{};
    for (std::size_t begin = 0; begin < count; begin += kLongitudeLanes) {
        const std::size_t used = std::min(kLongitudeLanes, count - begin);
        if (used == 1) {
            // A single point (the window, point, batch) takes one lane.
            synthesizeLanes<1>(altitude, latitude, &longitudes[begin], date, true, now.data());
            synthesizeLanes<1>(altitude, latitude, &longitudes[begin], dateNextYear, false, next.data());
        } else {
            // A short last block repeats its last longitude in the spare lanes.
            for (std::size_t lane = 0; lane < kLongitudeLanes; ++lane)
                lanes[lane] = longitudes[begin + std::min(lane, used - 1)];
            synthesizeLanes<kLongitudeLanes>(altitude, latitude, lanes.data(), date, true, now.data());
            synthesizeLanes<kLongitudeLanes>(altitude, latitude, lanes.data(), dateNextYear, false, next.data());
        }
        // Stage by stage across the lanes, so that their chains overlap.
        for (std::size_t lane = 0; lane < used; ++lane) {
            atDate[lane] = componentsOf(now[lane]);
            nextYear[lane] = componentsOf(next[lane]);
        }
        for (std::size_t lane = 0; lane < used; ++lane) {
            if (componentsNeedLibrary(now[lane], atDate[lane], next[lane], nextYear[lane])) {
                atDate[lane] = libraryComponentsOf(now[lane]);
                nextYear[lane] = libraryComponentsOf(next[lane]);
            }
        }
        for (std::size_t lane = 0; lane < used; ++lane)
            results[begin + lane] = fieldResultOf(now[lane], atDate[lane], next[lane], nextYear[lane]);
    }
    m_cache.hasLongitude = false;  // the lanes hold other longitudes now
}

}  // namespace tellurim
