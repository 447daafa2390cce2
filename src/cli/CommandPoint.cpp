#include "cli/CliAccuracy.h"
#include "cli/CliCommon.h"
#include "engine/ModelEngine.h"
#include "grid/GridCsv.h"
#include "record/PointText.h"
#include "record/ResultTexts.h"

#include <string>

namespace tellurim::cli {

int runPoint(const CliOptions& options, CliContext& context)
{
    StreamMessageSink sink(context.err);
    ModelEngine engine(sink);
    if (!loadModel(engine, options, context.err)) {
        return kExitFailure;
    }
    const float year = options.decimalYear();
    const float latitude = *options.latitude;
    const float longitude = *options.longitude;
    // Signed coordinates, so neither selector negates anything.
    const FieldResult result = engine.computePoint(options.elevationMetres(), latitude, longitude, year);

    std::string text;
    if (options.csv) {
        text = gridCsvHeader();
        appendGridLine(text, latitude, longitude, result);
    } else if (options.json) {
        appendPointJson(text, JsonPoint{latitude, longitude, options.elevationMetres(), year, {}}, result,
                        modelProvenance(engine, modelName(options)));
    } else {
        const PointDescription point{.model = modelName(options),
                                     .headerName = engine.modelName(),
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
