#include "record/ResultTexts.h"

#include "record/NumberText.h"

#include <utility>

namespace tellurim {

namespace {

constexpr std::string_view kNotApplicable = "N/A";

}  // namespace

std::string_view validityText(int32_t dateOutOfRange, int32_t coordinatesOutOfRange)
{
    if (dateOutOfRange < 0) {
        return "There is no current model so results cannot be updated";
    }
    if (dateOutOfRange > 0) {
        return coordinatesOutOfRange != 0
                   ? "Both the date and the coordinates are out of range for the selected model"
                   : "The year is out of range for the selected model";
    }
    return coordinatesOutOfRange != 0 ? "The coordinates are out of range for the selected model"
                                      : "OK";
}

bool hasGridVariation(const FieldResult& result)
{
    // Written as a less-than so that a NaN counts as not applicable too.
    return result.gridVariation < kNoGridVariation;
}

double gridVariationChange(const FieldResult& result)
{
    return angleChangeMinutes(result.gridVariation, result.gridVariationNextYear);
}

GridVariationTexts gridVariationTexts(const FieldResult& result)
{
    GridVariationTexts texts;
    if (!hasGridVariation(result)) {
        texts.CPOLAR1 = kNotApplicable;
        texts.CPOLAR2 = kNotApplicable;
        return texts;
    }
    appendWidth8Fixed2(texts.CPOLAR1, static_cast<double>(result.gridVariation));
    appendWidth8Fixed2(texts.CPOLAR2, gridVariationChange(result));
    return texts;
}

ResultTexts resultTexts(const FieldResult& result)
{
    GridVariationTexts grid = gridVariationTexts(result);
    ResultTexts texts;
    texts.CVALIDITY = validityText(result.dateOutOfRange, result.coordinatesOutOfRange);
    texts.CPOLAR1 = std::move(grid.CPOLAR1);
    texts.CPOLAR2 = std::move(grid.CPOLAR2);
    texts.hasGridVariation = hasGridVariation(result);
    return texts;
}

}  // namespace tellurim
