#include "engine/ModelFormats.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tellurim {

std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t position = 0;
    while (position < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", position);
        if (start == std::string_view::npos)
            break;
        std::size_t end = line.find_first_of(" \t", start);
        if (end == std::string_view::npos)
            end = line.size();
        fields.push_back(line.substr(start, end - start));
        position = end;
    }
    return fields;
}

namespace {

/// A whole number written as digits with an optional sign.
std::optional<int64_t> wholeNumber(std::string_view text)
{
    int64_t value = 0;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

/// A finite decimal number as written (no implied decimal).
std::optional<double> realNumber(std::string_view text)
{
    double value = 0.0;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value == 0.0 ? 0.0 : value;  // no negative zero
}

bool isUnsigned(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

/// The column (from 1) of a field's last character.
std::size_t lastColumn(std::string_view line, std::string_view field)
{
    return static_cast<std::size_t>(field.data() - line.data()) + field.size();
}

bool isShcParameterLine(const std::vector<std::string_view>& fields)
{
    if (fields.size() != 7)
        return false;
    for (std::size_t i = 0; i < 5; ++i)
        if (!isUnsigned(fields[i]))
            return false;
    return realNumber(fields[5]) && realNumber(fields[6]);
}

ModelReadProblem problemAt(std::uint64_t line, std::string reason)
{
    return ModelReadProblem{line, std::move(reason)};
}

/// The end of the file where more was expected: a read failure, or simply
/// the end (reason given).
ModelReadProblem endProblem(const ModelLines& lines, std::string reason)
{
    ModelReadProblem stopped = lines.problem();
    return stopped.reason.empty() ? problemAt(0, std::move(reason)) : stopped;
}

std::string blankPadded(std::string_view name)
{
    std::string padded{name.substr(0, 20)};
    padded.resize(20, ' ');
    return padded;
}

// At least degree 1: the longitude terms always fill their first order.
int32_t cappedDegree(int32_t requestedDegree, int32_t fileDegree)
{
    return std::clamp(requestedDegree, 1, fileDegree);
}

bool isEndRecord(std::string_view line)
{
    const std::vector<std::string_view> fields = splitFields(line);
    return fields.size() == 1 && fields[0].size() >= 6
           && fields[0].find_first_not_of('9') == std::string_view::npos;
}

}  // namespace

ModelFormat detectModelFormat(std::string_view firstLine, std::string_view secondLine)
{
    const std::size_t firstCharacter = firstLine.find_first_not_of(" \t");
    if (firstCharacter != std::string_view::npos && firstLine[firstCharacter] == '#')
        return ModelFormat::Shc;
    if (isShcParameterLine(splitFields(firstLine)))
        return ModelFormat::Shc;
    const std::vector<std::string_view> fields = splitFields(secondLine);
    // Signed, so that a negative degree is reported as out of range, not as
    // a fixed-column field that is no number.
    if (fields.size() == 6 && wholeNumber(fields[0]) && wholeNumber(fields[1])
        && lastColumn(secondLine, fields[0]) > 3 && lastColumn(secondLine, fields[1]) > 6)
        return ModelFormat::FreeColumn;
    return ModelFormat::FixedColumn;
}

// ---- free-column .COF -------------------------------------------------------

namespace {

struct FreeRecord {
    int32_t n;
    int32_t m;
    float values[4];  ///< g, h and their rates
};

std::optional<ModelReadProblem> readFreeHeader(ModelLines& lines, ModelFile& model)
{
    std::string line;
    if (!lines.next(line))
        return endProblem(lines, "the file is empty");
    const std::vector<std::string_view> fields = splitFields(line);
    const std::optional<double> epoch = fields.empty() ? std::nullopt : realNumber(fields[0]);
    if (!epoch || fields.size() < 2 || fields.size() > 3)
        return problemAt(lines.lineNumber(), "the header is not epoch, name and date");
    if (!isModelYear(*epoch))
        return problemAt(lines.lineNumber(), yearRangeProblem("the epoch"));
    model.epoch = static_cast<float>(*epoch);
    model.modelName = blankPadded(fields[1]);
    model.lifeSpan = 5.0f;
    return std::nullopt;
}

std::optional<ModelReadProblem> readFreeRecord(std::string_view line, std::uint64_t number, FreeRecord& record)
{
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() != 6)
        return problemAt(number, "a record needs n, m, g, h and their rates");
    const std::optional<int64_t> n = wholeNumber(fields[0]);
    const std::optional<int64_t> m = wholeNumber(fields[1]);
    if (!n || !m)
        return problemAt(number, "the degree or order is not a whole number");
    if (*n < 1 || *n > kMaxAnyModelDegree || *m < 0 || *m > *n)
        return problemAt(number, "the degree or order is out of range");
    record.n = static_cast<int32_t>(*n);
    record.m = static_cast<int32_t>(*m);
    for (std::size_t i = 0; i < 4; ++i) {
        const std::optional<double> value = realNumber(fields[i + 2]);
        if (!value || std::fabs(*value) > 1.0e9)
            return problemAt(number, "a coefficient is not a number");
        record.values[i] = static_cast<float>(*value);
    }
    return std::nullopt;
}

void storeFreeRecords(const std::vector<FreeRecord>& records, ModelFile& model)
{
    for (const FreeRecord& r : records) {
        if (r.n > model.maxDegree)
            continue;
        const auto n = static_cast<std::size_t>(r.n);
        const auto m = static_cast<std::size_t>(r.m);
        model.gh[m][n] = r.values[0];
        model.ghRate[m][n] = r.values[2];
        if (m != 0) {
            model.gh[n][m - 1] = r.values[1];
            model.ghRate[n][m - 1] = r.values[3];
        }
    }
}

}  // namespace

std::optional<ModelReadProblem> readFreeColumnModel(ModelLines& lines, int32_t requestedDegree,
                                                    ModelFile& model)
{
    if (std::optional<ModelReadProblem> problem = readFreeHeader(lines, model))
        return problem;
    std::vector<FreeRecord> records;
    std::vector<std::uint64_t> lineOf;  // by n(n+1)/2 + m; 0 while not given
    int32_t fileDegree = 0;
    std::string line;
    bool ended = false;
    while (!ended && lines.next(line)) {
        if (isEndRecord(line)) {
            ended = true;
            break;
        }
        FreeRecord record{};
        if (std::optional<ModelReadProblem> problem = readFreeRecord(line, lines.lineNumber(), record))
            return problem;
        const auto slot = static_cast<std::size_t>(record.n) * static_cast<std::size_t>(record.n + 1) / 2
                          + static_cast<std::size_t>(record.m);
        lineOf.resize(std::max(lineOf.size(), slot + 1), 0);
        if (lineOf[slot] != 0)
            return problemAt(lines.lineNumber(), "degree " + std::to_string(record.n) + " order "
                                                     + std::to_string(record.m) + " is given twice (first on line "
                                                     + std::to_string(lineOf[slot]) + ")");
        lineOf[slot] = lines.lineNumber();
        fileDegree = std::max(fileDegree, record.n);
        records.push_back(record);
    }
    if (!ended)
        return endProblem(lines, "the file ends after line " + std::to_string(lines.lineNumber())
                                     + " without the end record (nines)");
    if (records.empty())
        return problemAt(lines.lineNumber(), "the file holds no coefficients");
    // Every order of every degree up to the file's highest: a gap would
    // silently read as a coefficient of 0.
    for (std::size_t slot = 1; slot < lineOf.size(); ++slot) {
        if (lineOf[slot] == 0) {
            std::size_t n = 1;
            while ((n + 1) * (n + 2) / 2 <= slot)
                ++n;
            return problemAt(lines.lineNumber(), "no record before the end gives degree " + std::to_string(n)
                                                     + " order " + std::to_string(slot - n * (n + 1) / 2));
        }
    }
    model.maxDegree = cappedDegree(requestedDegree, fileDegree);
    model.resize(static_cast<std::size_t>(model.maxDegree) + 1);
    storeFreeRecords(records, model);
    return std::nullopt;
}

// ---- IGRF .shc --------------------------------------------------------------

namespace {

struct ShcLayout {
    int32_t minDegree = 0;
    int32_t maxDegree = 0;
    std::vector<double> epochs;
    std::string name;
};

/// One coefficient per epoch for each g and h, indexed as the packed tables.
struct ShcValues {
    explicit ShcValues(std::size_t tableSize, std::size_t epochs)
        : size(tableSize), values(tableSize * tableSize * epochs, 0.0), given(tableSize * tableSize, 0)
    {
    }
    std::size_t slot(std::size_t row, std::size_t column) const { return row * size + column; }
    std::size_t size;
    std::vector<double> values;  ///< epoch-major: [epoch][slot]
    std::vector<char> given;
};

std::optional<ModelReadProblem> readShcLayout(ModelLines& lines, ShcLayout& layout)
{
    std::string line;
    std::vector<std::string_view> fields;
    // Comments first; the first of them names the model.
    while (true) {
        if (!lines.next(line))
            return endProblem(lines, "the parameter line is missing");
        fields = splitFields(line);
        if (fields.empty())
            continue;
        if (fields[0].front() != '#')
            break;
        if (layout.name.empty())
            layout.name = line.substr(line.find('#') + 1);
    }
    if (!isShcParameterLine(fields))
        return problemAt(lines.lineNumber(), "the parameter line is not seven numbers");
    const int64_t minDegree = *wholeNumber(fields[0]);
    const int64_t maxDegree = *wholeNumber(fields[1]);
    const int64_t epochs = *wholeNumber(fields[2]);
    const int64_t order = *wholeNumber(fields[3]);
    if (minDegree < 1 || maxDegree < minDegree || maxDegree > kMaxAnyModelDegree)
        return problemAt(lines.lineNumber(), "the degrees are out of range");
    if (epochs < 1 || epochs > static_cast<int64_t>(kMaxModelEpochs))
        return problemAt(lines.lineNumber(), "the number of epochs is out of range");
    if (epochs > 1 && order != 2)
        return problemAt(lines.lineNumber(), "only linear interpolation between epochs is read");
    layout.minDegree = static_cast<int32_t>(minDegree);
    layout.maxDegree = static_cast<int32_t>(maxDegree);

    if (!lines.next(line))
        return endProblem(lines, "the line of epochs is missing");
    fields = splitFields(line);
    if (fields.size() != static_cast<std::size_t>(epochs))
        return problemAt(lines.lineNumber(), "the line of epochs has the wrong count");
    for (std::string_view field : fields) {
        const std::optional<double> epoch = realNumber(field);
        if (!epoch || (!layout.epochs.empty() && *epoch <= layout.epochs.back()))
            return problemAt(lines.lineNumber(), "the epochs are not increasing numbers");
        if (!isModelYear(*epoch))
            return problemAt(lines.lineNumber(), yearRangeProblem("an epoch"));
        layout.epochs.push_back(*epoch);
    }
    return std::nullopt;
}

std::optional<ModelReadProblem> readShcRow(std::string_view line, std::uint64_t number,
                                           const ShcLayout& layout, ShcValues& values)
{
    const std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() != layout.epochs.size() + 2)
        return problemAt(number, "a row needs n, m and a value for each epoch");
    const std::optional<int64_t> n = wholeNumber(fields[0]);
    const std::optional<int64_t> m = wholeNumber(fields[1]);
    if (!n || !m || *n < layout.minDegree || *n > layout.maxDegree || *m < -*n || *m > *n)
        return problemAt(number, "the degree or order is out of range");
    const auto un = static_cast<std::size_t>(*n);
    const auto um = static_cast<std::size_t>(*m < 0 ? -*m : *m);
    const std::size_t gSlot = values.slot(um, un);
    // h is a row of negative order, or the second row of a positive order.
    bool isH = *m < 0;
    if (*m > 0 && values.given[gSlot])
        isH = true;
    const std::size_t slot = isH ? values.slot(un, um - 1) : gSlot;
    if (values.given[slot])
        return problemAt(number, "a coefficient is given twice");
    values.given[slot] = 1;
    for (std::size_t e = 0; e < layout.epochs.size(); ++e) {
        const std::optional<double> value = realNumber(fields[e + 2]);
        if (!value || std::fabs(*value) > 1.0e9)
            return problemAt(number, "a coefficient is not a number");
        values.values[e * values.size * values.size + slot] = *value;
    }
    return std::nullopt;
}

/// The first coefficient no row gave, as "g(2,1)"; empty when all are given.
std::string firstMissingCoefficient(const ShcLayout& layout, const ShcValues& values)
{
    for (auto n = static_cast<std::size_t>(layout.minDegree); n <= static_cast<std::size_t>(layout.maxDegree); ++n) {
        for (std::size_t m = 0; m <= n; ++m) {
            const char* missing = !values.given[values.slot(m, n)] ? "g"
                                  : (m > 0 && !values.given[values.slot(n, m - 1)]) ? "h" : nullptr;
            if (missing)
                return std::string(missing) + "(" + std::to_string(n) + "," + std::to_string(m) + ")";
        }
    }
    return {};
}

/// One epoch's tables: the values at the epoch and the rate to the next.
void fillEpoch(const ShcLayout& layout, const ShcValues& values, std::size_t e, int32_t maxDegree,
               CoefficientTable& gh, CoefficientTable& ghRate)
{
    const std::size_t stride = values.size * values.size;
    const bool hasNext = e + 1 < layout.epochs.size();
    const double span = hasNext ? layout.epochs[e + 1] - layout.epochs[e] : 1.0;
    const auto size = static_cast<std::size_t>(maxDegree) + 1;
    for (std::size_t row = 0; row < size; ++row) {
        for (std::size_t column = 0; column < size; ++column) {
            const double now = values.values[e * stride + values.slot(row, column)];
            const double next = hasNext ? values.values[(e + 1) * stride + values.slot(row, column)] : now;
            gh[row][column] = static_cast<float>(now);
            ghRate[row][column] = static_cast<float>((next - now) / span);
        }
    }
}

}  // namespace

