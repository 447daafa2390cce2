#include "engine/ModelFileReader.h"

#include "engine/MagneticModel.h"
#include "engine/ModelFormats.h"
#include "engine/ModelLocator.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

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

namespace {

/// Lines that may be longer than a fixed-column record: a .shc row holds a
/// value for every epoch.
constexpr std::size_t kMaxWideLineBytes = 4096;

/// A file whose lines end in CR alone reads as one long line.
constexpr std::string_view kCarriageReturnLines = "the lines end in a carriage return alone (CR); LF or CR LF is read";

/// The model file's lines, read through the bounded input. The first lines
/// are kept so that, once the layout has been told from them, reading starts
/// again at the top; the fixed-column layout then holds every line to the
/// record line limit, the others to the wider one.
class BoundedLines final : public ModelLines {
public:
    explicit BoundedLines(BoundedInput& input) : m_input(input) {}

    bool next(std::string& line) override
    {
        if (m_replay < m_kept.size()) {
            line = m_kept[m_replay++];
            ++m_lineNumber;
            if (line.size() <= m_limit)
                return true;
            m_problem = {m_lineNumber, {}};
            m_tooLong = true;
            m_kept.clear();
            return false;
        }
        if (m_problem)
            return false;
        const LineRead result = m_input.nextLine(line, m_keeping ? kMaxWideLineBytes : m_limit);
        if (result == LineRead::Line && line.find('\r') != std::string::npos) {
            m_problem = ModelReadProblem{m_input.lineNumber(), std::string(kCarriageReturnLines)};
            return false;
        }
        if (result == LineRead::Line) {
            m_lineNumber = m_input.lineNumber();
            if (m_keeping) {
                m_kept.push_back(line);
                m_replay = m_kept.size();
            }
            return true;
        }
        if (result == LineRead::TooLong && m_input.longLineHasCarriageReturn())
            m_problem = ModelReadProblem{m_input.lineNumber(), std::string(kCarriageReturnLines)};
        else if (result == LineRead::TooLong) {
            m_problem = ModelReadProblem{m_input.lineNumber(), {}};
            m_tooLong = true;
        }
        else if (result == LineRead::ReadError)
            m_problem = ModelReadProblem{0, describeInputError(m_input.error())};
        return false;
    }

    std::uint64_t lineNumber() const override { return m_lineNumber; }
    ModelReadProblem problem() const override
    {
        ModelReadProblem problem = m_problem.value_or(ModelReadProblem{});
        // Told in the limit of the layout, even when met while telling it.
        if (m_tooLong)
            problem.reason = "longer than " + std::to_string(m_limit) + " bytes";
        return problem;
    }

