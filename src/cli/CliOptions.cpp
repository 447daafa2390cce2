#include "cli/CliOptions.h"

#include "record/Conversions.h"

#include <algorithm>
#include <array>

namespace tellurim::cli {

namespace {

enum class Option { Lat, Lon, Date, Year, Elevation, Model, Csv, Output, Threads };

struct OptionSpec {
    std::string_view name;
    Option option;
    bool takesValue;
};

constexpr std::array kOptions{
    OptionSpec{"--lat", Option::Lat, true},         OptionSpec{"--lon", Option::Lon, true},
    OptionSpec{"--date", Option::Date, true},       OptionSpec{"--year", Option::Year, true},
    OptionSpec{"--elevation", Option::Elevation, true}, OptionSpec{"--model", Option::Model, true},
    OptionSpec{"--csv", Option::Csv, false},        OptionSpec{"--output", Option::Output, true},
    OptionSpec{"--threads", Option::Threads, true},
};

bool allowed(Command command, Option option)
{
    switch (command) {
    case Command::Point:
        return option != Option::Output && option != Option::Threads;
    case Command::Grid:
        return option != Option::Csv;
    case Command::Poles:
        return option == Option::Date || option == Option::Year || option == Option::Model ||
               option == Option::Csv;
    case Command::Batch:
        return option == Option::Date || option == Option::Year || option == Option::Model ||
               option == Option::Elevation;
    case Command::None:
        break;
    }
    return false;
}

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
class Parser {
public:
    Parser(const std::vector<std::string_view>& args, CliOptions& options)
        : m_args(args), m_options(options)
    {
    }

    std::string run();

private:
    std::string parseOption(const OptionSpec& spec, std::optional<std::string_view> inlineValue);
    std::string parseAxis(std::string_view name, Axis axis, std::optional<AxisRange>& target);
    // Takes the next argument as the value of option name; empty when none is left.
    std::optional<std::string_view> nextValue(bool allowDashes);
    std::string checkRequired() const;

