#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tellurim {

/// Appends value like printf("%f", value): fixed notation, six decimals.
void appendFixed6(std::string& out, double value);

/// Appends value like printf("%.*f", decimals, value), decimals 0 to 9.
void appendFixed(std::string& out, double value, int decimals);


/// The texts a control shows and the numbers a take reads, independent of
/// the process locale (the decimal separator is always '.').

/// A single as the window shows it: general format with six significant
/// digits, like printf("%.6g") ("98.4252", "30.5083", "1e+06").
std::string formatSingle(float value);

/// An integer in plain decimal.
std::string formatInteger(int32_t value);

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

/// Reads a single: the whole text must be one decimal number (blanks around
/// it allowed, exponent allowed; "inf", "nan" and hexadecimal are not).
Parsed<float> parseSingle(std::string_view text);

/// Reads a whole decimal number: optional sign and digits only (blanks
/// around allowed); TooLarge when it does not fit 32 bits.
Parsed<int32_t> parseInteger(std::string_view text);

}  // namespace tellurim
