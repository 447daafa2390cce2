#include "render/LatticeSampling.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tellurim {

namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

float sampleLattice(const Lattice& lattice, double latitude, double longitude, bool wrapsAt180)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const LatticeGeometry& g = lattice.geometry;
    if (g.width < 2 || g.height < 2 || lattice.values.size() != g.width * g.height || std::isnan(latitude) ||
        std::isnan(longitude)) {
        return nan;
    }
    // Row 0 is the northern edge.
    const double r = (g.north() - latitude) / g.latStep;
    double lonOffset = std::fmod(longitude - g.west, 360.0);
    if (lonOffset < 0.0) {
        lonOffset += 360.0;
    }
    const double c = lonOffset / g.lonStep;
    const auto lastRow = static_cast<double>(g.height - 1);
    const auto lastColumn = static_cast<double>(g.width - 1);
    constexpr double kSlack = 1e-6;
    if (r < -kSlack || r > lastRow + kSlack || c > lastColumn + kSlack) {
        return nan;
    }
    const auto r0 = static_cast<std::size_t>(std::clamp(std::floor(r), 0.0, lastRow - 1.0));
    const auto c0 = static_cast<std::size_t>(std::clamp(std::floor(c), 0.0, lastColumn - 1.0));
    const auto fr = static_cast<float>(std::clamp(r - static_cast<double>(r0), 0.0, 1.0));
    const auto fc = static_cast<float>(std::clamp(c - static_cast<double>(c0), 0.0, 1.0));
    float v00 = lattice.at(r0, c0);
    float v01 = lattice.at(r0, c0 + 1);
    float v10 = lattice.at(r0 + 1, c0);
    float v11 = lattice.at(r0 + 1, c0 + 1);
    bool shifted = false;
    if (wrapsAt180 && std::max({v00, v01, v10, v11}) - std::min({v00, v01, v10, v11}) > 180.0f) {
        // Near a dip pole the declination turns through +-180 between two
        // nodes: the negative ones are taken round to the positive side.
        for (float* v : {&v00, &v01, &v10, &v11}) {
            *v += *v < 0.0f ? 360.0f : 0.0f;
        }
        shifted = true;
    }
    const float near0 = v00 + (v01 - v00) * fc;
    const float near1 = v10 + (v11 - v10) * fc;
    const float value = near0 + (near1 - near0) * fr;
    return shifted && value > 180.0f ? value - 360.0f : value;
}

bool elementIsSigned(FieldElement element)
{
    return element != FieldElement::F && element != FieldElement::H && element != FieldElement::SigmaD;
}

bool elementIsAnnualChange(FieldElement element)
{
    return element >= FieldElement::DeltaD && element <= FieldElement::DeltaZ;
}

QString elementTitle(FieldElement element)
{
    const ElementInfo& info = elementInfo(element);
    QString title = qs(info.description);
    if (!title.isEmpty()) {
        title[0] = title[0].toUpper();
    }
    return title + QStringLiteral(" (") + qs(info.code) + QLatin1Char(')');
}

}  // namespace tellurim