    const std::vector<std::string_view>& m_args;
    CliOptions& m_options;
    size_t m_index = 1;
    std::vector<Option> m_seen;
};

std::string Parser::run()
{
    const std::string_view command = commandName(m_options.command);
    while (m_index < m_args.size()) {
        const std::string_view arg = m_args[m_index++];
        if (arg == "--help" || arg == "-h") {
            m_options.help = true;
            continue;
        }
        if (arg.size() < 3 || arg.substr(0, 2) != "--") {
            return "unexpected argument '" + echoed(arg) + "' for " + std::string(command);
        }
        const size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        std::optional<std::string_view> inlineValue;
        if (equals != std::string_view::npos) {
            inlineValue = arg.substr(equals + 1);
        }
        const OptionSpec* spec = findOption(name);
        if (spec == nullptr || !allowed(m_options.command, spec->option)) {
            return "unknown option " + echoed(name) + " for " + std::string(command);
        }
        if (std::find(m_seen.begin(), m_seen.end(), spec->option) != m_seen.end()) {
            return std::string(name) + " is given more than once";
        }
        m_seen.push_back(spec->option);
        if (!spec->takesValue && inlineValue) {
            return std::string(name) + " takes no value";
        }
        std::string error = parseOption(*spec, inlineValue);
        if (!error.empty()) {
            return error;
        }
    }
    if (m_options.help) {
        return {};
    }
    return checkRequired();
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
    const std::string startName = std::string(name) + " START";
    const std::string endName = std::string(name) + " END";
    const std::string stepName = std::string(name) + " STEP";
    const auto start = parseCoordinate(values[0], startName, axis);
    if (!start) {
        return start.error;
    }
    const auto end = parseCoordinate(values[1], endName, axis);
    if (!end) {
        return end.error;
    }
    const auto step = parseBoundedReal(values[2], stepName, kMinGridStep, kMaxGridStep);
    if (!step) {
        return step.error;
    }
    target = AxisRange{*start.value, *end.value, *step.value};
    return {};
}

std::string Parser::parseOption(const OptionSpec& spec, std::optional<std::string_view> inlineValue)
{
    const std::string name(spec.name);
    if (spec.option == Option::Csv) {
        m_options.csv = true;
        return {};
    }
    if ((spec.option == Option::Lat || spec.option == Option::Lon) && m_options.command == Command::Grid) {
        if (inlineValue) {
            return name + " needs three separate values: START END STEP";
        }
        const Axis axis = spec.option == Option::Lat ? Axis::Latitude : Axis::Longitude;
        return parseAxis(spec.name, axis, spec.option == Option::Lat ? m_options.latitudes : m_options.longitudes);
    }
    const bool textValue = spec.option == Option::Model || spec.option == Option::Output;
    const auto value = inlineValue ? inlineValue : nextValue(!textValue);
    if (!value || (textValue && value->empty())) {
        return name + " needs a value";
    }
    switch (spec.option) {
    case Option::Lat:
    case Option::Lon: {
        const auto parsed = parseCoordinate(*value, spec.name,
                                            spec.option == Option::Lat ? Axis::Latitude : Axis::Longitude);
        if (!parsed) {
            return parsed.error;
        }
        (spec.option == Option::Lat ? m_options.latitude : m_options.longitude) = parsed.value;
        return {};
    }
    case Option::Date: {
        if (m_options.year) {
            return "give either --date or --year, not both";
        }
        const auto parsed = parseIsoDate(*value, spec.name);
        if (!parsed) {
            return parsed.error;
        }
        m_options.date = parsed.value;
        return {};
    }
    case Option::Year: {
        if (m_options.date) {
            return "give either --date or --year, not both";
        }
        const auto parsed = parseBoundedReal(*value, spec.name, kMinYear, kMaxYear);
        if (!parsed) {
            return parsed.error;
        }
        m_options.year = parsed.value;
        return {};
    }
    case Option::Elevation: {
        const auto parsed = parseBoundedReal(*value, spec.name, kMinElevation, kMaxElevation);
        if (!parsed) {
            return parsed.error;
        }
        m_options.elevation = parsed.value;
        return {};
    }
    case Option::Model:
        m_options.model = std::string(*value);
        return {};
    case Option::Output:
        m_options.output = std::string(*value);
        return {};
    case Option::Threads: {
        const auto parsed = parseThreadCount(*value, spec.name);
        if (!parsed) {
            return parsed.error;
        }
        m_options.threads = *parsed.value;
        return {};
    }
    case Option::Csv:
        break;
    }
    return {};
}

std::string Parser::checkRequired() const
{
    const std::string command(commandName(m_options.command));
    switch (m_options.command) {
    case Command::Point:
        if (!m_options.latitude) {
            return command + " needs --lat DEGREES";
        }
        if (!m_options.longitude) {
            return command + " needs --lon DEGREES";
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
    case Command::None:
        break;
    }
    return {};
}

ParseOutcome parseCommandLine(const std::vector<std::string_view>& args)
{
    ParseOutcome outcome;
    CliOptions& options = outcome.options;
    if (args.empty()) {
        outcome.error = "no command given (try --help)";
        return outcome;
    }
    const std::string_view first = args.front();
    if (first == "--help" || first == "-h" || first == "help") {
        options.help = true;
        // "--help grid" asks for the help of that command.
        for (const Command command : {Command::Point, Command::Grid, Command::Poles, Command::Batch}) {
            if (args.size() == 2 && args[1] == commandName(command)) {
                options.command = command;
            }
        }
        if (args.size() > 1 && options.command == Command::None) {
            outcome.error = "unexpected argument '" + echoed(args[1]) + "' after " + std::string(first);
        }
        return outcome;
    }
    if (first == "--version") {
        options.version = true;
        if (args.size() > 1) {
            outcome.error = "unexpected argument '" + echoed(args[1]) + "' after --version";
        }
        return outcome;
    }
    for (const Command command : {Command::Point, Command::Grid, Command::Poles, Command::Batch}) {
        if (first == commandName(command)) {
            options.command = command;
        }
    }
    if (options.command == Command::None) {
        outcome.error = first.substr(0, 1) == "-" ? "unknown option " + echoed(first)
                                                   : "unknown command '" + echoed(first) + "'";
        return outcome;
    }
    outcome.error = Parser(args, options).run();
    return outcome;
}

}  // namespace tellurim::cli
