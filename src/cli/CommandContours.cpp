// tellurim-cli contours: isolines of one element (and the compass zones)
// as a GeoPackage, GeoJSON, shapefile or KML file.
#include "cli/CliCommon.h"
#include "gis/IsolineFile.h"
#include "gis/LatticeEvaluator.h"
#include "record/FieldAccuracy.h"

#include <algorithm>
#include <sys/stat.h>

namespace tellurim::cli {

namespace {

// The raster isolines are traced over is held in memory whole: 2^28
// single-precision nodes (1 GB) at most, a whole Earth at 0.015 degrees.
constexpr uint64_t kMaxContourNodes = uint64_t{1} << 28;

// The whole Earth at 0.25 degrees unless --lat and --lon say otherwise.
LatticeGeometry contourLattice(const CliOptions& options)
{
    const AxisRange lat = options.latitudes.value_or(AxisRange{-90.0f, 90.0f, 0.25f});
    const AxisRange lon = options.longitudes.value_or(AxisRange{-180.0f, 180.0f, 0.25f});
    return latticeOf(GridSettings{0, lat.start, lat.end, lat.step, lon.start, lon.end, lon.step});
}

// Why the command line cannot make these isolines, naming what to change;
// empty when it can.
std::string contourRefusal(const CliOptions& options, const LatticeGeometry& geometry)
{
    const std::string& output = *options.output;
    if (!vectorFormatFor(output)) {
        return "cannot tell the format of " + output + " from its extension; give a name ending in " +
               std::string(kVectorExtensions);
    }
    struct stat info {};
    if (::stat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return "isolines are written to a regular file, and " + output + " is not one";
    }
    if (geometry.width < 2 || geometry.height < 2) {
        return "isolines need at least two latitudes and two longitudes: widen --lat or --lon";
    }
    if (geometry.nodeCount() > kMaxContourNodes) {
        return "the raster the isolines are traced over would have " + std::to_string(geometry.nodeCount()) +
               " nodes, more than 2^28; choose larger steps or a smaller rectangle";
    }
    return {};
}

}  // namespace

int runContours(const CliOptions& options, CliContext& context)
{
    const LatticeGeometry geometry = contourLattice(options);
    if (std::string refused = contourRefusal(options, geometry); !refused.empty()) {
        printError(context.err, refused);
        return kExitUsage;
    }
    const std::string& output = *options.output;
    if (isTheModelFile(output, options)) {
        printError(context.err, output + " is the model file; the isolines would replace it");
        return kExitFailure;
    }
    const std::shared_ptr<const MagneticModel> model = loadModel(options, context.err);
    if (!model) {
        return kExitFailure;
    }
    warnOutsideLifeSpan(*model, options.decimalYear(), context.err);
    IsolineLayers layers{options.elements.front(), {}, std::nullopt, layerProvenance(*model, options)};
    const ElementInfo& info = elementInfo(layers.element);
    const PublishedAccuracy* accuracy = publishedAccuracy(model->name());
    if (layers.element == FieldElement::SigmaD && (accuracy == nullptr || !accuracy->hasDeclination)) {
        printError(context.err, "no declination uncertainty is published for this model; choose another --element");
        return kExitUsage;
    }
    // Ctrl-C while the field is evaluated and traced ends the run before
    // anything is written.
    const InterruptCatcher catcher(context.catchInterrupt);
    std::vector<FieldElement> elements{layers.element};
    if (options.zones && layers.element != FieldElement::H) {
        elements.push_back(FieldElement::H);
    }
    LatticeEvaluator evaluator(model, {options.elevationMetres(), options.decimalYear()},
                               static_cast<unsigned>(options.threads));
    const std::vector<Lattice> lattices = evaluator.evaluate(geometry, elements);
    const IsolineLevels levels{options.interval ? static_cast<double>(*options.interval) : info.defaultInterval,
                               static_cast<double>(options.base.value_or(0.0f))};
    auto traced = traceIsolines(lattices.front(), levels, info.wrapsAt180);
    if (!traced) {
        printError(context.err, traced.problem);
        return traced.problem.find("choose a larger interval") != std::string::npos ? kExitUsage : kExitFailure;
    }
    layers.isolines = std::move(*traced.value);
    if (options.zones) {
        auto zones = compassZonePolygons(lattices.back());
        if (!zones) {
            printError(context.err, zones.problem);
            return kExitFailure;
        }
        layers.zones = std::move(*zones.value);
    }
    if (InterruptCatcher::interrupted()) {
        printError(context.err, "interrupted; nothing was written");
        return kExitInterrupted;
    }
    if (const std::string problem = writeIsolineLayers(output, *vectorFormatFor(output), layers); !problem.empty()) {
        printError(context.err, problem);
        printError(context.err, "the old " + output + " is kept, if there was one");
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace tellurim::cli
