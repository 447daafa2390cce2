#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "engine/FieldRow.h"
#include "grid/GridCsv.h"
#include "record/PointText.h"
#include "record/ResultTexts.h"

#include <string>

namespace tellurim::cli {

int runPoint(const CliOptions& options, CliContext& context)
{
    const std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    const float year = options.decimalYear();
    const float latitude = *options.latitude;
    const float longitude = *options.longitude;
    warnOutsideLifeSpan(*model, year, context.err);
    const FieldResult result = model->point(year, latitude, longitude, options.elevationMetres());

    std::string text;
    if (options.csv) {
        text = gridCsvHeader();
        appendGridLine(text, latitude, longitude, result);
    } else if (options.json) {
        appendPointJson(text, JsonPoint{latitude, longitude, options.elevationMetres(), year, {}}, result,
                        modelProvenance(*model, modelName(options)));
    } else {
        const PointDescription point{.model = modelName(options),
                                     .headerName = model->name(),
                                     .latitude = latitude,
                                     .longitude = longitude,
                                     .elevation = options.elevationMetres(),
                                     .decimalYear = year,
                                     .date = options.date,
                                     .validity = std::string(validityText(result.dateOutOfRange,
                                                                          result.coordinatesOutOfRange))};
        text = pointTextBlock(point, result);
    }
    return writeOutput(context, text);
}

}  // namespace tellurim::cli
