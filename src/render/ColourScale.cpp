#include "render/ColourScale.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

namespace {

struct Rgb {
    double r, g, b;
};

// ColorBrewer's RdBu, reversed so that the cool end is negative: safe for
// the common colour-vision deficiencies.
constexpr std::array<Rgb, 11> kDiverging{{
    {5, 48, 97}, {33, 102, 172}, {67, 147, 195}, {146, 197, 222}, {209, 229, 240}, {247, 247, 247},
    {253, 219, 199}, {244, 165, 130}, {214, 96, 77}, {178, 24, 43}, {103, 0, 31},
}};

// Viridis, sampled at nine points: lightness rises evenly from end to end.
constexpr std::array<Rgb, 9> kSequential{{
    {68, 1, 84}, {71, 45, 123}, {59, 82, 139}, {44, 114, 142}, {33, 145, 140},
    {40, 174, 128}, {94, 201, 98}, {173, 220, 48}, {253, 231, 37},
}};

template <std::size_t N>
std::array<uint32_t, 256> interpolated(const std::array<Rgb, N>& anchors)
{
    std::array<uint32_t, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const double position = static_cast<double>(i) / 255.0 * static_cast<double>(N - 1);
        const auto k = std::min(static_cast<std::size_t>(position), N - 2);
        const double t = position - static_cast<double>(k);
        const auto channel = [&](double a, double b) { return static_cast<uint32_t>(std::lround(a + (b - a) * t)); };
        table[i] = 0xFF000000U | channel(anchors[k].r, anchors[k + 1].r) << 16 |
                   channel(anchors[k].g, anchors[k + 1].g) << 8 | channel(anchors[k].b, anchors[k + 1].b);
    }
    return table;
}

const std::array<uint32_t, 256>& divergingTable()
{
    static const auto table = interpolated(kDiverging);
    return table;
}

const std::array<uint32_t, 256>& sequentialTable()
{
    static const auto table = interpolated(kSequential);
    return table;
}

}  // namespace

const std::array<uint32_t, 256>& ColourScale::palette() const
{
    return diverging ? divergingTable() : sequentialTable();
}

uint32_t ColourScale::colourOf(double value) const
{
    if (std::isnan(value) || !(high > low)) {
        return 0;
    }
    const double t = std::clamp((value - low) / (high - low), 0.0, 1.0);
    return palette()[static_cast<std::size_t>(t * 255.0 + 0.5)];
}

std::vector<double> ColourScale::levels() const
{
    std::vector<double> result;
    if (!(interval > 0.0) || !(high > low)) {
        return result;
    }
    const double first = std::ceil(low / interval - 1e-9);
    for (double k = first; k * interval <= high + interval * 1e-9 && result.size() < 1000; k += 1.0) {
        const double level = k * interval;
        result.push_back(std::abs(level) < interval * 1e-9 ? 0.0 : level);
    }
    return result;
}

double roundInterval(double span, int bands)
{
    if (!(span > 0.0) || !std::isfinite(span)) {
        return 1.0;
    }
    const double raw = span / bands;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (raw <= factor * power * 1.0000001) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

ColourScale scaleFor(std::span<const float> values, bool isSigned)
{
    std::vector<float> finite;
    finite.reserve(values.size());
    const std::size_t stride = std::max<std::size_t>(1, values.size() / 20000);
    for (std::size_t i = 0; i < values.size(); i += stride) {
        if (std::isfinite(values[i])) {
            finite.push_back(values[i]);
        }
    }
    ColourScale scale;
    scale.diverging = isSigned;
    if (finite.empty()) {
        return scale;
    }
    const auto percentile = [&finite](double p) {
        const auto k = static_cast<std::size_t>(p * static_cast<double>(finite.size() - 1));
        std::nth_element(finite.begin(), finite.begin() + static_cast<std::ptrdiff_t>(k), finite.end());
        return static_cast<double>(finite[k]);
    };
    double low = percentile(0.02);
    double high = percentile(0.98);
    if (isSigned) {
        const double reach = std::max(std::abs(low), std::abs(high));
        low = -reach;
        high = reach;
    }
    if (!(high > low)) {
        const double pad = std::max(1.0, std::abs(high) * 0.01);
        low -= pad;
        high += pad;
    }
    scale.interval = roundInterval(high - low, 10);
    scale.low = std::floor(low / scale.interval) * scale.interval;
    scale.high = std::ceil(high / scale.interval) * scale.interval;
    return scale;
}

}  // namespace tellurim
