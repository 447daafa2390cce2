#include "workspace/Exchange.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace tellurim {
namespace {

std::string_view trimBlanks(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n\f\v";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// from_chars takes no '+'; the window accepts one, as users type it.
std::string_view dropPlus(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return {};
    }
    return text;
}

// Roughly the power of ten of a number too large or too small for a double,
// enough to tell overflow from underflow.
long long decimalMagnitude(std::string_view number)
{
    const std::size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        if (!digits.empty() && digits.front() == '+')
            digits.remove_prefix(1);
        const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), exponent);
        if (parsed.ec == std::errc::result_out_of_range)
            exponent = digits.front() == '-' ? -1'000'000'000LL : 1'000'000'000LL;
    }
    long long integerDigits = 0;
    long long leadingFractionZeros = 0;
    bool seenNonZero = false;
    bool inFraction = false;
    for (const char c : mantissa) {
        if (c == '.') {
            inFraction = true;
        } else if (c >= '0' && c <= '9') {
            seenNonZero = seenNonZero || c != '0';
            if (!inFraction && seenNonZero)
                ++integerDigits;
            else if (inFraction && !seenNonZero)
                ++leadingFractionZeros;
        }
    }
    return (integerDigits > 0 ? integerDigits : -leadingFractionZeros) + exponent;
}

std::string replaceAll(std::string text, std::string_view from, const std::string& to)
{
    const std::size_t at = text.find(from);
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

std::string formatBound(const FieldSpec& spec, double bound)
{
    if (spec.kind == FieldKind::Integer)
        return formatInteger(static_cast<int32_t>(bound));
    return formatSingle(static_cast<float>(bound));
}

}  // namespace

std::string formatSingle(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::general, 6);
    return std::string(buffer, result.ptr);
}

std::string formatInteger(int32_t value)
{
    return std::to_string(value);
}

Parsed<float> parseSingle(std::string_view text)
{
    text = dropPlus(trimBlanks(text));
    if (text.empty())
        return {};
    // Only decimal forms: from_chars would also take "inf" and "nan".
    const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (!(first >= '0' && first <= '9') && first != '.')
        return {};
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ptr != text.data() + text.size())
        return {};
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow rounds to zero harmlessly; overflow cannot be held.
        if (decimalMagnitude(text) < 0)
            return {ParseStatus::Ok, 0.0f};
        return {ParseStatus::TooLarge, 0.0f};
    }
    if (result.ec != std::errc())
        return {};
    if (std::fabs(value) > static_cast<double>(std::numeric_limits<float>::max()))
        return {ParseStatus::TooLarge, 0.0f};
    return {ParseStatus::Ok, static_cast<float>(value)};
}

Parsed<int32_t> parseInteger(std::string_view text)
{
    text = dropPlus(trimBlanks(text));
    if (text.empty())
        return {};
    int32_t value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ptr != text.data() + text.size())
        return {};
    if (result.ec == std::errc::result_out_of_range)
        return {ParseStatus::TooLarge, 0};
    if (result.ec != std::errc())
        return {};
    return {ParseStatus::Ok, value};
}

Message takeMessage(const FieldSpec& spec, TakeProblem problem)
{
    const bool integer = spec.kind == FieldKind::Integer;
    Message message;
    message.caption = std::string(kAppName);
    message.buttons = Buttons::Ok;
    if (problem == TakeProblem::NotANumber) {
        message.icon = Icon::None;
        message.text = integer ? "Please enter an integer." : "Please enter a number.";
        return message;
    }
    message.icon = Icon::Exclamation;
    std::string text = integer ? "Please enter an integer between %1 and %2."
                               : "Please enter a number between %1 and %2.";
    text = replaceAll(std::move(text), "%1", formatBound(spec, spec.minimum));
    message.text = replaceAll(std::move(text), "%2", formatBound(spec, spec.maximum));
    return message;
}

}  // namespace tellurim
