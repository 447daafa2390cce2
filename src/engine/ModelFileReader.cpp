#include "engine/ModelFileReader.h"

#include "engine/ModelEngine.h"
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

std::optional<HeaderRecord> parseHeaderRecord(std::string_view record)
{
    HeaderRecord header;
    const std::optional<float> epoch = readRealField(record, 5, 6);
    const std::optional<float> lifeSpan = readRealField(record, 49, 6);
    const std::optional<float> latMin = readRealField(record, 55, 6);
    const std::optional<float> latMax = readRealField(record, 61, 6);
    const std::optional<float> lonMin = readRealField(record, 67, 6);
    const std::optional<float> lonMax = readRealField(record, 73, 6);
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
    const std::optional<int32_t> n = readIntegerField(record, 2, 2);
    const std::optional<int32_t> m = readIntegerField(record, 5, 2);
    const std::optional<float> g = readRealField(record, 8, 9);
    const std::optional<float> h = readRealField(record, 18, 9);
    const std::optional<float> gRate = readRealField(record, 28, 10);
    const std::optional<float> hRate = readRealField(record, 39, 10);
    if (!n || !m || !g || !h || !gRate || !hRate)
        return std::nullopt;
    return CoefficientRecord{*n, *m, *g, *h, *gRate, *hRate};
}

namespace {

/// The lines of an open file. Lines longer than kKeptCharacters are cut
/// there (the classic records use 78 columns, the rest is ignored anyway),
/// so an endless line costs no memory; once strict, a cut line stops the
/// reading instead. The first lines are kept so that, after the layout has
/// been told from them, reading can start again at the top. A trailing
/// carriage return (CR LF files) is not part of the line.
class FileLines final : public ModelLines {
public:
    explicit FileLines(std::FILE* file) : m_file(file) {}

    bool next(std::string& line) override
    {
        if (m_replay < m_kept.size()) {
            line = m_kept[m_replay].text;
            const bool cut = m_kept[m_replay].cut;
            ++m_replay;
            ++m_lineNumber;
            return acceptCut(cut);
        }
        bool cut = false;
        if (!readLine(line, cut))
            return false;
        ++m_lineNumber;
        if (m_keeping) {
            m_kept.push_back({line, cut});
            m_replay = m_kept.size();
        }
        return acceptCut(cut);
    }

    std::uint64_t lineNumber() const override { return m_lineNumber; }
    ModelReadProblem problem() const override { return m_problem; }
    bool failed() const { return std::ferror(m_file) != 0; }

    /// Reads again from the first line; lines are no longer kept.
    void restart(bool strict)
    {
        m_replay = 0;
        m_lineNumber = 0;
        m_keeping = false;
        m_strict = strict;
    }

private:
    struct KeptLine {
        std::string text;
        bool cut;
    };

    bool readLine(std::string& line, bool& cut)
    {
        line.clear();
        bool any = false;
        int c = 0;
        while ((c = std::getc(m_file)) != EOF) {
            any = true;
            if (c == '\n')
                break;
            if (line.size() < kKeptCharacters)
                line.push_back(static_cast<char>(c));
            else
                cut = true;
        }
        if (!cut && !line.empty() && line.back() == '\r')
            line.pop_back();
        if (failed()) {
            m_problem = {m_lineNumber + 1, "the file cannot be read"};
            return false;
        }
        return any;
    }

    bool acceptCut(bool cut)
    {
        if (!cut || !m_strict)
            return true;
        m_problem = {m_lineNumber, "the line is too long"};
        return false;
    }

    static constexpr std::size_t kKeptCharacters = 4096;
    std::FILE* m_file;
    std::vector<KeptLine> m_kept;
    std::size_t m_replay = 0;
    std::uint64_t m_lineNumber = 0;
    bool m_keeping = true;
    bool m_strict = false;
    ModelReadProblem m_problem;
};

ModelFormat peekFormat(FileLines& lines)
{
    std::string first;
    std::string second;
    if (lines.next(first))
        lines.next(second);
    return detectModelFormat(first, second);
}

}  // namespace

