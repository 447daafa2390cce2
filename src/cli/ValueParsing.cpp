#include "cli/ValueParsing.h"

#include <charconv>
#include <cmath>

namespace tellurim::cli {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char upper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string rangeError(std::string_view name, std::string_view text, float low, float high,
                       bool notANumber)
{
    std::string message(name);
    message += notANumber ? " must be a number between " : " must be between ";
    message += boundText(low);
    message += " and ";
    message += boundText(high);
    message += " (got ";
    message += text.empty() ? std::string_view("nothing") : text;
    message += ")";
    return message;
}

bool inRange(float value, float low, float high)
{
    // Written so that NaN is never in range.
    return value >= low && value <= high;
}

// A run of 1..maxDigits decimal digits as a whole number; false otherwise.
bool parseDigits(std::string_view text, size_t maxDigits, int32_t& out)
{
    if (text.empty() || text.size() > maxDigits) {
        return false;
    }
    int32_t value = 0;
    for (const char c : text) {
        if (!isDigit(c)) {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    out = value;
    return true;
}

}  // namespace

std::string boundText(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::optional<float> parseReal(std::string_view text)
{
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        // "+-5" is not a number; from_chars would take the '-' itself.
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    float value = 0.0f;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value,
                                        std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    if (value == 0.0f) {
        value = 0.0f;  // no "-0.000000" in the output
    }
    return value;
}

Checked<float> parseBoundedReal(std::string_view text, std::string_view name, float low, float high)
{
    const auto value = parseReal(text);
    if (!value) {
        return Checked<float>::fail(rangeError(name, text, low, high, true));
    }
    if (!inRange(*value, low, high)) {
        return Checked<float>::fail(rangeError(name, text, low, high, false));
    }
    return Checked<float>::ok(*value);
}

Checked<float> parseCoordinate(std::string_view text, std::string_view name, Axis axis)
{
    const bool latitude = axis == Axis::Latitude;
    const float low = latitude ? kMinLatitude : kMinLongitude;
    const float high = latitude ? kMaxLatitude : kMaxLongitude;
    const char positive = latitude ? 'N' : 'E';
    const char negative = latitude ? 'S' : 'W';

    std::string_view number = text;
    bool negate = false;
    if (!number.empty() && !isDigit(number.back()) && number.back() != '.') {
        const char letter = upper(number.back());
        if (letter == positive || letter == negative) {
            number.remove_suffix(1);
            if (!number.empty() && (number.front() == '-' || number.front() == '+')) {
                return Checked<float>::fail(std::string(name) + " takes either a sign or a hemisphere letter, not both (got " +
                                           std::string(text) + ")");
            }
            negate = letter == negative;
        } else if (letter == 'N' || letter == 'S' || letter == 'E' || letter == 'W') {
            return Checked<float>::fail(std::string(name) + " takes the hemisphere letter " + positive + " or " +
                                       negative + ", not " + letter + " (got " + std::string(text) + ")");
        }
    }
    const auto value = parseReal(number);
    if (!value) {
        return Checked<float>::fail(rangeError(name, text, low, high, true));
    }
    float signedValue = negate ? -*value : *value;
    if (signedValue == 0.0f) {
        signedValue = 0.0f;
    }
    if (!inRange(signedValue, low, high)) {
        return Checked<float>::fail(rangeError(name, text, low, high, false));
    }
    return Checked<float>::ok(signedValue);
}

int daysInMonth(int32_t year, int32_t month)
{
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) {
        return 0;
    }
    if (month == 2) {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return kDays[month - 1];
}

Checked<CalendarDate> parseIsoDate(std::string_view text, std::string_view name)
{
    const std::string given(text);
    const size_t firstDash = text.find('-');
    const size_t secondDash = firstDash == std::string_view::npos ? firstDash : text.find('-', firstDash + 1);
    CalendarDate date;
    if (secondDash == std::string_view::npos ||
        !parseDigits(text.substr(0, firstDash), 4, date.year) || firstDash != 4 ||
        !parseDigits(text.substr(firstDash + 1, secondDash - firstDash - 1), 2, date.month) ||
        !parseDigits(text.substr(secondDash + 1), 2, date.day)) {
        return Checked<CalendarDate>::fail(std::string(name) + " must be a date written YYYY-MM-DD (got " + given + ")");
    }
    if (date.year < 1000 || date.year > 3000) {
        return Checked<CalendarDate>::fail(std::string(name) + " year must be between 1000 and 3000 (got " + given + ")");
    }
    if (date.month < 1 || date.month > 12) {
        return Checked<CalendarDate>::fail(std::string(name) + " month must be between 1 and 12 (got " + given + ")");
    }
    const int days = daysInMonth(date.year, date.month);
    if (date.day < 1 || date.day > days) {
        return Checked<CalendarDate>::fail(std::string(name) + " day must be between 1 and " + std::to_string(days) +
                                          " for that month (got " + given + ")");
    }
    return Checked<CalendarDate>::ok(date);
}

Checked<int> parseThreadCount(std::string_view text, std::string_view name)
{
    int32_t value = 0;
    if (!parseDigits(text, 5, value) || value < 1 || value > kMaxThreads) {
        return Checked<int>::fail(std::string(name) + " must be a whole number between 1 and " +
                                 std::to_string(kMaxThreads) + " (got " + std::string(text) + ")");
    }
    return Checked<int>::ok(value);
}

}  // namespace tellurim::cli
