#include "cli/ValueParsing.h"

#include "record/Utf8.h"

#include <cmath>

namespace tellurim::cli {

namespace {

bool isControl(std::string_view character)
{
    const auto lead = static_cast<unsigned char>(character[0]);
    // C0, DEL, and the C1 controls U+0080 to U+009F (C2 80 to C2 9F).
    return lead < 0x20 || lead == 0x7F ||
           (lead == 0xC2 && static_cast<unsigned char>(character[1]) < 0xA0);
}

void appendEscaped(std::string& out, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto value = static_cast<unsigned char>(c);
        out += "\\x";
        out += kHex[value >> 4];
        out += kHex[value & 0x0F];
    }
}

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
    message += text.empty() ? std::string("nothing") : echoed(text);
    message += ")";
    return message;
}

bool inRange(float value, float low, float high)
{
    // Written so that NaN is never in range.
    return value >= low && value <= high;
}

}  // namespace

std::string echoed(std::string_view text)
{
    std::string out;
    std::size_t characters = 0;
    while (!text.empty()) {
        if (characters == kMaxEchoedCharacters) {
            out += "...";
            break;
        }
        const std::size_t length = utf8Length(text);
        const std::string_view character = text.substr(0, length == 0 ? 1 : length);
        if (length == 0 || isControl(character)) {
            appendEscaped(out, character);
        } else {
            out += character;
        }
        text.remove_prefix(character.size());
        ++characters;
    }
    return out;
}

Checked<float> parseBoundedReal(std::string_view text, std::string_view name, float low, float high)
{
    const Parsed<float> value = parseCommandLineSingle(text);
    if (value.status != ParseStatus::Ok || !inRange(value.value, low, high)) {
        return Checked<float>::fail(rangeError(name, text, low, high, value.status == ParseStatus::NotANumber));
    }
    return Checked<float>::ok(value.value);
}

Checked<double> parseGridCoordinate(std::string_view text, std::string_view name)
{
    const Parsed<double> value = parseDouble(text);
    if (value.status != ParseStatus::Ok || !(std::abs(value.value) <= kMaxGridCoordinate)) {
        return Checked<double>::fail(std::string(name) + " must be a number between -1000000000 and 1000000000 (got " +
                                     (text.empty() ? std::string("nothing") : echoed(text)) + ")");
    }
    return Checked<double>::ok(value.value);
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
                                           echoed(text) + ")");
            }
            negate = letter == negative;
        } else if (letter == 'N' || letter == 'S' || letter == 'E' || letter == 'W') {
            return Checked<float>::fail(std::string(name) + " takes the hemisphere letter " + positive + " or " +
                                       negative + ", not " + letter + " (got " + echoed(text) + ")");
        }
    }
    const Parsed<float> value = parseCommandLineSingle(number);
    if (value.status != ParseStatus::Ok) {
        return Checked<float>::fail(rangeError(name, text, low, high, value.status == ParseStatus::NotANumber));
    }
    float signedValue = negate ? -value.value : value.value;
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
    const std::string given = echoed(text);
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
                                 std::to_string(kMaxThreads) + " (got " + echoed(text) + ")");
    }
    return Checked<int>::ok(*value);
}

}  // namespace tellurim::cli
