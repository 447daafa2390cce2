#include "cli/CliOptions.h"

#include "record/Conversions.h"

#include <algorithm>
#include <array>

namespace tellurim::cli {

namespace {

constexpr std::array kCommands{Command::Point, Command::Grid, Command::Poles, Command::Batch, Command::Contours};

enum class Option { Lat, Lon, Date, Year, Elevation, Model, Csv, Output, Threads, Json, With, Force, Crs, Easting, Northing,
                    Element, Interval, Base, Zones };

// The commands an option is given to, one bit each.
using CommandSet = unsigned;

constexpr CommandSet bit(Command command)
{
    return 1U << static_cast<unsigned>(command);
}

constexpr CommandSet kPoint = bit(Command::Point);
constexpr CommandSet kGrid = bit(Command::Grid);
constexpr CommandSet kPoles = bit(Command::Poles);
constexpr CommandSet kBatch = bit(Command::Batch);
constexpr CommandSet kContours = bit(Command::Contours);
constexpr CommandSet kEveryCommand = kPoint | kGrid | kPoles | kBatch | kContours;

// One row per option: a new option is a row here and its step in the Parser
// (parseFlag for one without a value, storeValue for one with).
struct OptionSpec {
    std::string_view name;
    Option option;
    bool takesValue;
    CommandSet commands;
};

constexpr std::array kOptions{
    OptionSpec{"--lat", Option::Lat, true, kPoint | kGrid | kContours},
    OptionSpec{"--lon", Option::Lon, true, kPoint | kGrid | kContours},
    OptionSpec{"--date", Option::Date, true, kEveryCommand},
    OptionSpec{"--year", Option::Year, true, kEveryCommand},
    OptionSpec{"--elevation", Option::Elevation, true, kPoint | kGrid | kBatch | kContours},
    OptionSpec{"--model", Option::Model, true, kEveryCommand},
    OptionSpec{"--csv", Option::Csv, false, kPoint | kPoles},
    OptionSpec{"--output", Option::Output, true, kGrid | kContours},
    OptionSpec{"--threads", Option::Threads, true, kGrid | kContours},
    OptionSpec{"--force", Option::Force, false, kGrid},
    OptionSpec{"--json", Option::Json, false, kPoint | kPoles | kBatch},
    OptionSpec{"--with", Option::With, true, kPoint | kGrid | kBatch},
    OptionSpec{"--crs", Option::Crs, true, kPoint | kGrid | kBatch},
    OptionSpec{"--easting", Option::Easting, true, kPoint},
    OptionSpec{"--northing", Option::Northing, true, kPoint},
    OptionSpec{"--element", Option::Element, true, kGrid | kContours},
    OptionSpec{"--interval", Option::Interval, true, kContours},
    OptionSpec{"--base", Option::Base, true, kContours},
    OptionSpec{"--zones", Option::Zones, false, kContours},
};

const OptionSpec* findOption(std::string_view name)
{
    for (const auto& spec : kOptions) {
        if (spec.name == name) {
            return &spec;
        }
    }
    return nullptr;
}

// Walks the arguments of one command, one option (and its values) at a time.
// Each step returns the reason the command line is refused, empty when the
// arguments were taken.
class Parser {
public:
    Parser(const std::vector<std::string_view>& args, CliOptions& options)
        : m_args(args), m_options(options)
    {
    }

    std::string run();

private:
    std::string parseArgument(std::string_view arg);
    std::string parseOption(const OptionSpec& spec, std::optional<std::string_view> inlineValue);
    std::string parseFlag(const OptionSpec& spec);
    std::string parseAxis(std::string_view name, Axis axis, std::optional<AxisRange>& target);
    std::string storeValue(const OptionSpec& spec, std::string_view value);
    std::string storeElement(std::string_view value, std::string_view name);
    // Takes the next argument as an option's value; nothing when none is left.
    std::optional<std::string_view> nextValue(bool allowDashes);
    std::string checkRequired() const;