    /// Reads again from the first line, each line at most limit bytes long.
    void restart(std::size_t limit)
    {
        m_replay = 0;
        m_lineNumber = 0;
        m_keeping = false;
        m_limit = limit;
    }

private:
    BoundedInput& m_input;
    std::vector<std::string> m_kept;
    std::size_t m_replay = 0;
    std::uint64_t m_lineNumber = 0;
    bool m_keeping = true;
    std::size_t m_limit = kMaxWideLineBytes;
    std::optional<ModelReadProblem> m_problem;
    bool m_tooLong = false;
};

ModelFormat peekFormat(BoundedLines& lines)
{
    std::string first;
    std::string second;
    if (lines.next(first))
        lines.next(second);
    return detectModelFormat(first, second);
}

/// Where the lines stopped short of the end record.
ModelReadProblem missingEndProblem(const ModelLines& lines)
{
    ModelReadProblem stopped = lines.problem();
    if (!stopped.reason.empty())
        return stopped;
    const std::uint64_t last = lines.lineNumber();
    return {0, last == 0 ? "the file is empty"
                         : "the file ends after line " + std::to_string(last)
                               + " without the end record (degree 99)"};
}

std::optional<ModelReadProblem> loadFixedColumnCoefficients(ModelLines& lines, ModelFile& model)
{
    std::string record;
    std::vector<std::uint64_t> lineOf(kTableSize * kTableSize, 0);  // where each (n, m) was given
    while (lines.next(record)) {
        const std::optional<CoefficientRecord> coefficient = parseCoefficientRecord(record);
        if (!coefficient)
            return ModelReadProblem{lines.lineNumber(), coefficientRecordProblem(record)};
        const auto [n, m, g, h, gRate, hRate] = *coefficient;
        if (n == kEndRecordDegree)
            return std::nullopt;
        // The tables end at degree 12; anything else is not a model file.
        if (n < 0 || n > kMaxModelDegree)
            return ModelReadProblem{lines.lineNumber(), "degree " + std::to_string(n) + " is outside 0 to 12"};
        if (m < 0)
            return ModelReadProblem{lines.lineNumber(), "order " + std::to_string(m) + " is negative"};
        if (m > n)
            continue;
        const auto un = static_cast<std::size_t>(n);
        const auto um = static_cast<std::size_t>(m);
        // A second record for the same degree and order is a damaged file,
        // not a correction to apply silently.
        std::uint64_t& given = lineOf[un * kTableSize + um];
        if (given != 0)
            return ModelReadProblem{lines.lineNumber(), "degree " + std::to_string(n) + " order " + std::to_string(m)
                                                            + " is given twice (first on line "
                                                            + std::to_string(given) + ")"};
        given = lines.lineNumber();
        model.gh[um][un] = g;
        model.ghRate[um][un] = gRate;
        if (m != 0) {
            model.gh[un][um - 1] = h;
            model.ghRate[un][um - 1] = hRate;
        }
    }
    return missingEndProblem(lines);
}

std::optional<ModelReadProblem> loadFixedColumn(ModelLines& lines, ModelFile& model)
{
    std::string record;
    if (!lines.next(record))
        return missingEndProblem(lines);
    const std::optional<HeaderRecord> header = parseHeaderRecord(record);
    if (!header)
        return ModelReadProblem{lines.lineNumber(), headerRecordProblem(record)};

    if (!isModelYear(static_cast<double>(header->epoch)))
        return ModelReadProblem{lines.lineNumber(), yearRangeProblem("the epoch")};
    if (!isModelYear(static_cast<double>(header->lifeSpan)))
        return ModelReadProblem{lines.lineNumber(), yearRangeProblem("the life span")};
    model.epoch = header->epoch;
    model.modelName = header->modelName;
    // Bounds written as 0..360 east become -180..180.
    const auto signedDegrees = [](float bound) { return bound > 180.0f ? bound - 360.0f : bound; };
    model.latMin = signedDegrees(header->latMin);
    model.latMax = signedDegrees(header->latMax);
    model.lonMin = signedDegrees(header->lonMin);
    model.lonMax = signedDegrees(header->lonMax);
    model.lifeSpan = header->lifeSpan > 0.0f ? header->lifeSpan : 5.0f;
    return loadFixedColumnCoefficients(lines, model);
}

std::optional<ModelReadProblem> readByLayout(BoundedInput& input, int32_t requestedDegree,
                                             ModelFile& model)
{
    BoundedLines lines{input};
    const ModelFormat format = peekFormat(lines);
    if (format == ModelFormat::FixedColumn) {
        lines.restart(kMaxModelLineBytes);
        model.resize(kTableSize);
        model.maxDegree = std::clamp(requestedDegree, 0, kMaxModelDegree);
        return loadFixedColumn(lines, model);
    }
    lines.restart(kMaxWideLineBytes);
    if (format == ModelFormat::FreeColumn)
        return readFreeColumnModel(lines, requestedDegree, model);
    return readShcModel(lines, requestedDegree, model);
}

}  // namespace

std::variant<ModelFile, ModelReadProblem> readModelContent(const std::string& fileName, int32_t requestedDegree)
{
    BoundedInput input;
    const std::optional<InputError> refused = openModelFile(fileName, input);
    if (refused && refused->problem == InputProblem::CannotOpen)
        return ModelReadProblem{0, describeInputError(*refused), true};
    ModelFile content;
    content.resize(kTableSize);
    // A file that is there but is no file to read (a device, a pipe) or is
    // far too large is a read failure: it was found, it cannot be read.
    std::optional<ModelReadProblem> problem =
        refused ? ModelReadProblem{0, describeInputError(*refused)}
                : readByLayout(input, requestedDegree, content);
    if (problem)
        return std::move(*problem);
    convertToUnnormalised(content);
    return content;
}

ModelLoad loadModel(const std::string& fileName, int32_t requestedDegree)
{
    std::variant<ModelFile, ModelReadProblem> content = readModelContent(fileName, requestedDegree);
    if (ModelReadProblem* problem = std::get_if<ModelReadProblem>(&content))
        return std::move(*problem);
    return std::make_shared<const MagneticModel>(std::get<ModelFile>(std::move(content)), fileName);
}

}  // namespace tellurim
