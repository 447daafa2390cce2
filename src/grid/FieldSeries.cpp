#include "grid/FieldSeries.h"

#include "engine/MagneticModel.h"

#include <cmath>

namespace tellurim {

namespace {

/// Lets the last date count when (to - from) / step lands a hair below a
/// whole number (1590 to 2030 by 1/12).
constexpr double kCountSlack = 1e-9;

}  // namespace

std::string SeriesDates::problem() const
{
    if (!(step != 0.0) || !std::isfinite(step))
        return "--step must not be 0";
    if ((to - from) * step < 0.0)
        return step > 0.0 ? "--step must be negative to run from a later --from to an earlier --to"
                          : "--step must be positive to run from an earlier --from to a later --to";
    if ((to - from) / step + 1.0 > static_cast<double>(kMaxCount))
        return "the series would have more than " + std::to_string(kMaxCount) + " dates";
    return {};
}

std::uint64_t SeriesDates::count() const
{
    return static_cast<std::uint64_t>(std::floor((to - from) / step + kCountSlack)) + 1;
}

float SeriesDates::at(std::uint64_t index) const
{
    return static_cast<float>(from + static_cast<double>(index) * step);
}

FieldSeries::FieldSeries(const MagneticModel& model, float elevation, float latitude, float longitude)
    : m_model(model), m_elevation(elevation), m_latitude(latitude), m_longitude(longitude)
{
}

FieldResult FieldSeries::at(float year) const
{
    return m_model.point(year, m_latitude, m_longitude, m_elevation);
}

}  // namespace tellurim
