#include "engine/ModelChain.h"

#include "engine/HistoryLoader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <optional>

namespace tellurim {

ModelChain::ModelChain(std::vector<Segment> segments, std::string name)
    : m_segments(std::move(segments)), m_name(std::move(name))
{
    for (const Segment& segment : m_segments)
        if (segment.model)
            m_maxDegree = std::max(m_maxDegree, segment.model->maxDegree());
}

void ModelChain::coefficientsAt(double year, std::span<double> out) const
{
    const std::size_t count = gaussCoefficientCount(m_maxDegree);
    std::fill(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(count), 0.0);
    std::size_t at = 0;
    while (at + 1 < m_segments.size() && year > m_segments[at].to)
        ++at;
    const Segment& segment = m_segments[at];
    if (segment.model) {
        segment.model->coefficientsAt(year, out);
        return;
    }
    const double w = (year - segment.from) / (segment.to - segment.from);
    std::vector<double> after(count, 0.0);
    m_segments[at - 1].model->coefficientsAt(year, out);
    m_segments[at + 1].model->coefficientsAt(year, after);
    for (std::size_t k = 0; k < count; ++k)
        out[k] = (1.0 - w) * out[k] + w * after[k];
}

bool isChainHeader(std::string_view firstLine)
{
    const std::vector<std::string_view> fields = splitFields(firstLine);
    return fields.size() == 1 && fields[0] == "tellurim-chain";
}

namespace {

std::optional<double> year(std::string_view text)
{
    double value = 0.0;
    const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string yearText(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.')
        text.pop_back();
    return text;
}

/// What one line of a chain adds, before the parts are loaded.
struct ChainLine {
    std::uint64_t line = 0;
    bool blend = false;
    double from = 0.0;
    double to = 0.0;
    std::string file;
};

/// The chain's lines checked for their own form, the name taken out.
std::variant<std::vector<ChainLine>, ModelReadProblem> readLines(BoundedInput& input, std::string& name)
{
    std::vector<ChainLine> parts;
    std::string line;
    LineRead read = input.nextLine(line);  // the header, told already
    while ((read = input.nextLine(line)) == LineRead::Line) {
        const std::uint64_t number = input.lineNumber();
        const std::vector<std::string_view> fields = splitFields(line);
        if (fields.empty() || fields[0].front() == '#')
            continue;
        if (fields[0] == "name" && fields.size() >= 2) {
            name = std::string{line.substr(static_cast<std::size_t>(fields[1].data() - line.data()))};
            name.erase(name.find_last_not_of(" \t") + 1);
            continue;
        }
        const bool blend = fields[0] == "blend";
        if ((!blend && fields[0] != "model") || fields.size() < (blend ? 3u : 4u) || (blend && fields.size() > 3))
            return ModelReadProblem{number, "not \"model FROM TO FILE\", \"blend FROM TO\" or \"name TEXT\""};
        const std::optional<double> from = year(fields[1]);
        const std::optional<double> to = year(fields[2]);
        if (!from || !to)
            return ModelReadProblem{number, "the span is not two decimal years"};
        if (!(*from < *to))
            return ModelReadProblem{number, "the span does not end after it starts"};
        if (!parts.empty() && *from < parts.back().to)
            return ModelReadProblem{number, "the span overlaps the one before"};
        if (!parts.empty() && *from > parts.back().to)
            return ModelReadProblem{number, "the span leaves a gap after the one before"};
        if (blend && (parts.empty() || parts.back().blend))
            return ModelReadProblem{number, "a blend must follow a model"};
        std::string file;
        if (!blend) {
            file = line.substr(static_cast<std::size_t>(fields[3].data() - line.data()));
            file.erase(file.find_last_not_of(" \t") + 1);
        }
        parts.push_back(ChainLine{number, blend, *from, *to, std::move(file)});
    }
    if (read != LineRead::End)
        return ModelReadProblem{input.lineNumber(), read == LineRead::TooLong
                                                        ? "longer than " + std::to_string(kMaxModelLineBytes) + " bytes"
                                                        : describeInputError(input.error())};
    if (parts.empty())
        return ModelReadProblem{0, "the chain names no model"};
    if (parts.back().blend)
        return ModelReadProblem{parts.back().line, "a blend must be followed by a model"};
    return parts;
}

/// The part's file: as written when absolute, else beside the chain.
std::string partPath(const std::string& chainPath, const std::string& file)
{
    const std::filesystem::path path{file};
    if (path.is_absolute())
        return file;
    return (std::filesystem::path{chainPath}.parent_path() / path).string();
}

bool sameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

}  // namespace

std::variant<std::shared_ptr<const ModelChain>, ModelReadProblem> readModelChain(BoundedInput& input,
                                                                                const std::string& chainPath)
{
    std::string name;
    std::variant<std::vector<ChainLine>, ModelReadProblem> lines = readLines(input, name);
    if (auto* problem = std::get_if<ModelReadProblem>(&lines))
        return *problem;
    input.close();

    std::vector<ModelChain::Segment> segments;
    std::string joined;
    for (const ChainLine& part : std::get<std::vector<ChainLine>>(lines)) {
        if (part.blend) {
            segments.push_back({nullptr, part.from, part.to});
            continue;
        }
        const std::string path = partPath(chainPath, part.file);
        if (sameFile(path, chainPath))
            return ModelReadProblem{part.line, "the chain names itself"};
        LoadedHistory loaded = loadCoefficientHistory(path, false);
        if (auto* problem = std::get_if<ModelReadProblem>(&loaded)) {
            std::string where = problem->line == 0 ? "" : "line " + std::to_string(problem->line) + ": ";
            return ModelReadProblem{part.line, "cannot read " + part.file + ": " + where + problem->reason};
        }
        std::shared_ptr<const CoefficientHistory> model = std::get<0>(std::move(loaded));
        if (part.from < model->validFrom() || part.to > model->validTo())
            return ModelReadProblem{part.line, yearText(part.from) + " to " + yearText(part.to)
                                                   + " lies outside the span of " + model->name() + " ("
                                                   + yearText(model->validFrom()) + " to "
                                                   + yearText(model->validTo()) + ")"};
        joined += (joined.empty() ? "" : " + ") + model->name();
        segments.push_back({std::move(model), part.from, part.to});
    }
    return std::make_shared<const ModelChain>(std::move(segments), name.empty() ? joined : name);
}

}  // namespace tellurim
