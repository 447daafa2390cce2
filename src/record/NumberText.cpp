#include "record/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>

namespace tellurim {

namespace {

__extension__ using Uint128 = unsigned __int128;

constexpr uint64_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000,
                                     10000000, 100000000, 1000000000};
constexpr uint64_t kPowersOfFive[] = {1, 5, 25, 125, 625, 3125, 15625, 78125,
                                      390625, 1953125};

/// The exact decimal rounding of a finite double that printf performs, done
/// in integers: grids write millions of numbers, and the general-purpose
/// conversion costs several times more. value = m * 2^e, so
/// value * 10^d = (m * 5^d) * 2^(e + d), which is rounded half to even like
/// printf in the default rounding mode. Returns false (nothing appended) when
/// the scaled value does not fit 64 bits; the caller then takes the slow road.
bool appendFixedExact(std::string& out, double value, int decimals)
{
    const auto bits = std::bit_cast<uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const auto biased = static_cast<int>((bits >> 52) & 0x7ffU);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    int exponent = -1074;
    if (biased == 0x7ff) {
        return false;  // infinity or NaN
    }
    if (biased != 0) {
        mantissa |= uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    const Uint128 scaled = static_cast<Uint128>(mantissa) * kPowersOfFive[decimals];  // < 2^74
    const int shift = exponent + decimals;
    uint64_t rounded = 0;
    if (shift >= 0) {
        if (shift > 54) {
            return false;
        }
        const Uint128 whole = scaled << shift;
        if ((whole >> 64) != 0) {
            return false;
        }
        rounded = static_cast<uint64_t>(whole);
    } else if (-shift < 75) {
        const int dropped = -shift;
        Uint128 quotient = scaled >> dropped;
        const Uint128 remainder = scaled - (quotient << dropped);
        const Uint128 half = Uint128{1} << (dropped - 1);
        if (remainder > half || (remainder == half && (quotient & 1U) != 0)) {
            ++quotient;
        }
        if ((quotient >> 64) != 0) {
            return false;
        }
        rounded = static_cast<uint64_t>(quotient);
    }
    // else: the value lies below half a unit of the last decimal and rounds to 0

    char buffer[48];
    char* cursor = buffer;
    if (negative) {
        *cursor++ = '-';  // printf keeps the sign of -0.0 and of values rounding to 0
    }
    const uint64_t unit = kPowersOfTen[decimals];
    cursor = std::to_chars(cursor, buffer + sizeof buffer, rounded / unit).ptr;
    if (decimals > 0) {
        *cursor++ = '.';
        uint64_t fraction = rounded % unit;
        for (int i = decimals - 1; i >= 0; --i) {
            cursor[i] = static_cast<char>('0' + fraction % 10);
            fraction /= 10;
        }
        cursor += decimals;
    }
    out.append(buffer, cursor);
    return true;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

/// Writes the decimals lowest digits of fraction at cursor.
char* putFraction(char* cursor, uint64_t fraction, int decimals)
{
    int i = decimals;
    while (i >= 2) {
        i -= 2;
        const auto pair = static_cast<size_t>(fraction % 100) * 2;
        fraction /= 100;
        cursor[i] = kDigitPairs[pair];
        cursor[i + 1] = kDigitPairs[pair + 1];
    }
    if (i == 1) {
        cursor[0] = static_cast<char>('0' + fraction % 10);
    }
    return cursor + decimals;
}

/// Writes a whole number of up to 39 digits.
char* putWhole(char* cursor, char* end, Uint128 whole)
{
    constexpr uint64_t kTen19 = 10000000000000000000ULL;
    if ((whole >> 64) == 0) {
        return std::to_chars(cursor, end, static_cast<uint64_t>(whole)).ptr;
    }
    cursor = putWhole(cursor, end, whole / kTen19);
    return putFraction(cursor, static_cast<uint64_t>(whole % kTen19), 19);
}

/// A single written like printf("%.*f") of it widened to double, exactly,
/// in integers. A finite single is m * 2^e with m below 2^24 and e from -149
/// to 104, so value * 10^d = (m * 10^d) * 2^e with m * 10^d below 2^54. For
/// e >= 0 the value is a whole number below 2^128. Otherwise 2^e is a right
/// shift, rounded half to even as printf does: a tie needs the dropped bits
/// to be exactly one half, so the value's lowest set bit is 2^-(d+1) (1/128 =
/// 0.0078125 writes "0.007812"). A shift of 64 or more leaves less than
/// 2^-10 and so rounds to 0.
struct SingleFixed {
    bool negative = false;
    bool finite = true;
    bool nan = false;
    int exponent = 0;       ///< e; 0 or more: the value is mantissa << e
    uint64_t mantissa = 0;  ///< m
    uint64_t scaled = 0;    ///< e < 0: value * 10^d, rounded
};

[[gnu::always_inline]] inline SingleFixed splitSingle(float value, int decimals)
{
    SingleFixed parts;
    const auto bits = std::bit_cast<uint32_t>(value);
    const auto biased = static_cast<int>((bits >> 23) & 0xffU);
    parts.negative = (bits >> 31) != 0;  // printf keeps the sign of -0.0, -nan and values rounding to 0
    parts.mantissa = bits & 0x7fffffU;
    if (biased == 0xff) {
        parts.finite = false;
        parts.nan = parts.mantissa != 0;
        return parts;
    }
    parts.exponent = -149;
    if (biased != 0) {
        parts.mantissa |= uint64_t{1} << 23;
        parts.exponent = biased - 150;
    }
    if (parts.exponent < 0 && parts.exponent > -64) {
        const uint64_t product = parts.mantissa * kPowersOfTen[decimals];
        const int dropped = -parts.exponent;
        uint64_t rounded = product >> dropped;
        const uint64_t remainder = product & ((uint64_t{1} << dropped) - 1);
        const uint64_t half = uint64_t{1} << (dropped - 1);
        rounded += (remainder > half || (remainder == half && (rounded & 1U) != 0)) ? 1 : 0;
        parts.scaled = rounded;
    }
    return parts;
}

/// Writes the sign, then "nan", "inf" or the whole part of the value.
char* putSignAndWhole(char* cursor, char* end, const SingleFixed& parts, int decimals)
{
    if (parts.negative) {
        *cursor++ = '-';
    }
    if (!parts.finite) {
        const char* text = parts.nan ? "nan" : "inf";
        return std::copy(text, text + 3, cursor);
    }
    if (parts.exponent >= 0) {
        return putWhole(cursor, end, static_cast<Uint128>(parts.mantissa) << parts.exponent);
    }
    return std::to_chars(cursor, end, parts.scaled / kPowersOfTen[decimals]).ptr;
}

/// n below 10^8 as eight ASCII digits, leading zeros included, the first in
/// the lowest byte as memory holds it. The digits are split in lanes of one
/// word: two halves of four digits, four quarters of two, eight bytes of
/// one, each step a multiplication by a reciprocal that is exact below the
/// lane's bound (v / 100 = v * 10486 >> 20 for v < 10^4, v / 10 = v * 103
/// >> 10 for v < 100), none carrying into the next lane.
uint64_t eightDigits(uint32_t n)
{
    const uint64_t high = n / 10000;
    uint64_t x = high | (uint64_t{n - static_cast<uint32_t>(high) * 10000} << 32);
    uint64_t q = ((x * 10486) >> 20) & 0x0000007F0000007FULL;
    x = q | ((x - q * 100) << 16);
    q = ((x * 103) >> 10) & 0x000F000F000F000FULL;
    x = q | ((x - q * 10) << 8);
    return x | 0x3030303030303030ULL;
}

// The longest text: a sign, 39 digits, the point and 9 decimals.
constexpr size_t kSingleFixedMax = 64;
static_assert(kSingleFixed6Max >= 48 && kSingleFixed6Max >= 1 + 16);

[[gnu::always_inline]] inline char* writeOneSingleFixed6(char* cursor, float value)
{
    const auto bits = std::bit_cast<uint32_t>(value);
    const uint32_t biased = (bits >> 23) & 0xffU;
    if (biased >= 150) {
        // Whole numbers of 2^23 and more, infinities and NaNs.
        const SingleFixed parts = splitSingle(value, 6);
        char* end = putSignAndWhole(cursor, cursor + kSingleFixed6Max, parts, 6);
        return std::copy_n(".000000", parts.finite ? 7 : 0, end);
    }
    // m * 2^-d with d from 1 to 63, times 10^6, rounded half to even by
    // adding half less one and the lowest kept bit; below 2^-40 (sub-normals
    // and zero too) it rounds to 0.
    uint64_t scaled = 0;
    if (biased >= 87) {
        const uint64_t product = ((bits & 0x7fffffU) | (uint32_t{1} << 23)) * uint64_t{1000000};
        const uint32_t dropped = 150 - biased;
        scaled = (product + ((uint64_t{1} << (dropped - 1)) - 1) + ((product >> dropped) & 1U)) >> dropped;
    }
    const auto whole = static_cast<uint32_t>(scaled / 1000000);
    const auto fraction = static_cast<uint32_t>(scaled - uint64_t{whole} * 1000000);
    const int digits = 1 + int{whole >= 10} + int{whole >= 100} + int{whole >= 1000} + int{whole >= 10000}
                       + int{whole >= 100000} + int{whole >= 1000000};
    // Two words stored from registers (a buffer read back at a moving offset
    // would stall): the whole number's last digits, then the point and the
    // six decimals of "00dddddd" over the first word's spare bytes.
    static_assert(std::endian::native == std::endian::little);
    const uint64_t wholeText = eightDigits(whole) >> (8 * (8 - digits));
    const uint64_t decimalsText = uint64_t{'.'} | ((eightDigits(fraction) >> 16) << 8);
    *cursor = '-';
    cursor += (bits >> 31) != 0 ? 1 : 0;  // printf keeps the sign of -0.0 and of values rounding to 0
    std::memcpy(cursor, &wholeText, 8);
    std::memcpy(cursor + digits, &decimalsText, 8);  // the room is there; the text ends sooner
    return cursor + digits + 7;
}

}  // namespace

char* writeSingleFixed6(char* cursor, float value)
{
    return writeOneSingleFixed6(cursor, value);
}

char* writeSingleFixed6List(char* cursor, std::span<const float> values)
{
    // One loop without calls, so that the numbers' long chains overlap.
    for (size_t i = 0; i < values.size(); ++i) {
        *cursor = ',';
        cursor += i == 0 ? 0 : 1;
        cursor = writeOneSingleFixed6(cursor, values[i]);
    }
    return cursor;
}

void appendSingleFixed6(std::string& out, float value)
{
    char buffer[kSingleFixed6Max];
    out.append(buffer, writeSingleFixed6(buffer, value));
}

void appendFixed(std::string& out, double value, int decimals)
{
    decimals = decimals < 0 ? 0 : (decimals > 9 ? 9 : decimals);
    // Most numbers written are singles widened to double. (NaN fails the
    // range test and takes the general road, which writes it the same way.)
    const auto single = std::fabs(value) <= static_cast<double>(std::numeric_limits<float>::max())
                            ? static_cast<float>(value)
                            : 0.0f;
    if (static_cast<double>(single) == value) {
        if (decimals == 6) {
            appendSingleFixed6(out, single);
            return;
        }
        const SingleFixed parts = splitSingle(single, decimals);
        char buffer[kSingleFixedMax];
        char* cursor = putSignAndWhole(buffer, buffer + sizeof buffer, parts, decimals);
        if (decimals > 0 && parts.finite) {
            *cursor++ = '.';
            cursor = putFraction(cursor, parts.scaled % kPowersOfTen[decimals], decimals);
        }
        out.append(buffer, static_cast<size_t>(cursor - buffer));
        return;
    }
    if (appendFixedExact(out, value, decimals)) {
        return;
    }
    char buffer[400];  // "%f" of the largest double needs 309 digits before the point
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

void appendFixed6(std::string& out, double value)
{
    appendFixed(out, value, 6);
}

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

void appendInteger(std::string& out, int64_t value)
{
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void appendWidth8Fixed2(std::string& out, double value)
{
    const size_t start = out.size();
    appendFixed(out, value, 2);
    const size_t width = out.size() - start;
    if (width < 8) {
        out.insert(start, 8 - width, ' ');
    }
}

std::string formatShortestFixed(float value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

}  // namespace tellurim
