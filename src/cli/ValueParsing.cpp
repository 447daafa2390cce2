#include "cli/ValueParsing.h"


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
    message += formatShortestFixed(low);
    message += " and ";
    message += formatShortestFixed(high);
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

}  // namespace

Checked<float> parseBoundedReal(std::string_view text, std::string_view name, float low, float high)
{
    const auto value = parseFiniteSingle(text);
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
    const auto value = parseFiniteSingle(number);
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

Checked<CalendarDate> parseIsoDate(std::string_view text, std::string_view name)
{
    const std::string given(text);
    const size_t firstDash = text.find('-');
    const size_t secondDash = firstDash == std::string_view::npos ? firstDash : text.find('-', firstDash + 1);
    std::optional<int32_t> year;
    std::optional<int32_t> month;
    std::optional<int32_t> day;
    if (firstDash == 4 && secondDash != std::string_view::npos) {
        year = parseDigits(text.substr(0, firstDash), 4);
        month = parseDigits(text.substr(firstDash + 1, secondDash - firstDash - 1), 2);
        day = parseDigits(text.substr(secondDash + 1), 2);
    }
    if (!year || !month || !day) {
        return Checked<CalendarDate>::fail(std::string(name) + " must be a date written YYYY-MM-DD (got " + given + ")");
    }
    const CalendarDate date{*year, *month, *day};
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
    const std::optional<int32_t> value = parseDigits(text, 5);
    if (!value || *value < 1 || *value > kMaxThreads) {
        return Checked<int>::fail(std::string(name) + " must be a whole number between 1 and " +
                                 std::to_string(kMaxThreads) + " (got " + std::string(text) + ")");
    }
    return Checked<int>::ok(*value);
}

}  // namespace tellurim::cli