void ModelEngine::readModelFile(int32_t requestedDegree, std::string& fileName)
{
    FilePtr file = openModelFile(fileName);
    m_readProblem = {};
    if (!file) {
        if (m_model->isLoaded) {
            MagneticModel unused = *m_model;
            unused.isLoaded = false;
            installModel(std::move(unused));
        }
        m_sink->showPlainMessage("ERROR OPENING FILE:;" + fileName);
        fileName = std::string{kModelNotFoundText};
        return;
    }

    MagneticModel fresh;
    FileLines lines{file.get()};
    const ModelFormat format = peekFormat(lines);
    lines.restart(format != ModelFormat::FixedColumn);
    std::optional<ModelReadProblem> problem;
    if (format == ModelFormat::FixedColumn) {
        fresh.resize(kTableSize);
        fresh.maxDegree = std::clamp(requestedDegree, 0, kMaxModelDegree);
        problem = loadModel(lines, fresh);
    } else if (format == ModelFormat::FreeColumn) {
        problem = readFreeColumnModel(lines, requestedDegree, fresh);
    } else {
        problem = readShcModel(lines, requestedDegree, fresh);
    }
    file.reset();  // closed before any message box
    m_readProblem = problem.value_or(ModelReadProblem{});
    if (problem) {
        m_cache.clear(fresh.tableSize());
        installModel(std::move(fresh));
        m_sink->showPlainMessage("ERROR READING FILE:;" + fileName);
        return;
    }
    convertToUnnormalised(fresh);
    m_cache.clear(fresh.tableSize());
    m_cache.forgetInputs();
    fresh.isLoaded = true;
    installModel(std::move(fresh));
}

std::optional<ModelReadProblem> ModelEngine::loadModel(ModelLines& lines, MagneticModel& model)
{
    std::string record;
    if (!lines.next(record))
        return ModelReadProblem{lines.lineNumber(), "the file is empty"};
    const std::optional<HeaderRecord> header = parseHeaderRecord(record);
    if (!header)
        return ModelReadProblem{1, "the header is not readable"};

    model.epoch = header->epoch;
    model.modelName = header->modelName;
    // Bounds written as 0..360 east become -180..180.
    const auto signedDegrees = [](float bound) { return bound > 180.0f ? bound - 360.0f : bound; };
    model.latMin = signedDegrees(header->latMin);
    model.latMax = signedDegrees(header->latMax);
    model.lonMin = signedDegrees(header->lonMin);
    model.lonMax = signedDegrees(header->lonMax);
    model.lifeSpan = header->lifeSpan > 0.0f ? header->lifeSpan : 5.0f;

    while (lines.next(record)) {
        const std::optional<CoefficientRecord> coefficient = parseCoefficientRecord(record);
        if (!coefficient)
            return ModelReadProblem{lines.lineNumber(), "the record is not readable"};
        const auto [n, m, g, h, gRate, hRate] = *coefficient;
        if (n == kEndRecordDegree)
            return std::nullopt;
        // The tables end at degree 12; anything else is not a model file.
        if (n < 0 || n > kMaxModelDegree || m < 0)
            return ModelReadProblem{lines.lineNumber(), "the degree or order is out of range"};
        if (m > n)
            continue;
        const auto un = static_cast<std::size_t>(n);
        const auto um = static_cast<std::size_t>(m);
        model.gh[um][un] = g;
        model.ghRate[um][un] = gRate;
        if (m != 0) {
            model.gh[un][um - 1] = h;
            model.ghRate[un][um - 1] = hRate;
        }
    }
    // The end of the file (or a read error) before the end record.
    const ModelReadProblem stopped = lines.problem();
    return stopped.reason.empty() ? ModelReadProblem{lines.lineNumber(), "the end record is missing"} : stopped;
}

}  // namespace tellurim
