#include "engine/PoleFinder.h"

#include "engine/FieldRow.h"

#include <cmath>

namespace tellurim {

namespace {

/// One polar region: the coarse rows of whole degrees and how many distinct
/// step sizes the refinement walks through (halving from 2 degrees).
struct PoleSearchPlan {
    float firstLatitude;
    int rows;
    int stepSizes;
};

constexpr PoleSearchPlan kNorthPlan{51.0f, 10, 17};   // 51..87 N, final step 4 * 2^-17
constexpr PoleSearchPlan kSouthPlan{-90.0f, 11, 15};  // 90..50 S, final step 4 * 2^-15
constexpr int kCoarseColumns = 90;                     // longitudes -179, -175, ..., 177
constexpr float kCoarseSpacing = 4.0f;
// With halving alone the pattern's reach shrinks geometrically and the search
// can stall several degrees of longitude short of the pole; a pass is therefore
// repeated at the same step while it still moves the best point. The cap only
// guards against a pathological model.
constexpr int kMaxRepeatsPerStep = 50;

int32_t truncatedToInt(double value)
{
    // Pole positions are small angles; anything else must not overflow.
    if (!std::isfinite(value) || std::fabs(value) >= 2147483520.0)
        return 0;
    return static_cast<int32_t>(std::trunc(value));
}

struct BestPoint {
    double h;
    float latitude;
    float longitude;
};

}  // namespace

PolePosition polePositionFromDecimal(float latitude, float longitude)
{
    PolePosition pole;
    pole.decimalLatitude = latitude;
    pole.latitudeDegrees = truncatedToInt(static_cast<double>(latitude));
    const double latMinutes =
        (static_cast<double>(latitude) - static_cast<double>(pole.latitudeDegrees)) * 60.0;
    pole.latitudeMinutes = truncatedToInt(latMinutes);
    pole.latitudeSeconds =
        static_cast<float>((latMinutes - static_cast<double>(pole.latitudeMinutes)) * 60.0);

    pole.decimalLongitude = longitude;
    pole.longitudeDegrees = truncatedToInt(static_cast<double>(longitude));
    const double lonMinutes =
        (static_cast<double>(longitude) - static_cast<double>(pole.longitudeDegrees)) * 60.0;
    pole.longitudeMinutes = truncatedToInt(lonMinutes);
    const double lonSeconds = (lonMinutes - static_cast<double>(pole.longitudeMinutes)) * 60.0;
    pole.longitudeSeconds = static_cast<float>(std::round(lonSeconds * 10.0) / 10.0);
    return pole;
}

MagneticPoles findMagneticPoles(const MagneticModel& model, float date)
{
    const auto search = [&model, date](const PoleSearchPlan& plan) {
        // Starts at the first coarse point so that a model giving no finite
        // value still yields a position inside the region.
        BestPoint best{1.0e20, plan.firstLatitude, -179.0f};
        const auto consider = [&](const FieldRow& row, float longitude) {
            // From the components as summed: |cos I|·F with I held as a
            // single is flat near the pole (steps of about 0.008 nT) and
            // stops the north search tens of metres short of the minimum.
            const FieldAtTime field = row.fieldAt(longitude);
            const double h = std::hypot(field.northComponent, field.eastComponent);
            if (h < best.h)  // ties keep the earlier point
                best = {h, row.latitude(), longitude};
        };

        for (int rowIndex = 0; rowIndex < plan.rows; ++rowIndex) {
            const FieldRow row = model.row(date, plan.firstLatitude + kCoarseSpacing * static_cast<float>(rowIndex),
                                           0.0f);
            for (int column = 0; column < kCoarseColumns; ++column)
                consider(row, -179.0f + kCoarseSpacing * static_cast<float>(column));
        }

        float step = kCoarseSpacing;
        for (int size = 0; size < plan.stepSizes; ++size) {
            step *= 0.5f;
            for (int pass = 0; pass <= kMaxRepeatsPerStep; ++pass) {
                const BestPoint before = best;
                // A 5 x 5 pattern centred on the best point: the rows are fixed
                // at the start of the pass, each row re-centres on the best
                // longitude found so far.
                float latitude = best.latitude - 2.0f * step;
                for (int rowIndex = 0; rowIndex < 5; ++rowIndex) {
                    const FieldRow row = model.row(date, latitude, 0.0f);
                    float longitude = best.longitude - 2.0f * step;
                    for (int column = 0; column < 5; ++column) {
                        consider(row, longitude);
                        longitude += step;
                    }
                    latitude += step;
                }
                if (best.latitude == before.latitude && best.longitude == before.longitude)
                    break;
            }
        }
        return polePositionFromDecimal(best.latitude, best.longitude);
    };

    MagneticPoles poles;
    poles.north = search(kNorthPlan);
    poles.south = search(kSouthPlan);
    return poles;
}

}  // namespace tellurim
