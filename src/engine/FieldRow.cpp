#include "engine/FieldRow.h"

#include "engine/FieldElements.h"

#include <algorithm>
#include <array>

namespace tellurim {

FieldRow::FieldRow(const MagneticModel& model, float decimalYear, float latitudeDeg, float elevationM)
    : m_model(&model), m_latitude(latitudeDeg), m_place(geodeticTerms(elevationM / 1000.0f, latitudeDeg))
{
    CoefficientTable P;
    CoefficientTable DP;
    legendreFunctions(model, m_place, P, DP);
    const std::vector<double> weights = orderWeights(model, P, DP, m_place.R);
    if (m_place.ST == 0.0f)
        m_poleFunctions = poleFunctions(model, m_place.CT);
    m_date = timeTerms(decimalYear, weights);
    // The same place one year on: only the coefficients change.
    m_nextYear = timeTerms(decimalYear + 1.0f, weights);
}

FieldRow::TimeTerms FieldRow::timeTerms(float year, const std::vector<double>& weights) const
{
    const MagneticModel& model = *m_model;
    TimeTerms time;
    time.year = year;
    time.outsideLifeSpan = !model.coversDate(year);
    const auto degree = static_cast<std::size_t>(model.degree());
    time.pairs.assign(2 * orderIndex(degree + 1, degree), 0.0f);
    model.timeline().coefficientsAt(year, time.pairs);
    time.sums = formOrderSums(model, time.pairs, weights, m_place.R);
    if (m_place.ST != 0.0f)
        time.pairs = {};
    return time;
}

LaneAngles FieldRow::laneAngles() const
{
    const std::size_t size = (static_cast<std::size_t>(m_model->degree()) + 1) * kLongitudeLanes;
    return {std::vector<double>(size, 0.0), std::vector<double>(size, 0.0)};
}

template <std::size_t Lanes>
void FieldRow::fieldLanes(const TimeTerms& time, const float* longitudes, const LaneAngles& angles,
                          FieldAtTime* out) const
{
    const MagneticModel& model = *m_model;
    const auto degree = static_cast<std::size_t>(model.degree());
    LaneField field;
    sumLanes<Lanes>(time.sums, angles, degree, field);
    std::array<double, Lanes> by;
    if (m_place.ST == 0.0f) {
        for (std::size_t lane = 0; lane < Lanes; ++lane)
            by[lane] = poleEastComponent(model, m_poleFunctions, time.pairs, angles.cosm[Lanes + lane],
                                         angles.sinm[Lanes + lane], time.sums.aor);
    } else {
        for (std::size_t lane = 0; lane < Lanes; ++lane)
            by[lane] = field.bp[lane] / static_cast<double>(m_place.ST);
    }
    setIntensityAndAngles<Lanes>(m_place, field, by, out);
    for (std::size_t lane = 0; lane < Lanes; ++lane) {
        FieldAtTime& o = out[lane];
        o.gridVariation = gridVariation(o.declination, m_latitude, longitudes[lane]);
        o.dateOutOfRange = time.outsideLifeSpan ? 1 : 0;
        o.coordinatesOutOfRange = outsideRegion(model.bounds(), m_latitude, longitudes[lane]) ? 1 : 0;
    }
}

FieldAtTime FieldRow::fieldAt(float longitudeDeg) const
{
    LaneAngles angles = laneAngles();
    longitudeLanes<1>(&longitudeDeg, static_cast<std::size_t>(m_model->degree()), angles);
    FieldAtTime out;
    fieldLanes<1>(m_date, &longitudeDeg, angles, &out);
    return out;
}

FieldResult FieldRow::at(float longitudeDeg) const
{
    FieldResult result;
    evaluate(std::span<const float>{&longitudeDeg, 1}, std::span<FieldResult>{&result, 1});
    return result;
}

void FieldRow::evaluate(std::span<const float> longitudesDeg, std::span<FieldResult> results) const
{
    const std::size_t count = std::min(longitudesDeg.size(), results.size());
    const auto degree = static_cast<std::size_t>(m_model->degree());
    LaneAngles angles = laneAngles();
    std::array<float, kLongitudeLanes> lanes{};
    std::array<FieldAtTime, kLongitudeLanes> now{};
    std::array<FieldAtTime, kLongitudeLanes> next{};
    for (std::size_t begin = 0; begin < count; begin += kLongitudeLanes) {
        const std::size_t used = std::min(kLongitudeLanes, count - begin);
        if (used == 1) {
            // A single point (the window, point, batch) takes one lane.
            longitudeLanes<1>(&longitudesDeg[begin], degree, angles);
            fieldLanes<1>(m_date, &longitudesDeg[begin], angles, now.data());
            fieldLanes<1>(m_nextYear, &longitudesDeg[begin], angles, next.data());
        } else {
            // A short last block repeats its last longitude in the spare lanes.
            for (std::size_t lane = 0; lane < kLongitudeLanes; ++lane)
                lanes[lane] = longitudesDeg[begin + std::min(lane, used - 1)];
            longitudeLanes<kLongitudeLanes>(lanes.data(), degree, angles);
            fieldLanes<kLongitudeLanes>(m_date, lanes.data(), angles, now.data());
            fieldLanes<kLongitudeLanes>(m_nextYear, lanes.data(), angles, next.data());
        }
        fieldResults(now.data(), next.data(), used, &results[begin]);
    }
}

FieldRow MagneticModel::row(float decimalYear, float latitudeDeg, float elevationM) const
{
    return FieldRow{*this, decimalYear, latitudeDeg, elevationM};
}

FieldResult MagneticModel::point(float decimalYear, float latitudeDeg, float longitudeDeg, float elevationM) const
{
    return row(decimalYear, latitudeDeg, elevationM).at(longitudeDeg);
}

}  // namespace tellurim
