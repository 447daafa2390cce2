#pragma once

#include "record/CalendarDate.h"
#include "record/NumberText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tellurim::cli {

/// A parsed value, or the one-line reason it was refused (the reason names
/// the argument and the accepted range, and quotes what was given).
template <class T>
struct Checked {
    std::optional<T> value;
    std::string error;

    static Checked ok(T v) { return Checked{std::move(v), {}}; }
    static Checked fail(std::string why) { return Checked{std::nullopt, std::move(why)}; }
    explicit operator bool() const { return value.has_value(); }
};

/// How a message shows text the user gave: at most kMaxEchoedCharacters
/// characters (a cut is marked "..."), and control characters and bytes
/// that are not UTF-8 written as \xHH, so that nothing given can drive the
/// terminal or flood the message.
std::string echoed(std::string_view text);
inline constexpr std::size_t kMaxEchoedCharacters = 80;

enum class Axis { Latitude, Longitude };

/// Accepted ranges, inclusive at both ends.
inline constexpr float kMinLatitude = -90.0f;
inline constexpr float kMaxLatitude = 90.0f;
inline constexpr float kMinLongitude = -180.0f;
inline constexpr float kMaxLongitude = 180.0f;
inline constexpr float kMinElevation = -200.0f;      // metres
inline constexpr float kMaxElevation = 1000000.0f;   // metres
inline constexpr float kMinYear = 1000.0f;
inline constexpr float kMaxYear = 3000.0f;
inline constexpr float kMinGridStep = 0.001f;        // degrees
inline constexpr float kMaxGridStep = 180.0f;        // degrees
inline constexpr int kMaxThreads = 256;  // more only holds more chunks in memory

/// A decimal number inside [low, high]. The value is rounded to single
/// precision before the range check, as it is stored.
Checked<float> parseBoundedReal(std::string_view text, std::string_view name, float low, float high);

/// Decimal degrees, north/east positive. A trailing N/S (latitude) or E/W
/// (longitude), in either case, may replace the sign: "45.5S" is -45.5.
/// A sign together with a letter, or a letter of the other axis, is refused.
Checked<float> parseCoordinate(std::string_view text, std::string_view name, Axis axis);

/// A real calendar date written YYYY-MM-DD (month and day may have one
/// digit), year 1000 to 3000. The day must exist in the program's
/// calendar, where every fourth year is a leap year: 2025-02-30 and
/// 1901-02-29 are refused, 1900-02-29 is taken.
Checked<CalendarDate> parseIsoDate(std::string_view text, std::string_view name);

/// Easting or northing in a projected system's unit: a decimal number of
/// at most kMaxGridCoordinate in size, kept in double precision (a
/// millimetre of a UTM northing is beyond a single).
Checked<double> parseGridCoordinate(std::string_view text, std::string_view name);
inline constexpr double kMaxGridCoordinate = 1.0e9;

/// A whole number of worker threads, 1 to kMaxThreads.
Checked<int> parseThreadCount(std::string_view text, std::string_view name);

}  // namespace tellurim::cli
