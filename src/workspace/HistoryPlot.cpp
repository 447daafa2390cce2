#include "workspace/HistoryPlot.h"

#include "engine/HistoryModel.h"
#include "engine/MagneticModel.h"
#include "engine/ModelChain.h"
#include "files/ReplaceFile.h"
#include "grid/FieldSeries.h"
#include "grid/SeriesCsv.h"

#include <algorithm>
#include <cmath>

namespace tellurim {

std::string_view historyElementName(HistoryElement element)
{
    switch (element) {
    case HistoryElement::Declination: return "Declination";
    case HistoryElement::Inclination: return "Inclination";
    case HistoryElement::TotalField: return "Total field";
    case HistoryElement::HorizontalField: return "Horizontal field";
    }
    return {};
}

std::string_view historyElementUnit(HistoryElement element)
{
    return element == HistoryElement::Declination || element == HistoryElement::Inclination ? "deg" : "nT";
}

float historyValue(const FieldResult& result, HistoryElement element)
{
    switch (element) {
    case HistoryElement::Declination: return result.DEC;
    case HistoryElement::Inclination: return result.DIP;
    case HistoryElement::TotalField: return result.TI;
    case HistoryElement::HorizontalField: return result.BH;
    }
    return 0.0f;
}

namespace {

std::string trimmed(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    text.erase(0, text.find_first_not_of(' '));
    return text;
}

std::vector<HistorySegment> segmentsOf(const MagneticModel& model, double from, double to)
{
    const auto* timeline = dynamic_cast<const HistoryTimeline*>(&model.timeline());
    const auto* chain = timeline ? dynamic_cast<const ModelChain*>(&timeline->history()) : nullptr;
    if (chain == nullptr)
        return {HistorySegment{from, to, trimmed(model.name()), false}};
    std::vector<HistorySegment> segments;
    for (const ModelChain::Segment& segment : chain->segments())
        segments.push_back({segment.from, segment.to, segment.model ? segment.model->name() : "blend",
                            !segment.model});
    return segments;
}

}  // namespace

FieldHistory fieldHistory(const MagneticModel& model, const LocationRecord& record)
{
    FieldHistory history;
    history.modelName = trimmed(model.name());
    history.latitude = signedLatitude(record);
    history.longitude = signedLongitude(record);
    history.elevation = record.ALTM;
    history.from = static_cast<double>(model.validFrom());
    history.to = history.from + static_cast<double>(model.lifeSpan());
    history.segments = segmentsOf(model, history.from, history.to);

    const double span = history.to - history.from;
    const double step = std::max(1.0 / 12.0, span / static_cast<double>(kMaxHistoryDates - 1));
    const SeriesDates dates{history.from, history.to, step};
    const FieldSeries series(model, history.elevation, history.latitude, history.longitude);
    const std::uint64_t count = std::min<std::uint64_t>(dates.count(), kMaxHistoryDates);
    history.years.reserve(count);
    history.results.reserve(count);
    for (std::uint64_t i = 0; i < count; ++i) {
        const float year = dates.at(i);
        history.years.push_back(year);
        history.results.push_back(series.at(year));
    }
    return history;
}

std::optional<FileError> writeHistoryCsv(const std::string& path, const FieldHistory& history)
{
    std::string bytes;
    appendSeriesHeader(bytes);
    for (std::size_t i = 0; i < history.years.size(); ++i)
        appendSeriesLine(bytes, history.years[i], history.elevation, history.latitude, history.longitude,
                         history.results[i]);
    if (std::optional<ReplaceFailure> failure = replaceFileContents(path, bytes))
        return failure->error;
    return std::nullopt;
}

}  // namespace tellurim
