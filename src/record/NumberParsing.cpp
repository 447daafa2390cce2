// The reading half of the number-text module (see NumberText.h).
#include "record/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tellurim {

namespace {

constexpr std::string_view kBlanks = " \t\r\n\f\v";

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

// from_chars takes no '+'; people type one. A second sign is no number.
std::string_view dropPlus(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return {};
    }
    return text;
}

/// For a decimal number (optionally signed) that from_chars found too large
/// or too small for a double: true when too large. Such a number has a
/// decimal exponent far from 0, so the position of its first significant
/// digit plus its exponent tells which.
bool decimalOverflows(std::string_view number)
{
    size_t i = !number.empty() && (number[0] == '-' || number[0] == '+') ? 1 : 0;
    int64_t position = 0;  // digits before the point, or minus the zeros after it
    bool significant = false;
    for (; i < number.size() && isDigit(number[i]); ++i) {
        if (significant || number[i] != '0') {
            significant = true;
            ++position;
        }
    }
    if (i < number.size() && number[i] == '.') {
        for (++i; i < number.size() && isDigit(number[i]); ++i) {
            if (!significant) {
                significant = number[i] != '0';
                position -= significant ? 0 : 1;
            }
        }
    }
    int64_t exponent = 0;
    if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
            negative = number[i] == '-';
            ++i;
        }
        for (; i < number.size() && isDigit(number[i]); ++i) {
            if (exponent < 1000000000) {
                exponent = exponent * 10 + (number[i] - '0');
            }
        }
        exponent = negative ? -exponent : exponent;
    }
    return position + exponent > 0;
}

}  // namespace

Parsed<double> parseDouble(std::string_view text)
{
    text = dropPlus(trimBlanks(text));
    if (text.empty())
        return {};
    // Only decimal forms: from_chars would also take "inf" and "nan".
    const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (!isDigit(first) && first != '.')
        return {};
    double value = 0.0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ptr != text.data() + text.size())
        return {};
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow rounds to zero harmlessly; overflow cannot be held.
        if (!decimalOverflows(text))
            return {ParseStatus::Ok, 0.0};
        return {ParseStatus::TooLarge, 0.0};
    }
    if (result.ec != std::errc())
        return {};
    return {ParseStatus::Ok, value};
}

Parsed<float> parseSingle(std::string_view text)
{
    const Parsed<double> parsed = parseDouble(text);
    if (parsed.status != ParseStatus::Ok)
        return {parsed.status, 0.0f};
    if (std::fabs(parsed.value) > static_cast<double>(std::numeric_limits<float>::max()))
        return {ParseStatus::TooLarge, 0.0f};
    return {ParseStatus::Ok, static_cast<float>(parsed.value)};
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

Parsed<float> parseCommandLineSingle(std::string_view text)
{
    text = dropPlus(text);
    if (text.empty()) {
        return {};
    }
    const char* const end = text.data() + text.size();
    float value = 0.0f;
    const auto result = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (result.ptr != end) {
        return {};
    }
    if (result.ec == std::errc::result_out_of_range) {
        if (decimalOverflows(text)) {
            return {ParseStatus::TooLarge, 0.0f};
        }
        // Below the smallest single: what a double makes of it, rounded.
        double tiny = 0.0;
        const auto wide = std::from_chars(text.data(), end, tiny, std::chars_format::general);
        value = wide.ec == std::errc() ? static_cast<float>(tiny) : 0.0f;
    } else if (result.ec != std::errc() || !std::isfinite(value)) {
        return {};
    }
    if (value == 0.0f) {
        value = 0.0f;
    }
    return {ParseStatus::Ok, value};
}

std::optional<int32_t> parseDigits(std::string_view text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits || maxDigits > 9) {
        return std::nullopt;
    }
    int32_t value = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

namespace {

// Skips leading white space and one sign, as the C conversions do; true for
// a minus sign.
bool skipBlanksAndSign(std::string_view& text)
{
    const std::size_t first = text.find_first_not_of(kBlanks);
    text.remove_prefix(first == std::string_view::npos ? text.size() : first);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    return negative;
}

}  // namespace

double parseLenientDouble(std::string_view text)
{
    const bool negative = skipBlanksAndSign(text);
    // A second sign is not part of a number; from_chars would take a '-'.
    if (text.empty() || text.front() == '+' || text.front() == '-') {
        return 0.0;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        const std::string_view number(text.data(), static_cast<size_t>(end - text.data()));
        value = decimalOverflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

int32_t parseLenientInt(std::string_view text)
{
    const bool negative = skipBlanksAndSign(text);
    int64_t magnitude = 0;
    constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
    for (size_t i = 0; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = std::min(magnitude * 10 + (text[i] - '0'), kLimit);
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

}  // namespace tellurim
