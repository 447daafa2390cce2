#include "engine/SplineModelFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

namespace tellurim {

namespace {

/// Models above this degree are refused before anything is stored.
constexpr int32_t kMaxSplineDegree = 100;

/// A number as the file writes it: a decimal number whose exponent may be
/// written with D. Nothing for anything else, infinities and NaN included.
std::optional<double> splineNumber(std::string_view text)
{
    std::string copy{text};
    for (char& c : copy)
        if (c == 'D' || c == 'd')
            c = 'E';
    const char* begin = copy.data();
    if (!copy.empty() && copy[0] == '+')
        ++begin;
    double value = 0.0;
    const auto [end, error] = std::from_chars(begin, copy.data() + copy.size(), value);
    if (error != std::errc{} || end != copy.data() + copy.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int64_t> wholeNumber(std::string_view text)
{
    int64_t value = 0;
    const char* begin = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

/// A field as quoted in a message, at most 40 characters of it.
std::string quoted(std::string_view field)
{
    std::string text(1, '"');
    text.append(field.substr(0, 40));
    text.push_back('"');
    return text;
}

ModelReadProblem problemAt(std::uint64_t line, std::string reason)
{
    return ModelReadProblem{line, std::move(reason)};
}

/// The blank-separated fields of the file after its title, one at a time,
/// with the number of the line each came from.
class FieldStream {
public:
    explicit FieldStream(BoundedInput& input) : m_input(input) {}

    /// The next field; nothing at the end of the file or when reading
    /// stopped (problem() then says why).
    std::optional<std::string_view> next()
    {
        while (m_index >= m_fields.size()) {
            if (m_problem)
                return std::nullopt;
            const LineRead read = m_input.nextLine(m_line, kMaxSplineLineBytes);
            if (read != LineRead::Line) {
                if (read == LineRead::TooLong)
                    m_problem = problemAt(m_input.lineNumber(), "the line is longer than 8 MB");
                else if (read == LineRead::ReadError)
                    m_problem = problemAt(m_input.lineNumber() + 1, describeInputError(m_input.error()));
                return std::nullopt;
            }
            m_fields = splitFields(m_line);
            m_index = 0;
        }
        return m_fields[m_index++];
    }
    std::uint64_t line() const { return m_input.lineNumber(); }
    const std::optional<ModelReadProblem>& problem() const { return m_problem; }

private:
    BoundedInput& m_input;
    std::string m_line;
    std::vector<std::string_view> m_fields;
    std::size_t m_index = 0;
    std::optional<ModelReadProblem> m_problem;
};

/// The next number, or the problem: where the file ended early (and what
/// was missing) or which field is not a number.
std::variant<double, ModelReadProblem> nextNumber(FieldStream& fields, std::string_view what)
{
    const std::optional<std::string_view> field = fields.next();
    if (!field) {
        if (fields.problem())
            return *fields.problem();
        return problemAt(fields.line(), "the file ends before " + std::string{what});
    }
    const std::optional<double> value = splineNumber(*field);
    if (!value)
        return problemAt(fields.line(), quoted(*field) + " in " + std::string{what} + " is not a number");
    return *value;
}

struct SplineSizes {
    int32_t degree = 0;
    std::size_t splines = 0;
};

std::variant<SplineSizes, ModelReadProblem> readSizes(FieldStream& fields)
{
    int64_t values[3] = {0, 0, 0};
    for (int64_t& value : values) {
        const std::optional<std::string_view> field = fields.next();
        if (!field)
            return fields.problem() ? *fields.problem()
                                    : problemAt(fields.line(), "the file ends before the degree and the number of splines");
        const std::optional<int64_t> whole = wholeNumber(*field);
        if (!whole)
            return problemAt(fields.line(), "the degree, flag and number of splines are not three whole numbers");
        value = *whole;
    }
    if (values[0] < 1 || values[0] > kMaxSplineDegree)
        return problemAt(fields.line(), "degree " + std::to_string(values[0]) + " is outside 1 to "
                                            + std::to_string(kMaxSplineDegree));
    // The file size bounds what can be stored: no claim is trusted further.
    if (values[2] < 4 || values[2] > 1000000)
        return problemAt(fields.line(), "the number of splines " + std::to_string(values[2])
                                            + " is outside 4 to 1000000");
    return SplineSizes{static_cast<int32_t>(values[0]), static_cast<std::size_t>(values[2])};
}

std::variant<std::vector<double>, ModelReadProblem> readKnots(FieldStream& fields, std::size_t count)
{
    std::vector<double> knots;
    for (std::size_t k = 0; k < count; ++k) {
        std::variant<double, ModelReadProblem> knot = nextNumber(fields, "the knots");
        if (auto* problem = std::get_if<ModelReadProblem>(&knot))
            return *problem;
        const double value = std::get<double>(knot);
        if (!knots.empty() && !(value > knots.back()))
            return problemAt(fields.line(), "the knots are not ascending");
        if (knots.size() >= 2) {
            // Knots are written to a few decimals; allow their rounding only.
            const double spacing = knots[1] - knots[0];
            if (std::abs((value - knots.back()) - spacing) > 1e-6 * std::max(1.0, std::abs(spacing)))
                return problemAt(fields.line(), "the knots are not evenly spaced");
        }
        knots.push_back(value);
    }
    return knots;
}

struct Title {
    double from = 0.0;
    double to = 0.0;
};

std::variant<Title, ModelReadProblem> readTitle(BoundedInput& input)
{
    std::string line;
    const LineRead read = input.nextLine(line, kMaxSplineLineBytes);
    if (read == LineRead::End)
        return problemAt(0, "the file is empty");
    if (read != LineRead::Line)
        return problemAt(1, read == LineRead::TooLong ? "the line is longer than 8 MB"
                                                      : describeInputError(input.error()));
    const std::vector<std::string_view> fields = splitFields(line);
    const std::optional<double> from = fields.size() >= 2 ? splineNumber(fields[0]) : std::nullopt;
    const std::optional<double> to = fields.size() >= 2 ? splineNumber(fields[1]) : std::nullopt;
    if (!from || !to)
        return problemAt(1, "the title does not start with the valid start and end years");
    if (!(*from < *to))
        return problemAt(1, "the valid span does not end after it starts");
    return Title{*from, *to};
}

}  // namespace

bool looksLikeSplineModel(std::string_view firstLine, std::string_view secondLine)
{
    const std::vector<std::string_view> title = splitFields(firstLine);
    const std::vector<std::string_view> sizes = splitFields(secondLine);
    return title.size() >= 2 && splineNumber(title[0]) && splineNumber(title[1]) && sizes.size() == 3
           && wholeNumber(sizes[0]) && wholeNumber(sizes[1]) && wholeNumber(sizes[2]);
}

std::variant<std::shared_ptr<const SplineCoefficients>, ModelReadProblem>
readSplineModel(BoundedInput& input, std::string name)
{
    std::variant<Title, ModelReadProblem> title = readTitle(input);
    if (auto* problem = std::get_if<ModelReadProblem>(&title))
        return *problem;
    FieldStream fields{input};
    std::variant<SplineSizes, ModelReadProblem> sizes = readSizes(fields);
    if (auto* problem = std::get_if<ModelReadProblem>(&sizes))
        return *problem;
    const auto [degree, splines] = std::get<SplineSizes>(sizes);

    std::variant<std::vector<double>, ModelReadProblem> knotList = readKnots(fields, splines + 4);
    if (auto* problem = std::get_if<ModelReadProblem>(&knotList))
        return *problem;
    std::vector<double> knots = std::move(std::get<std::vector<double>>(knotList));
    const auto [from, to] = std::get<Title>(title);
    if (from < knots[3] || to > knots[splines])
        return problemAt(1, "the valid span lies outside the knots' span " + std::to_string(knots[3]) + " to "
                                + std::to_string(knots[splines]));

    // Stored as read, never reserved from the counts the file claims.
    const std::size_t wanted = splines * gaussCoefficientCount(degree);
    std::vector<double> coefficients;
    while (coefficients.size() < wanted) {
        const std::optional<std::string_view> field = fields.next();
        if (!field) {
            if (fields.problem())
                return *fields.problem();
            return problemAt(fields.line(), "too few coefficients: " + std::to_string(coefficients.size())
                                                + " of " + std::to_string(wanted));
        }
        const std::optional<double> value = splineNumber(*field);
        if (!value)
            return problemAt(fields.line(), quoted(*field) + " is not a number");
        coefficients.push_back(*value);
    }
    if (fields.next())
        return problemAt(fields.line(), "more numbers follow the last coefficient block");
    if (fields.problem())
        return *fields.problem();
    return std::make_shared<const SplineCoefficients>(std::move(name), degree, std::move(knots),
                                                      std::move(coefficients), from, to);
}

}  // namespace tellurim
