#include "engine/ModelFileReader.h"

#include "engine/ModelEngine.h"
#include "engine/ModelLocator.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tellurim {

namespace {

/// The characters of a field; a short record yields a short (or empty) view.
std::string_view fieldText(std::string_view record, std::size_t firstColumn, std::size_t width)
{
    const std::size_t start = firstColumn - 1;
    if (start >= record.size())
        return {};
    return record.substr(start, width);
}

/// What a numeric field holds once blanks are dropped.
struct NumberText {
    bool negative = false;
    bool hasSign = false;
    bool hasPoint = false;
    std::string digits;  ///< digits and at most one '.', no sign
};

std::optional<NumberText> scanNumber(std::string_view field, bool allowPoint)
{
    NumberText number;
    bool hasDigit = false;
    for (const char c : field) {
        if (c == ' ')
            continue;
        if (c == '+' || c == '-') {
            if (number.hasSign || hasDigit || number.hasPoint)
                return std::nullopt;
            number.hasSign = true;
            number.negative = (c == '-');
        } else if (c == '.' && allowPoint) {
            if (number.hasPoint)
                return std::nullopt;
            number.hasPoint = true;
            number.digits.push_back(c);
        } else if (c >= '0' && c <= '9') {
            hasDigit = true;
            number.digits.push_back(c);
        } else {
            return std::nullopt;
        }
    }
    // A lone sign or point is not a number; a field of blanks is zero.
    if (!hasDigit && (number.hasSign || number.hasPoint))
        return std::nullopt;
    return number;
}

}  // namespace

std::optional<float> readRealField(std::string_view record, std::size_t firstColumn,
                                   std::size_t width)
{
    std::optional<NumberText> number = scanNumber(fieldText(record, firstColumn, width), true);
    if (!number)
        return std::nullopt;
    if (number->digits.empty())
        return 0.0f;
    // Every real field of the format carries one implied decimal.
    if (!number->hasPoint)
        number->digits.insert(number->digits.size() - 1, 1, '.');
    float value = 0.0f;
    const char* first = number->digits.data();
    const char* last = first + number->digits.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (error != std::errc{} || end != last || !std::isfinite(value))
        return std::nullopt;
    if (value == 0.0f)
        return 0.0f;  // no negative zero from "-0.0"
    return number->negative ? -value : value;
}

std::optional<int32_t> readIntegerField(std::string_view record, std::size_t firstColumn,
                                        std::size_t width)
{
    const std::optional<NumberText> number =
        scanNumber(fieldText(record, firstColumn, width), false);
    if (!number)
        return std::nullopt;
    if (number->digits.empty())
        return 0;
    int32_t value = 0;
    const char* first = number->digits.data();
    const char* last = first + number->digits.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last)
        return std::nullopt;
    return number->negative ? -value : value;
}

namespace {

/// A field of a record, by its name in messages.
struct FieldColumns {
    const char* name;
    std::size_t firstColumn;
    std::size_t width;
    bool integer;
};

constexpr FieldColumns kHeaderFields[] = {
    {"epoch", 5, 6, false},
    {"life span", 49, 6, false},
    {"southern latitude bound", 55, 6, false},
    {"northern latitude bound", 61, 6, false},
    {"western longitude bound", 67, 6, false},
    {"eastern longitude bound", 73, 6, false},
};

constexpr FieldColumns kCoefficientFields[] = {
    {"degree", 2, 2, true}, {"order", 5, 2, true},   {"g", 8, 9, false},
    {"h", 18, 9, false},    {"g rate", 28, 10, false}, {"h rate", 39, 10, false},
};

std::optional<float> realField(std::string_view record, const FieldColumns& field)
{
    return readRealField(record, field.firstColumn, field.width);
}

std::optional<int32_t> integerField(std::string_view record, const FieldColumns& field)
{
    return readIntegerField(record, field.firstColumn, field.width);
}

}  // namespace

