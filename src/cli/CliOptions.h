#pragma once

#include "cli/CliAccuracy.h"
#include "cli/ValueParsing.h"
#include "gis/FieldElement.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim::cli {

enum class Command { None, Point, Grid, Poles, Batch, Contours };

/// One grid axis as typed: start and end in signed degrees, step in degrees.
struct AxisRange {
    float start = 0.0f;
    float end = 0.0f;
    float step = 0.0f;
};

/// The command line, checked against the accepted ranges.
struct CliOptions {
    Command command = Command::None;
    bool help = false;     ///< --help: usage of the command (or of the program)
    bool version = false;  ///< --version
    std::optional<float> latitude;   ///< point: degrees, north positive
    std::optional<float> longitude;  ///< point: degrees, east positive
    std::optional<AxisRange> latitudes;   ///< grid
    std::optional<AxisRange> longitudes;  ///< grid
    std::optional<CalendarDate> date;     ///< --date
    std::optional<float> year;            ///< --year, decimal year as given
    std::optional<float> elevation;       ///< metres
    std::string model;                    ///< model file; empty means the default
    bool csv = false;
    std::optional<std::string> output;    ///< grid: output file; none means standard output
    int threads = 0;                      ///< grid: worker threads; 0 means one per core
    bool json = false;                    ///< point, poles, batch: one JSON object per point
    std::vector<ExtraColumns> with;       ///< grid, batch: column groups appended to each row
    bool force = false;                   ///< grid: write even when the output's file system looks too full
    /// point, batch, grid: the projected system of grid north (and of the
    /// point's easting and northing); none means each point's UTM zone.
    std::optional<std::string> crs;
    std::optional<double> easting;   ///< point: in the --crs system's unit, instead of --lat/--lon
    std::optional<double> northing;  ///< point: likewise
    std::vector<FieldElement> elements;   ///< grid (raster bands), contours (one): --element, in the order given
    std::optional<float> interval;        ///< contours: isoline spacing in the element's unit, above 0
    std::optional<float> base;            ///< contours: a level every interval is counted from
    bool zones = false;                   ///< contours: add the compass caution and blackout areas

    bool hasDate() const { return date.has_value() || year.has_value(); }
    /// The decimal year of --date (by the record's date conversion) or --year.
    /// Only meaningful when hasDate().
    float decimalYear() const;
    float elevationMetres() const { return elevation.value_or(0.0f); }
};

/// Parses the arguments after the program name: the checked options, or the
/// one-line reason the command line was refused.
Checked<CliOptions> parseCommandLine(const std::vector<std::string_view>& args);

/// The name a command is typed as ("point"), empty for Command::None.
std::string_view commandName(Command command);

}  // namespace tellurim::cli
