#pragma once

#include "engine/FieldResult.h"
#include "engine/FieldSums.h"
#include "engine/GeodeticTerms.h"
#include "engine/MagneticModel.h"

#include <span>
#include <vector>

namespace tellurim {

/// The field at one place and one time as summed, before the annual change:
/// the elements in single precision as stored files expect, and the
/// components and angles before their rounding.
struct FieldAtTime {
    float declination = 0.0f;     ///< degrees, positive east of north
    float inclination = 0.0f;     ///< degrees, positive down
    float totalIntensity = 0.0f;  ///< nT
    float gridVariation = kNoGridVariation;  ///< degrees, or kNoGridVariation below latitude 55
    int32_t dateOutOfRange = 0;         ///< 0 within the model's life span, 1 outside
    int32_t coordinatesOutOfRange = 0;  ///< 0 within a regional model's box, 1 outside
    /// The components as summed: near a dip pole H is far smaller than F,
    /// and |cos I|·F with I held as a single moves in steps of about 0.008 nT.
    double northComponent = 0.0;       ///< X, nT
    double eastComponent = 0.0;        ///< Y, nT
    double verticalComponent = 0.0;    ///< Z, nT
    double horizontalIntensity = 0.0;  ///< H, nT
    double fieldIntensity = 0.0;       ///< F, nT
    double declinationRadians = 0.0;   ///< the angles as computed, radians
    double inclinationRadians = 0.0;
};

/// One circle of latitude of a model at one date: the geodetic terms and
/// the per-order sums at the date and one year later, formed once. Its
/// const members evaluate any longitudes, so threads sharing a model each
/// own their rows; a single point is a row of one, and every longitude gets
/// the same bits whether asked for alone or among others.
class FieldRow {
public:
    /// @param model       must outlive the row
    /// @param decimalYear date, decimal year
    /// @param latitudeDeg geodetic latitude, degrees, north positive
    /// @param elevationM  metres above the WGS-84 ellipsoid
    FieldRow(const MagneticModel& model, float decimalYear, float latitudeDeg, float elevationM);

    /// Every element at a longitude (degrees, east positive) and its change
    /// over the following year.
    FieldResult at(float longitudeDeg) const;
    /// at() for each longitude; results has at least longitudesDeg.size() entries.
    void evaluate(std::span<const float> longitudesDeg, std::span<FieldResult> results) const;
    /// The field at the row's date alone.
    FieldAtTime fieldAt(float longitudeDeg) const;

    float decimalYear() const { return m_date.year; }
    float latitude() const { return m_latitude; }

private:
    /// What the row holds for one of its two times.
    struct TimeTerms {
        float year = 0.0f;
        bool outsideLifeSpan = false;
        OrderSums sums;
        std::vector<float> pairs;  ///< the coefficients; kept only at the poles
    };
    TimeTerms timeTerms(float year, const std::vector<double>& weights) const;
    template <std::size_t Lanes>
    void fieldLanes(const TimeTerms& time, const float* longitudes, const LaneAngles& angles,
                    FieldAtTime* out) const;
    LaneAngles laneAngles() const;

    const MagneticModel* m_model;
    float m_latitude;
    GeodeticTerms m_place;
    DegreeTable m_poleFunctions;  ///< only where ST is 0
    TimeTerms m_date;
    TimeTerms m_nextYear;
};

}  // namespace tellurim