std::optional<HeaderRecord> parseHeaderRecord(std::string_view record)
{
    HeaderRecord header;
    const std::optional<float> epoch = realField(record, kHeaderFields[0]);
    const std::optional<float> lifeSpan = realField(record, kHeaderFields[1]);
    const std::optional<float> latMin = realField(record, kHeaderFields[2]);
    const std::optional<float> latMax = realField(record, kHeaderFields[3]);
    const std::optional<float> lonMin = realField(record, kHeaderFields[4]);
    const std::optional<float> lonMax = realField(record, kHeaderFields[5]);
    if (!epoch || !lifeSpan || !latMin || !latMax || !lonMin || !lonMax)
        return std::nullopt;
    header.epoch = *epoch;
    header.modelName = std::string{fieldText(record, 16, 20)};
    header.modelName.resize(20, ' ');
    header.lifeSpan = *lifeSpan;
    header.latMin = *latMin;
    header.latMax = *latMax;
    header.lonMin = *lonMin;
    header.lonMax = *lonMax;
    return header;
}

std::optional<CoefficientRecord> parseCoefficientRecord(std::string_view record)
{
    const std::optional<int32_t> n = integerField(record, kCoefficientFields[0]);
    const std::optional<int32_t> m = integerField(record, kCoefficientFields[1]);
    const std::optional<float> g = realField(record, kCoefficientFields[2]);
    const std::optional<float> h = realField(record, kCoefficientFields[3]);
    const std::optional<float> gRate = realField(record, kCoefficientFields[4]);
    const std::optional<float> hRate = realField(record, kCoefficientFields[5]);
    if (!n || !m || !g || !h || !gRate || !hRate)
        return std::nullopt;
    return CoefficientRecord{*n, *m, *g, *h, *gRate, *hRate};
}

namespace {

template <std::size_t N>
std::string firstUnreadableField(std::string_view record, const FieldColumns (&fields)[N])
{
    for (const FieldColumns& field : fields) {
        const bool reads = field.integer ? integerField(record, field).has_value()
                                         : realField(record, field).has_value();
        if (!reads)
            return std::string("the ") + field.name + " field is not a number";
    }
    return {};
}

}  // namespace

std::string headerRecordProblem(std::string_view record)
{
    return firstUnreadableField(record, kHeaderFields);
}

std::string coefficientRecordProblem(std::string_view record)
{
    return firstUnreadableField(record, kCoefficientFields);
}

void ModelEngine::readModelFile(int32_t requestedDegree, std::string& fileName)
{
    m_readProblem = {};
    BoundedInput input;
    const std::optional<InputError> refused = openModelFile(fileName, input);
    if (refused && refused->problem == InputProblem::CannotOpen) {
        m_model.isLoaded = false;
        m_sink->showPlainMessage("ERROR OPENING FILE:;" + fileName);
        fileName = std::string{kModelNotFoundText};
        return;
    }

    m_model.isLoaded = false;
    m_model.gh = {};
    m_model.ghRate = {};
    m_model.legendreFactor = {};
    m_model.degreeFactor = {};
    m_model.orderFactor = {};
    m_cache.clear();
    m_model.maxDegree = std::clamp(requestedDegree, 0, kMaxModelDegree);

    // A file that is there but is no file to read (a device, a pipe) or is
    // far too large is a read failure: it was found, it cannot be read.
    const bool loaded = refused ? readProblem(0, describeInputError(*refused)) : loadModel(input);
    input.close();  // closed before any message box
    if (!loaded) {
        m_sink->showPlainMessage("ERROR READING FILE:;" + fileName);
        return;
    }
    convertToUnnormalised();
    m_cache.forgetInputs();
    m_model.isLoaded = true;
}

bool ModelEngine::readProblem(std::uint64_t line, std::string reason)
{
    m_readProblem = ModelReadProblem{line, std::move(reason)};
    return false;
}

namespace {

/// Why nextLine gave no line, for the read failure.
ModelReadProblem lineProblem(LineRead result, const BoundedInput& input)
{
    switch (result) {
    case LineRead::TooLong:
        return {input.lineNumber(), "longer than " + std::to_string(kMaxModelLineBytes) + " bytes"};
    case LineRead::ReadError:
        return {0, describeInputError(input.error())};
    case LineRead::End:
    case LineRead::Line:
        break;
    }
    return {0, input.lineNumber() == 0 ? "the file is empty"
                                       : "the file ends after line " + std::to_string(input.lineNumber())
                                             + " without the end record (degree 99)"};
}

}  // namespace

