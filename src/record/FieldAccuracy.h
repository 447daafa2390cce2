#pragma once

#include "engine/FieldResult.h"

#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace tellurim {

/// One standard deviation of each element but the declination.
struct ElementSigmas {
    float X = 0.0f;  ///< nT
    float Y = 0.0f;  ///< nT
    float Z = 0.0f;  ///< nT
    float H = 0.0f;  ///< nT
    float F = 0.0f;  ///< nT
    float I = 0.0f;  ///< degrees
};

/// The one-standard-deviation uncertainty a model's authors publish for its
/// results (the model's error budget, commission and omission together).
/// The declination's depends on the horizontal intensity H at the point:
/// sqrt(declinationFloor^2 + (declinationScale / H)^2) degrees.
struct PublishedAccuracy : ElementSigmas {
    std::string_view headerName;  ///< the model name in the file's first record
    bool hasDeclination = false;   ///< false where no such formula is published
    double declinationFloor = 0.0; ///< degrees
    double declinationScale = 0.0; ///< nT times degrees
};

/// The published figures of the model with this header name (blanks around
/// it ignored), or null when none are published for it. Models are known by
/// the name inside the file, never by the file's name.
const PublishedAccuracy* publishedAccuracy(std::string_view headerName);

/// The model name of a header as it reads, without the blanks around it.
std::string trimmedModelName(std::string_view headerName);

/// Above this the declination formula has no meaning: the compass can point
/// anywhere, and the uncertainty is reported as unbounded.
inline constexpr double kMaxBoundedDeclinationUncertainty = 180.0;  ///< degrees

/// The declination uncertainty in degrees at horizontal intensity H (nT);
/// nothing where the model publishes no formula, H is not above zero or the
/// formula gives more than kMaxBoundedDeclinationUncertainty.
std::optional<double> declinationUncertainty(const PublishedAccuracy& accuracy, double horizontalIntensity);

/// The uncertainty of every element of one result.
struct FieldUncertainty : ElementSigmas {
    std::optional<double> D;  ///< degrees; nothing when not published or unbounded
    bool declinationPublished = false;  ///< the model publishes a declination formula
    float horizontalIntensity = 0.0f;   ///< nT, the result's H that D depends on

    /// Published, but without a bound (H zero or too small for the formula).
    bool declinationUnbounded() const { return declinationPublished && !D && !std::isnan(horizontalIntensity); }
};

/// The uncertainties of a result of a model with published figures.
FieldUncertainty uncertaintyOf(const PublishedAccuracy& accuracy, const FieldResult& result);

/// The uncertainties of a result of the named model; nothing when the model
/// has no published figures.
std::optional<FieldUncertainty> fieldUncertainty(std::string_view headerName, const FieldResult& result);

/// Where a magnetic compass may be trusted, by the horizontal intensity.
enum class CompassZone {
    None,      ///< H of 6000 nT or more
    Caution,   ///< 2000 <= H < 6000 nT: compass accuracy may be degraded
    Blackout,  ///< H < 2000 nT: the compass is unreliable
    Unknown,   ///< H is not a number: no zone can be told
};

inline constexpr float kBlackoutBelow = 2000.0f;  ///< nT
inline constexpr float kCautionBelow = 6000.0f;   ///< nT

/// The zone at horizontal intensity H (nT); an H that is not a number has no
/// zone (Unknown), which says the value could not be computed.
CompassZone compassZone(float horizontalIntensity);

/// "none", "caution", "blackout" or "not-computed": the zone's name in
/// machine-read output.
std::string_view compassZoneName(CompassZone zone);

/// The zone in words that stand on their own without colour: for example
/// "CAUTION ZONE: compass accuracy may be degraded (H below 6000 nT)".
std::string_view compassZoneText(CompassZone zone);

/// The uncertainties as one line of text, in the order F, I, D, X, Y, Z, H:
/// "F 138 nT, I 0.20 deg, D 0.30 deg, X 137 nT, ...", or the reason there
/// are none ("no published figure for this model").
std::string uncertaintyText(const std::optional<FieldUncertainty>& uncertainty);

/// The declination uncertainty in words: "0.30 deg", or why there is none.
std::string declinationUncertaintyText(const FieldUncertainty& uncertainty);

inline constexpr std::string_view kNoPublishedFigure = "no published figure for this model";

/// What a window shows beside a result: the uncertainties on one line with
/// a longer explanation for its tooltip, and the compass zone in words.
struct AccuracyTexts {
    std::string uncertainty;        ///< uncertaintyText of the result
    std::string uncertaintyDetail;  ///< where the figures come from, for a tooltip
    CompassZone zone = CompassZone::None;
    std::string zoneText;           ///< compassZoneText of the zone
};
AccuracyTexts accuracyTexts(std::string_view headerName, const FieldResult& result);

}  // namespace tellurim
