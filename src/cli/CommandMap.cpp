#include "cli/CliCommon.h"
#include "cli/CliOutput.h"
#include "engine/MagneticModel.h"
#include "render/MapExport.h"
#include "render/LatticeSampling.h"
#include "render/MapRenderer.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace tellurim::cli {

namespace {

// Qt's notes about the offscreen platform (no runtime folder, say) are not
// the user's business; its errors still reach standard error.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s: %s\n", kProgramName.data(), message.toLocal8Bit().constData());
    }
}

// Text needs a QGuiApplication; the command line draws without a display.
void ensureGuiApplication()
{
    if (QCoreApplication::instance() != nullptr) {
        return;
    }
    qInstallMessageHandler(quietQtNotes);
    static int argc = 3;
    static char name[] = "tellurim-cli";
    static char option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, option, platform, nullptr};
    static QGuiApplication application(argc, argv);
}

std::string qualified(std::string_view what, const MapFieldSource& source)
{
    return std::string(what) + " of " + (source.modelName().empty() ? "this model" : source.modelName());
}

}  // namespace

int runMap(const CliOptions& options, CliContext& context)
{
    const std::string& output = *options.output;
    const auto format = mapFormatOf(output);
    if (!format) {
        printError(context.err, "--output must name a .png, .svg or .pdf file (got '" + echoed(output) + "')");
        return kExitUsage;
    }
    std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    warnOutsideLifeSpan(*model, options.decimalYear(), context.err);
    const FieldElement element = options.elements.front();
    MapRenderer renderer(std::move(model));
    if (!renderer.source().provides(element)) {
        const std::string why = elementIsAnnualChange(element)
                                    ? "has no annual change (its coefficients do not change with time)"
                                    : "has no published declination uncertainty";
        printError(context.err, "the model " + modelName(options) + " " + why + "; --element " +
                                    std::string(elementInfo(element).code) + " cannot be drawn");
        return kExitUsage;
    }
    ensureGuiApplication();
    const MapView view(options.projection, options.region, QSize(options.width, options.height));
    MapRequest request;
    request.element = element;
    request.date = options.decimalYear();
    request.elevation = options.elevationMetres();
    request.isolines = options.isolines;
    request.zones = options.zones;
    const MapLayout layout = renderer.layout(view, request);
    if (const std::string& problem = shippedCoastlines().problem; !problem.empty()) {
        printError(context.err, "the coastlines are not drawn: " + problem);
    }
    if (const auto failure = writeMapFile(output, layout, *format)) {
        if (!failure->file) {
            printError(context.err, "cannot draw " + qualified("the map", renderer.source()) + ": " + failure->reason);
            return kExitFailure;
        }
        if (failure->file->stage == ReplaceStage::Create) {
            printError(context.err, "cannot create the output file: " + standardReportText(failure->file->error));
            return kExitFailure;
        }
        return reportWriteError(context, failure->file->error);
    }
    return kExitOk;
}

}  // namespace tellurim::cli