bool ModelEngine::loadModel(BoundedInput& input)
{
    std::string record;
    if (const LineRead result = input.nextLine(record); result != LineRead::Line) {
        ModelReadProblem problem = lineProblem(result, input);
        return readProblem(problem.line, std::move(problem.reason));
    }
    const std::optional<HeaderRecord> header = parseHeaderRecord(record);
    if (!header)
        return readProblem(input.lineNumber(), headerRecordProblem(record));

    m_model.epoch = header->epoch;
    m_model.modelName = header->modelName;
    // Bounds written as 0..360 east become -180..180.
    const auto signedDegrees = [](float bound) { return bound > 180.0f ? bound - 360.0f : bound; };
    m_model.latMin = signedDegrees(header->latMin);
    m_model.latMax = signedDegrees(header->latMax);
    m_model.lonMin = signedDegrees(header->lonMin);
    m_model.lonMax = signedDegrees(header->lonMax);
    m_model.lifeSpan = header->lifeSpan > 0.0f ? header->lifeSpan : 5.0f;
    return loadCoefficients(input);
}

bool ModelEngine::loadCoefficients(BoundedInput& input)
{
    std::string record;
    LineRead result = LineRead::End;
    while ((result = input.nextLine(record)) == LineRead::Line) {
        const std::optional<CoefficientRecord> coefficient = parseCoefficientRecord(record);
        if (!coefficient)
            return readProblem(input.lineNumber(), coefficientRecordProblem(record));
        const auto [n, m, g, h, gRate, hRate] = *coefficient;
        if (n == kEndRecordDegree)
            return true;
        // The tables end at degree 12; anything else is not a model file.
        if (n < 0 || n > kMaxModelDegree)
            return readProblem(input.lineNumber(), "degree " + std::to_string(n) + " is outside 0 to 12");
        if (m < 0)
            return readProblem(input.lineNumber(), "order " + std::to_string(m) + " is negative");
        if (m > n)
            continue;
        const auto un = static_cast<std::size_t>(n);
        const auto um = static_cast<std::size_t>(m);
        m_model.gh[um][un] = g;
        m_model.ghRate[um][un] = gRate;
        if (m != 0) {
            m_model.gh[un][um - 1] = h;
            m_model.ghRate[un][um - 1] = hRate;
        }
    }
    ModelReadProblem problem = lineProblem(result, input);
    return readProblem(problem.line, std::move(problem.reason));
}

void ModelEngine::convertToUnnormalised()
{
    // Schmidt factors are scratch values: kept in double, only the scaled
    // coefficients are stored in single precision.
    std::array<std::array<double, kTableSize>, kTableSize> schmidt{};
    schmidt[0][0] = 1.0;
    const auto scale = [](float& value, double factor) {
        value = static_cast<float>(static_cast<double>(value) * factor);
    };
    for (int32_t n = 1; n <= m_model.maxDegree; ++n) {
        const auto un = static_cast<std::size_t>(n);
        schmidt[un][0] = schmidt[un - 1][0] * static_cast<double>(2 * n - 1) / static_cast<double>(n);
        for (int32_t m = 0; m <= n; ++m) {
            const auto um = static_cast<std::size_t>(m);
            const int32_t numerator = (n - 1) * (n - 1) - m * m;
            const int32_t denominator = (2 * n - 1) * (2 * n - 3);
            m_model.legendreFactor[un][um] = static_cast<float>(
                static_cast<double>(numerator) / static_cast<double>(denominator));
            if (m >= 1) {
                const int32_t j = (m == 1) ? 2 : 1;
                schmidt[un][um] = schmidt[un][um - 1]
                    * std::sqrt(static_cast<double>((n - m + 1) * j) / static_cast<double>(n + m));
                scale(m_model.gh[un][um - 1], schmidt[un][um]);
                scale(m_model.ghRate[un][um - 1], schmidt[un][um]);
            }
            scale(m_model.gh[um][un], schmidt[un][um]);
            scale(m_model.ghRate[um][un], schmidt[un][um]);
        }
        m_model.degreeFactor[un] = static_cast<float>(n + 1);
        m_model.orderFactor[un] = static_cast<float>(n);
    }
    // The formula gives 1 at (1,1); the recursion there must not subtract.
    m_model.legendreFactor[1][1] = 0.0f;
}

}  // namespace tellurim
