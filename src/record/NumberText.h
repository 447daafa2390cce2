#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tellurim {

// Every number the program writes as text or reads from text goes through
// these functions. None depends on the process locale: the decimal
// separator is always '.'.

// ---- writing ----------------------------------------------------------------------------

/// Appends value like printf("%f", value): fixed notation, six decimals.
void appendFixed6(std::string& out, double value);

/// Appends a single like printf("%f", (double)value), byte for byte, for
/// every single (NaN and infinities as "nan", "-nan", "inf", "-inf"). It is
/// the fast path of grid files, which are millions of such numbers.
void appendSingleFixed6(std::string& out, float value);
/// Room writeSingleFixed6 needs: the longest text (a sign, 39 digits, the
/// point and six decimals) and a little over.
inline constexpr size_t kSingleFixed6Max = 48;
/// The same text written at cursor, which must have kSingleFixed6Max bytes
/// of room; returns the end of the text.
char* writeSingleFixed6(char* cursor, float value);
/// Several, separated by commas; cursor needs kSingleFixed6Max bytes of
/// room for each.
char* writeSingleFixed6List(char* cursor, std::span<const float> values);

/// Appends value like printf("%.*f", decimals, value), decimals 0 to 9.
void appendFixed(std::string& out, double value, int decimals);

/// Appends value like printf("%8.2f", value): two decimals, right-aligned
/// in eight characters (wider values are not cut).
void appendWidth8Fixed2(std::string& out, double value);

/// Appends an integer in plain decimal, like printf("%d").
void appendInteger(std::string& out, int64_t value);

/// A single as the window shows it: general format with six significant
/// digits, like printf("%.6g") ("98.4252", "30.5083", "1e+06").
std::string formatSingle(float value);

/// An integer in plain decimal.
std::string formatInteger(int32_t value);

/// The shortest fixed-notation text that reads back as the same single:
/// "90", "0.001", "1000000".
std::string formatShortestFixed(float value);

// ---- reading, strictly ------------------------------------------------------------------

/// The outcome of reading a control's text as a number.
enum class ParseStatus {
    Ok,
    NotANumber,  ///< empty, partial, or not a decimal number at all
    TooLarge,    ///< a number, but beyond what the member can hold
};

template <typename T>
struct Parsed {
    ParseStatus status = ParseStatus::NotANumber;
    T value{};
};

/// Reads a single as a control's text: the whole text must be one decimal
/// number (blanks around it allowed, exponent allowed; "inf", "nan" and
/// hexadecimal are not). The number is read as a double and then stored as
/// a single; one too small for a double reads as 0.
Parsed<float> parseSingle(std::string_view text);
/// The same, kept as a double (projected coordinates to the millimetre).
Parsed<double> parseDouble(std::string_view text);

/// What a field says when its text is not a whole number (parseInteger
/// refused it).
inline constexpr std::string_view kEnterIntegerText = "Please enter an integer.";

/// Reads a whole decimal number: optional sign and digits only (blanks
/// around allowed); TooLarge when it does not fit 32 bits.
Parsed<int32_t> parseInteger(std::string_view text);

/// Reads a command-line number: the whole text, nothing on either side, a
/// finite decimal number written the usual way ("12", "-3.5", "+.25",
/// "1e3"), rounded to single precision once. Infinity, NaN and hexadecimal
/// are no numbers; a number beyond the single range is TooLarge; one too
/// small for a single ("1e-50") reads as the nearest single, 0 at worst. A
/// zero comes back unsigned, so that "-0" is never written "-0.000000".
Parsed<float> parseCommandLineSingle(std::string_view text);

/// A run of 1 to maxDigits (at most 9) decimal digits as a whole number;
/// nothing for anything else (signs and blanks included).
std::optional<int32_t> parseDigits(std::string_view text, size_t maxDigits);

// ---- reading, leniently -----------------------------------------------------------------

/// Text to a number the lenient way of the C library's strtod: leading
/// white space is skipped, the longest prefix that forms a decimal number
/// (or "inf", "nan") is used, and 0 comes back when there is none. Numbers
/// beyond the double range read as infinities, those too small as 0.
double parseLenientDouble(std::string_view text);

/// Text to a whole number the lenient way of atoi: white space, an optional
/// sign and the longest run of digits; 0 when there are none. Values beyond
/// the 32-bit range saturate at its ends.
int32_t parseLenientInt(std::string_view text);

}  // namespace tellurim
