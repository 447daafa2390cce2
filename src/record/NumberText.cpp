#include "record/NumberText.h"

#include <bit>
#include <charconv>
#include <cstdint>

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

}  // namespace

void appendFixed(std::string& out, double value, int decimals)
{
    decimals = decimals < 0 ? 0 : (decimals > 9 ? 9 : decimals);
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
