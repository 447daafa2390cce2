#include "cli/Cli.h"

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"

#include <string_view>
#include <vector>

namespace tellurim::cli {

namespace {

constexpr std::string_view kUsage =
    "Usage: tellurim-cli COMMAND [OPTIONS]\n"
    "Computes the Earth's main magnetic field from a spherical-harmonic model file (.COF).\n"
    "\n"
    "Commands:\n"
    "  point   the field at one place and date\n"
    "  grid    a grid of the field over a latitude/longitude rectangle: CSV, GeoTIFF,\n"
    "          NetCDF or ESRI ASCII grid\n"
    "  contours  isolines of one element (and the compass zones) for a GIS\n"
    "  poles   the north and south magnetic dip poles for a date\n"
    "  batch   the field at places read from standard input, as CSV\n"
    "\n"
    "  tellurim-cli COMMAND --help   shows the options of a command\n"
    "  tellurim-cli --version        shows the version\n"
    "\n"
    "Latitudes and longitudes are decimal degrees, north and east positive; a\n"
    "trailing N, S, E or W may replace the sign (45.5S, 105W). Dates are given as\n"
    "--date YYYY-MM-DD or as --year DECIMAL (1000 to 3000). The model is WMM2025.COF\n"
    "unless --model names another file; a bare name is also looked up among the\n"
    "shipped models.\n"
    "\n"
    "Exit status: 0 success, 1 the model, the output or a batch line failed,\n"
    "2 the command line was refused, 130 a grid was interrupted (Ctrl-C),\n"
    "141 standard output was a pipe that its reader closed.\n";

constexpr std::string_view kPointHelp =
    "Usage: tellurim-cli point (--lat DEG --lon DEG | --crs SYSTEM --easting E --northing N)\n"
    "                          (--date YYYY-MM-DD | --year DECIMAL) [--elevation METRES]\n"
    "                          [--model FILE] [--crs SYSTEM] [--csv [--with LIST] | --json]\n"
    "Shows the total field, inclination, declination, the X, Y, Z and H components\n"
    "and their annual changes, the validity and the polar grid variation at one place,\n"
    "with the model's published uncertainty (one standard deviation) and the compass\n"
    "zone: caution where H is below 6000 nT, blackout (compass unreliable) below 2000 nT.\n"
    "Then grid north: the point's easting and northing, the meridian convergence (the\n"
    "bearing of grid north clockwise from true north) and the grid declination\n"
    "(declination less convergence), in the point's UTM zone or the --crs system.\n"
    "\n"
    "  --lat DEG            latitude, -90 to 90 (or 0 to 90 with N or S)\n"
    "  --lon DEG            longitude, -180 to 180 (or 0 to 180 with E or W)\n"
    "  --crs SYSTEM         projected system of grid north: EPSG:27700, a PROJ string\n"
    "                       with +type=crs, or WKT (default: the point's UTM zone, UPS\n"
    "                       from 84N and south of 80S)\n"
    "  --easting E, --northing N\n"
    "                       the place as a position in the --crs system's unit instead\n"
    "                       of --lat and --lon; its latitude and longitude are shown\n"
    "  --date YYYY-MM-DD    calendar date (a real date)\n"
    "  --year DECIMAL       decimal year, 1000 to 3000\n"
    "  --elevation METRES   height above the WGS-84 ellipsoid, -200 to 1000000 (default 0)\n"
    "  --model FILE         model coefficient file (default WMM2025.COF)\n"
    "  --csv                the grid file's header and line for this point instead\n"
    "  --with LIST          with --csv: append columns, as grid --with\n"
    "  --json               one JSON object instead: every element with its annual change\n"
    "                       and uncertainty, the zone, the validity, grid north and the model\n";

constexpr std::string_view kGridHelp =
    "Usage: tellurim-cli grid --lat START END STEP --lon START END STEP\n"
    "                         (--date YYYY-MM-DD | --year DECIMAL) [--elevation METRES]\n"
    "                         [--model FILE] [--output FILE] [--threads N] [--force]\n"
    "                         [--with uncertainty,zone,grid] [--crs SYSTEM]\n"
    "                         [--element E ...]\n"
    "Writes a grid CSV file: latitude rows from START upward in steps of STEP, each\n"
    "with the longitudes from START upward, the steps accumulated in single precision\n"
    "as the desktop program's grid files are. An --output file is written under a\n"
    "temporary name beside it and replaces the old file only when complete; a\n"
    "failed or interrupted run keeps the old file.\n"
    "\n"
    "The output's extension chooses the format: .csv (or none) the CSV grid; .tif or\n"
    ".tiff a GeoTIFF, .nc a NetCDF file (CF-1.8), .asc an ESRI ASCII grid of one\n"
    "--element. A raster is node-registered WGS 84 (EPSG:4326, AREA_OR_POINT=Point):\n"
    "node k lies exactly at START + k * STEP up to END, north-up, Float32, NaN where\n"
    "there is no value; a band per quantity: D I F H X Y Z, their annual changes\n"
    "dD dI dF dH dX dY dZ and, where the model publishes it, sigmaD (the declination's\n"
    "one-sigma uncertainty).\n"
    "\n"
    "  --lat START END STEP  latitudes -90 to 90, step 0.001 to 180\n"
    "  --lon START END STEP  longitudes -180 to 180, step 0.001 to 180\n"
    "  --date, --year        the date, as for point\n"
    "  --elevation METRES    -200 to 1000000 (default 0)\n"
    "  --model FILE          model coefficient file (default WMM2025.COF)\n"
    "  --output FILE         write to FILE instead of standard output\n"
    "  --threads N           threads to compute on, 1 to 256 (default: one per core);\n"
    "                        the output is the same for every N\n"
    "  --with LIST           append columns after the grid file's own, in the order\n"
    "                        given: uncertainty (the model's published one-sigma\n"
    "                        figures, N/A where none, D unbounded near the dip poles),\n"
    "                        zone (none, caution, blackout, or not-computed where H is\n"
    "                        not a number), grid (system, easting, northing,\n"
    "                        convergence, scale factor, grid declination and its\n"
    "                        annual change)\n"
    "  --crs SYSTEM          the system of the grid columns, as for point (default:\n"
    "                        each point's UTM zone)\n"
    "  --force               write the --output file even when its estimated size is\n"
    "                        more than its file system has free\n"
    "  --element E           a raster's band, repeatable, in the order given (default:\n"
    "                        every quantity): D I F H X Y Z dD dI dF dH dX dY dZ sigmaD\n";

constexpr std::string_view kContoursHelp =
    "Usage: tellurim-cli contours --element E (--date YYYY-MM-DD | --year DECIMAL)\n"
    "                             --output FILE [--interval STEP] [--base LEVEL]\n"
    "                             [--lat START END STEP --lon START END STEP]\n"
    "                             [--elevation METRES] [--model FILE] [--zones] [--threads N]\n"
    "Traces isolines of one element with GDAL's contour generator over a raster of\n"
    "the field and writes them as LineString features with the fields element, value\n"
    "(the isoline's level) and unit; the model and the date are layer metadata. The\n"
    "extension chooses the format: .gpkg, .geojson, .shp or .kml. Declination lines\n"
    "never follow the +-180 degree jump around the dip poles, and the agonic line\n"
    "(0 degrees) is always drawn.\n"
    "\n"
    "  --element E           D I F H X Y Z dD dI dF dH dX dY dZ sigmaD\n"
    "  --interval STEP       the levels' spacing in the element's unit, above 0; by\n"
    "                        default as the world charts: D 2 deg, I 5 deg, F H X Y Z\n"
    "                        1000 nT, dD dI 2 arcmin/yr, dF dH dX dY dZ 10 nT/yr,\n"
    "                        sigmaD 0.5 deg\n"
    "  --base LEVEL          a level the others are counted from (default 0)\n"
    "  --lat, --lon          the raster traced over (default the whole Earth at 0.25)\n"
    "  --date, --year        the date, as for point\n"
    "  --elevation METRES    -200 to 1000000 (default 0)\n"
    "  --model FILE          model coefficient file (default WMM2025.COF)\n"
    "  --zones               add the compass caution (H below 6000 nT) and blackout\n"
    "                        (below 2000 nT) areas as polygons with a field zone\n"
    "  --threads N           threads to compute the raster on (default one per core)\n"
    "  --output FILE         the file to write (replaced only once complete)\n";

constexpr std::string_view kPolesHelp =
    "Usage: tellurim-cli poles (--date YYYY-MM-DD | --year DECIMAL) [--model FILE] [--csv | --json]\n"
    "Shows the north and south magnetic dip poles, in decimal degrees and in degrees,\n"
    "minutes and seconds.\n"
    "\n"
    "  --date, --year   the date, as for point\n"
    "  --model FILE     model coefficient file (default WMM2025.COF)\n"
    "  --csv            the pole export file's header and row instead\n"
    "  --json           one JSON object per pole instead, with the field at the pole\n";

constexpr std::string_view kBatchHelp =
    "Usage: tellurim-cli batch [--model FILE] [--elevation METRES] [--date YYYY-MM-DD | --year DECIMAL]\n"
    "                          [--crs SYSTEM] [--json | --with uncertainty,zone,grid]\n"
    "Reads lines 'LAT LON [ELEVATION_M [DECIMAL_YEAR]]' (separated by blanks or commas)\n"
    "from standard input and writes one CSV line per input line, in input order: the\n"
    "decimal year, the elevation, then the grid file's columns. Missing elevations\n"
    "and years come from the options. Blank lines and lines starting with # are\n"
    "skipped; a bad line (also one longer than 4096 bytes) is reported on standard\n"
    "error as 'line N: ...' and skipped, and the exit status is then 1.\n"
    "\n"
    "  --date, --year     the date of lines without a year, as for point\n"
    "  --elevation METRES the elevation of lines without one (default 0)\n"
    "  --model FILE       model coefficient file (default WMM2025.COF)\n"
    "  --crs SYSTEM       lines read 'EASTING NORTHING [ELEVATION_M [DECIMAL_YEAR]]' in\n"
    "                     this projected system (as for point), which grid north uses too\n"
    "  --json             one JSON object per line instead of CSV, as point --json\n"
    "  --with LIST        append columns after the CSV's own, as grid --with\n";

std::string_view helpText(Command command)
{
    switch (command) {
    case Command::Point:
        return kPointHelp;
    case Command::Grid:
        return kGridHelp;
    case Command::Poles:
        return kPolesHelp;
    case Command::Batch:
        return kBatchHelp;
    case Command::Contours:
        return kContoursHelp;
    case Command::None:
        break;
    }
    return kUsage;
}

// Plain text for --help and --version; nothing else is written to out then.
int printText(CliContext& context, std::string_view text)
{
    context.out << text;
    context.out.flush();
    if (!context.out) {
        return reportWriteError(context, *StreamTarget(context.out).finish());
    }
    return kExitOk;
}

}  // namespace

int runCli(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err, bool progress,
           bool catchInterrupt)
{
    CliContext context{in, out, err, progress, catchInterrupt};
    std::vector<std::string_view> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i] != nullptr ? argv[i] : "");
    }
    const Checked<CliOptions> parsed = parseCommandLine(args);
    if (!parsed) {
        printError(err, parsed.error);
        return kExitUsage;
    }
    const CliOptions& options = *parsed.value;
    if (options.version) {
        return printText(context, std::string(kProgramName) + " " + TELLURIM_VERSION + "\n");
    }
    if (options.help) {
        return printText(context, helpText(options.command));
    }
    switch (options.command) {
    case Command::Point:
        return runPoint(options, context);
    case Command::Grid:
        return runGrid(options, context);
    case Command::Poles:
        return runPoles(options, context);
    case Command::Batch:
        return runBatch(options, context);
    case Command::Contours:
        return runContours(options, context);
    case Command::None:
        break;
    }
    printError(err, "no command given (try --help)");
    return kExitUsage;
}

}  // namespace tellurim::cli
