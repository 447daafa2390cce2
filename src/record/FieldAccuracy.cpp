#include "record/FieldAccuracy.h"

#include "record/NumberText.h"

#include <array>
#include <cmath>

namespace tellurim {

namespace {

// One standard deviation of each element as the models' authors publish it:
// the WMM2025 and WMM2020 technical reports (NOAA NCEI and BGS) and the
// WMMHR2025 documentation. The high-resolution model publishes no
// declination formula of this form, and IGRF publishes no such figures.
constexpr std::array kPublished{
    PublishedAccuracy{{137.0f, 89.0f, 141.0f, 133.0f, 138.0f, 0.20f}, "WMM-2025", true, 0.26, 5417.0},
    PublishedAccuracy{{131.0f, 94.0f, 157.0f, 128.0f, 148.0f, 0.21f}, "WMM-2020", true, 0.26, 5625.0},
    PublishedAccuracy{{135.0f, 85.0f, 134.0f, 130.0f, 134.0f, 0.19f}, "WMMHR-2025", false, 0.0, 0.0},
};

void appendNanotesla(std::string& out, std::string_view name, float value)
{
    out.append(name);
    out.push_back(' ');
    appendFixed(out, static_cast<double>(value), 0);
    out.append(" nT");
}

}  // namespace

std::string trimmedModelName(std::string_view headerName)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = headerName.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const size_t last = headerName.find_last_not_of(kBlanks);
    return std::string(headerName.substr(first, last - first + 1));
}

const PublishedAccuracy* publishedAccuracy(std::string_view headerName)
{
    const std::string name = trimmedModelName(headerName);
    for (const PublishedAccuracy& accuracy : kPublished) {
        if (accuracy.headerName == name) {
            return &accuracy;
        }
    }
    return nullptr;
}

std::optional<double> declinationUncertainty(const PublishedAccuracy& accuracy, double horizontalIntensity)
{
    if (!accuracy.hasDeclination || !(horizontalIntensity > 0.0)) {
        return std::nullopt;
    }
    const double scaled = accuracy.declinationScale / horizontalIntensity;
    const double sigma = std::sqrt(accuracy.declinationFloor * accuracy.declinationFloor + scaled * scaled);
    if (!(sigma <= kMaxBoundedDeclinationUncertainty)) {
        return std::nullopt;
    }
    return sigma;
}

FieldUncertainty uncertaintyOf(const PublishedAccuracy& accuracy, const FieldResult& result)
{
    return FieldUncertainty{static_cast<const ElementSigmas&>(accuracy),
                            declinationUncertainty(accuracy, static_cast<double>(result.BH)), accuracy.hasDeclination,
                            result.BH};
}

std::optional<FieldUncertainty> fieldUncertainty(std::string_view headerName, const FieldResult& result)
{
    const PublishedAccuracy* accuracy = publishedAccuracy(headerName);
    if (accuracy == nullptr) {
        return std::nullopt;
    }
    return uncertaintyOf(*accuracy, result);
}

CompassZone compassZone(float horizontalIntensity)
{
    if (std::isnan(horizontalIntensity)) {
        return CompassZone::Unknown;
    }
    if (horizontalIntensity < kBlackoutBelow) {
        return CompassZone::Blackout;
    }
    return horizontalIntensity < kCautionBelow ? CompassZone::Caution : CompassZone::None;
}

std::string_view compassZoneName(CompassZone zone)
{
    switch (zone) {
    case CompassZone::Caution:
        return "caution";
    case CompassZone::Blackout:
        return "blackout";
    case CompassZone::Unknown:
        return "not-computed";
    case CompassZone::None:
        break;
    }
    return "none";
}

std::string_view compassZoneText(CompassZone zone)
{
    switch (zone) {
    case CompassZone::Caution:
        return "CAUTION ZONE: compass accuracy may be degraded (H below 6000 nT)";
    case CompassZone::Blackout:
        return "BLACKOUT ZONE: compass unreliable (H below 2000 nT)";
    case CompassZone::Unknown:
        return "no compass zone: H could not be computed";
    case CompassZone::None:
        break;
    }
    return "outside the caution and blackout zones (H 6000 nT or more)";
}

std::string declinationUncertaintyText(const FieldUncertainty& uncertainty)
{
    if (!uncertainty.declinationPublished) {
        return "no published figure";
    }
    if (!uncertainty.D) {
        if (std::isnan(uncertainty.horizontalIntensity)) {
            return "could not be computed";
        }
        return uncertainty.horizontalIntensity <= 0.0f ? "unbounded (H is zero)" : "unbounded (H is too small)";
    }
    std::string text;
    appendFixed(text, *uncertainty.D, 2);
    text.append(" deg");
    return text;
}

AccuracyTexts accuracyTexts(std::string_view headerName, const FieldResult& result)
{
    AccuracyTexts texts;
    const std::string name = trimmedModelName(headerName);
    const PublishedAccuracy* accuracy = publishedAccuracy(name);
    texts.uncertainty = uncertaintyText(accuracy ? std::optional(uncertaintyOf(*accuracy, result)) : std::nullopt);
    if (accuracy == nullptr) {
        texts.uncertaintyDetail = "The model \"" + name +
                                  "\" has no published uncertainty figures. Figures are known for WMM-2025, "
                                  "WMM-2020 and WMMHR-2025, recognised by the name in the model file.";
    } else {
        texts.uncertaintyDetail = "One standard deviation of each element, as published for " + name + ".";
        if (accuracy->hasDeclination) {
            texts.uncertaintyDetail += " The declination's grows near the dip poles: sqrt(";
            appendFixed(texts.uncertaintyDetail, accuracy->declinationFloor, 2);
            texts.uncertaintyDetail += "^2 + (";
            appendFixed(texts.uncertaintyDetail, accuracy->declinationScale, 0);
            texts.uncertaintyDetail += " / H)^2) degrees, H in nT.";
        } else {
            texts.uncertaintyDetail += " No declination figure of this form is published for it.";
        }
    }
    texts.zone = compassZone(result.BH);
    texts.zoneText = compassZoneText(texts.zone);
    return texts;
}

std::string uncertaintyText(const std::optional<FieldUncertainty>& uncertainty)
{
    if (!uncertainty) {
        return std::string(kNoPublishedFigure);
    }
    std::string text;
    appendNanotesla(text, "F", uncertainty->F);
    text.append(", I ");
    appendFixed(text, static_cast<double>(uncertainty->I), 2);
    text.append(" deg, D ");
    text.append(declinationUncertaintyText(*uncertainty));
    appendNanotesla(text.append(", "), "X", uncertainty->X);
    appendNanotesla(text.append(", "), "Y", uncertainty->Y);
    appendNanotesla(text.append(", "), "Z", uncertainty->Z);
    appendNanotesla(text.append(", "), "H", uncertainty->H);
    return text;
}

}  // namespace tellurim
