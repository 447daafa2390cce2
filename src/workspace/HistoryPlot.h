#pragma once

#include "engine/FieldResult.h"
#include "files/FileError.h"
#include "record/LocationRecord.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

class MagneticModel;

/// The elements the history window can plot.
enum class HistoryElement { Declination, Inclination, TotalField, HorizontalField };

/// The element's name and unit as the plot labels them ("Declination", "deg").
std::string_view historyElementName(HistoryElement element);
std::string_view historyElementUnit(HistoryElement element);
/// The element's value in a result (degrees or nT).
float historyValue(const FieldResult& result, HistoryElement element);

/// A stretch of the model's span: one of the models of a chain, or a blend
/// between two of them (a plain model is one stretch).
struct HistorySegment {
    double from = 0.0;  ///< decimal year
    double to = 0.0;    ///< decimal year
    std::string name;   ///< the model's name, or "blend"
    bool blend = false;
};

/// The field at one place over the whole span of a model.
struct FieldHistory {
    std::string modelName;  ///< as the model names itself, without padding
    float latitude = 0.0f;   ///< degrees, north positive
    float longitude = 0.0f;  ///< degrees, east positive
    float elevation = 0.0f;  ///< metres
    double from = 0.0;       ///< first date, decimal year
    double to = 0.0;         ///< last date, decimal year
    std::vector<float> years;
    std::vector<FieldResult> results;  ///< one per date
    std::vector<HistorySegment> segments;
};

/// Most dates a history holds: by month over 440 years, by coarser steps
/// over longer spans (CALS10k.2's ten thousand years).
inline constexpr std::size_t kMaxHistoryDates = 6000;

/// The field at the record's place (its hemisphere selectors applied) from
/// the start to the end of the model, by month or by the step that keeps it
/// within kMaxHistoryDates.
FieldHistory fieldHistory(const MagneticModel& model, const LocationRecord& record);

/// Writes the history as CSV (the batch command's columns, a row per date)
/// through the one replacing write, so a failure keeps the old file.
std::optional<FileError> writeHistoryCsv(const std::string& path, const FieldHistory& history);

}  // namespace tellurim