std::optional<ModelReadProblem> readShcModel(ModelLines& lines, int32_t requestedDegree, ModelFile& model)
{
    ShcLayout layout;
    if (std::optional<ModelReadProblem> problem = readShcLayout(lines, layout))
        return problem;
    const auto size = static_cast<std::size_t>(layout.maxDegree) + 1;
    ShcValues values{size, layout.epochs.size()};
    std::string line;
    while (lines.next(line)) {
        if (splitFields(line).empty())
            continue;
        if (std::optional<ModelReadProblem> problem = readShcRow(line, lines.lineNumber(), layout, values))
            return problem;
    }
    if (!lines.problem().reason.empty())
        return lines.problem();
    if (const std::string missing = firstMissingCoefficient(layout, values); !missing.empty())
        return problemAt(0, "the file ends after line " + std::to_string(lines.lineNumber()) + " without "
                                + missing);

    model.maxDegree = cappedDegree(requestedDegree, layout.maxDegree);
    model.resize(static_cast<std::size_t>(model.maxDegree) + 1);
    std::string name = layout.name;
    name.erase(0, name.find_first_not_of(" \t"));
    model.modelName = blankPadded(name);
    model.epoch = static_cast<float>(layout.epochs.front());
    const double span = layout.epochs.back() - layout.epochs.front();
    model.lifeSpan = layout.epochs.size() > 1 ? static_cast<float>(span) : 5.0f;
    fillEpoch(layout, values, 0, model.maxDegree, model.gh, model.ghRate);
    // The last epoch starts no interval of its own: the one before runs on.
    for (std::size_t e = 1; e + 1 < layout.epochs.size(); ++e) {
        EpochCoefficients later;
        later.epoch = static_cast<float>(layout.epochs[e]);
        later.gh = CoefficientTable{model.tableSize()};
        later.ghRate = CoefficientTable{model.tableSize()};
        fillEpoch(layout, values, e, model.maxDegree, later.gh, later.ghRate);
        model.laterEpochs.push_back(std::move(later));
    }
    return std::nullopt;
}

}  // namespace tellurim