    const std::vector<std::string_view>& m_args;
    CliOptions& m_options;
    size_t m_index = 1;
    std::vector<Option> m_seen;
};

// Stores a checked value, or hands back the reason it was refused.
template <class T>
std::string store(Checked<T> parsed, std::optional<T>& target)
{
    if (!parsed) {
        return std::move(parsed.error);
    }
    target = std::move(parsed.value);
    return {};
}

constexpr std::string_view kDateOrYear = "give either --date or --year, not both";
// Isoline intervals and bases: any size a field element's unit could need.
constexpr float kMaxLevelNumber = 1.0e9f;

std::string Parser::run()
{
    while (m_index < m_args.size()) {
        std::string error = parseArgument(m_args[m_index++]);
        if (!error.empty()) {
            return error;
        }
    }
    if (m_options.help) {
        return {};
    }
    return checkRequired();
}

std::string Parser::parseArgument(std::string_view arg)
{
    const std::string command(commandName(m_options.command));
    if (arg == "--help" || arg == "-h") {
        m_options.help = true;
        return {};
    }
    if (arg.size() < 3 || arg.substr(0, 2) != "--") {
        return "unexpected argument '" + echoed(arg) + "' for " + command;
    }
    const size_t equals = arg.find('=');
    const std::string_view name = arg.substr(0, equals);
    std::optional<std::string_view> inlineValue;
    if (equals != std::string_view::npos) {
        inlineValue = arg.substr(equals + 1);
    }
    const OptionSpec* spec = findOption(name);
    if (spec == nullptr || (spec->commands & bit(m_options.command)) == 0) {
        return "unknown option " + echoed(name) + " for " + command;
    }
    if (spec->option != Option::Element && std::find(m_seen.begin(), m_seen.end(), spec->option) != m_seen.end()) {
        return std::string(name) + " is given more than once";
    }
    m_seen.push_back(spec->option);
    if (!spec->takesValue) {
        return inlineValue ? std::string(name) + " takes no value" : parseFlag(*spec);
    }
    return parseOption(*spec, inlineValue);
}

std::optional<std::string_view> Parser::nextValue(bool allowDashes)
{
    if (m_index >= m_args.size()) {
        return std::nullopt;
    }
    const std::string_view value = m_args[m_index];
    // Negative numbers are values; another option is not.
    if (!allowDashes && value.substr(0, 2) == "--") {
        return std::nullopt;
    }
    ++m_index;
    return value;
}

std::string Parser::parseFlag(const OptionSpec& spec)
{
    switch (spec.option) {
    case Option::Csv:
    case Option::Json:
        (spec.option == Option::Csv ? m_options.csv : m_options.json) = true;
        return m_options.csv && m_options.json ? "give either --csv or --json, not both" : std::string();
    case Option::Force:
        m_options.force = true;
        break;
    case Option::Zones:
        m_options.zones = true;
        break;
    default:
        break;
    }
    return {};
}

std::string Parser::parseAxis(std::string_view name, Axis axis, std::optional<AxisRange>& target)
{
    std::array<std::string_view, 3> values;
    for (auto& value : values) {
        const auto next = nextValue(false);
        if (!next) {
            return std::string(name) + " needs three values: START END STEP";
        }
        value = *next;
    }
    const auto start = parseCoordinate(values[0], std::string(name) + " START", axis);
    if (!start) {
        return start.error;
    }
    const auto end = parseCoordinate(values[1], std::string(name) + " END", axis);
    if (!end) {
        return end.error;
    }
    const auto step = parseBoundedReal(values[2], std::string(name) + " STEP", kMinGridStep, kMaxGridStep);
    if (!step) {
        return step.error;
    }
    // A backward range would give a header and no rows, reported as success.
    if (*end.value < *start.value) {
        return std::string(name) + " runs from START up to END, " +
               (axis == Axis::Latitude ? "south to north" : "west to east") + " (got " + std::string(values[0]) +
               " then " + std::string(values[1]) + "): give the smaller value first";
    }
    target = AxisRange{*start.value, *end.value, *step.value};
    return {};
}

std::string Parser::parseOption(const OptionSpec& spec, std::optional<std::string_view> inlineValue)
{
    const bool latOrLon = spec.option == Option::Lat || spec.option == Option::Lon;
    if (latOrLon && (m_options.command == Command::Grid || m_options.command == Command::Contours)) {
        if (inlineValue) {
            return std::string(spec.name) + " needs three separate values: START END STEP";
        }
        const bool lat = spec.option == Option::Lat;
        return parseAxis(spec.name, lat ? Axis::Latitude : Axis::Longitude,
                         lat ? m_options.latitudes : m_options.longitudes);
    }
    const bool textValue = spec.option == Option::Model || spec.option == Option::Output ||
                           spec.option == Option::With || spec.option == Option::Crs ||
                           spec.option == Option::Element;
    const auto value = inlineValue ? inlineValue : nextValue(!textValue);
    if (!value || (textValue && value->empty())) {
        return std::string(spec.name) + " needs a value";
    }
    return storeValue(spec, *value);
}

std::string Parser::storeValue(const OptionSpec& spec, std::string_view value)
{
    const std::string_view name = spec.name;
    switch (spec.option) {
    case Option::Lat:
        return store(parseCoordinate(value, name, Axis::Latitude), m_options.latitude);
    case Option::Lon:
        return store(parseCoordinate(value, name, Axis::Longitude), m_options.longitude);
    case Option::Date:
        return m_options.year ? std::string(kDateOrYear) : store(parseIsoDate(value, name), m_options.date);
    case Option::Year:
        return m_options.date ? std::string(kDateOrYear)
                              : store(parseBoundedReal(value, name, kMinYear, kMaxYear), m_options.year);
    case Option::Elevation:
        return store(parseBoundedReal(value, name, kMinElevation, kMaxElevation), m_options.elevation);
    case Option::Model:
        m_options.model = std::string(value);
        return {};
    case Option::Output:
        m_options.output = std::string(value);
        return {};
    case Option::Threads: {
        std::optional<int> threads;
        std::string error = store(parseThreadCount(value, name), threads);
        m_options.threads = threads.value_or(m_options.threads);
        return error;
    }
    case Option::With: {
        auto parsed = parseExtraColumns(value, name);
        if (!parsed) {
            return parsed.error;
        }
        m_options.with = std::move(*parsed.value);
        return {};
    }
    case Option::Crs:
        m_options.crs = std::string(value);
        return {};
    case Option::Easting:
        return store(parseGridCoordinate(value, name), m_options.easting);
    case Option::Northing:
        return store(parseGridCoordinate(value, name), m_options.northing);
    case Option::Element:
        return storeElement(value, name);
    case Option::Interval: {
        std::string error = store(parseBoundedReal(value, name, -kMaxLevelNumber, kMaxLevelNumber), m_options.interval);
        return error.empty() && !(*m_options.interval > 0.0f)
                   ? std::string(name) + " must be above 0: the spacing of the isolines in the element's unit"
                   : error;
    }
    case Option::Base:
        return store(parseBoundedReal(value, name, -kMaxLevelNumber, kMaxLevelNumber), m_options.base);
    case Option::Csv:
    case Option::Json:
    case Option::Force:
    case Option::Zones:
        break;
    }
    return {};
}

// point takes its place either as --lat/--lon or as --easting/--northing
// in a --crs system.
std::string checkPointPlace(const CliOptions& options)
{
    const bool grid = options.easting || options.northing;
    if (grid && (options.latitude || options.longitude)) {
        return "give either --lat/--lon or --easting/--northing, not both";
    }
    if (grid) {
        if (!options.easting) {
            return "point needs --easting with --northing";
        }
        if (!options.northing) {
            return "point needs --northing with --easting";
        }
        return options.crs ? std::string() : "--easting and --northing need --crs, the system they belong to";
    }
    if (!options.latitude) {
        return "point needs --lat DEGREES";
    }
    return options.longitude ? std::string() : "point needs --lon DEGREES";
}

std::string Parser::storeElement(std::string_view value, std::string_view name)
{
    const std::optional<FieldElement> element = elementFromCode(value);
    if (!element) {
        return "unknown element '" + echoed(value) + "' for " + std::string(name) + "; give one of " +
               elementCodeList();
    }
    if (std::find(m_options.elements.begin(), m_options.elements.end(), *element) != m_options.elements.end()) {
        return std::string(name) + " " + std::string(value) + " is given more than once";
    }
    m_options.elements.push_back(*element);
    return {};
}

std::string Parser::checkRequired() const
{
    const std::string command(commandName(m_options.command));
    switch (m_options.command) {
    case Command::Point:
        if (std::string place = checkPointPlace(m_options); !place.empty()) {
            return place;
        }
        if (!m_options.with.empty() && !m_options.csv && !m_options.json) {
            return "--with adds CSV columns; give --csv too";
        }
        break;
    case Command::Contours:
        if (m_options.elements.size() != 1) {
            return command + " needs one --element (" + elementCodeList() + ")";
        }
        if (m_options.latitudes.has_value() != m_options.longitudes.has_value()) {
            return command + " needs both --lat START END STEP and --lon START END STEP, or neither";
        }
        if (!m_options.output) {
            return command + " needs --output FILE (.gpkg, .geojson, .shp or .kml)";
        }
        break;
    case Command::Grid:
        if (!m_options.latitudes) {
            return command + " needs --lat START END STEP";
        }
        if (!m_options.longitudes) {
            return command + " needs --lon START END STEP";
        }
        break;
    case Command::Poles:
    case Command::Batch:
    case Command::None:
        break;
    }
    if (m_options.json && !m_options.with.empty()) {
        return "--with adds CSV columns; --json already carries the uncertainties and the zone";
    }
    if (m_options.command != Command::Batch && !m_options.hasDate()) {
        return command + " needs --date YYYY-MM-DD or --year DECIMAL";
    }
    return {};
}

}  // namespace

float CliOptions::decimalYear() const
{
    if (date) {
        return dateToDecimalYear(date->month, date->day, date->year);
    }
    return year.value_or(0.0f);
}

std::string_view commandName(Command command)
{
    switch (command) {
    case Command::Point:
        return "point";
    case Command::Grid:
        return "grid";
    case Command::Poles:
        return "poles";
    case Command::Batch:
        return "batch";
    case Command::Contours:
        return "contours";
    case Command::None:
        break;
    }
    return {};
}

namespace {

// "--help", "--help COMMAND" and "help COMMAND".
Checked<CliOptions> parseHelp(const std::vector<std::string_view>& args)
{
    CliOptions options;
    options.help = true;
    for (const Command command : kCommands) {
        if (args.size() == 2 && args[1] == commandName(command)) {
            options.command = command;
        }
    }
    if (args.size() > 1 && options.command == Command::None) {
        return Checked<CliOptions>::fail("unexpected argument '" + echoed(args[1]) + "' after " +
                                         std::string(args.front()));
    }
    return Checked<CliOptions>::ok(std::move(options));
}

}  // namespace

Checked<CliOptions> parseCommandLine(const std::vector<std::string_view>& args)
{
    if (args.empty()) {
        return Checked<CliOptions>::fail("no command given (try --help)");
    }
    const std::string_view first = args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        return parseHelp(args);
    }
    CliOptions options;
    if (first == "--version") {
        if (args.size() > 1) {
            return Checked<CliOptions>::fail("unexpected argument '" + echoed(args[1]) + "' after --version");
        }
        options.version = true;
        return Checked<CliOptions>::ok(std::move(options));
    }
    for (const Command command : kCommands) {
        if (first == commandName(command)) {
            options.command = command;
        }
    }
    if (options.command == Command::None) {
        return Checked<CliOptions>::fail(first.substr(0, 1) == "-" ? "unknown option " + echoed(first)
                                                                   : "unknown command '" + echoed(first) + "'");
    }
    std::string error = Parser(args, options).run();
    if (!error.empty()) {
        return Checked<CliOptions>::fail(std::move(error));
    }
    return Checked<CliOptions>::ok(std::move(options));
}

}  // namespace tellurim::cli
