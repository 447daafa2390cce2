#include "files/CsvWriter.h"

#include <bit>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <unistd.h>

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

void CsvRow::separate()
{
    if (!m_first) {
        m_out.push_back(',');
    }
    m_first = false;
}

CsvRow& CsvRow::text(std::string_view value)
{
    separate();
    m_out.push_back('"');
    for (const char c : value) {
        if (c == '"') {
            m_out.push_back('"');
        }
        m_out.push_back(c);
    }
    m_out.push_back('"');
    return *this;
}

CsvRow& CsvRow::number(float value)
{
    separate();
    appendFixed6(m_out, static_cast<double>(value));
    return *this;
}

CsvRow& CsvRow::integer(int32_t value)
{
    separate();
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    m_out.append(buffer, result.ptr);
    return *this;
}

void CsvRow::end(bool trailingComma)
{
    if (trailingComma) {
        m_out.push_back(',');
    }
    m_out.append("\r\n");
}

CsvFile::~CsvFile()
{
    close();
}

std::optional<FileError> CsvFile::create(const std::string& path)
{
    close();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        return fileErrorFromErrno(errno, path);
    }
    m_fd = fd;
    m_path = path;
    return std::nullopt;
}

std::optional<FileError> CsvFile::write(std::string_view bytes, bool sync)
{
    if (m_fd < 0) {
        return FileError{FileCause::InvalidFile, EBADF, m_path};
    }
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fileErrorFromErrno(errno, m_path);
        }
        if (written == 0) {
            return FileError{FileCause::DiskFull, ENOSPC, m_path};
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    if (sync && ::fdatasync(m_fd) != 0 && errno != EINVAL && errno != EROFS) {
        return fileErrorFromErrno(errno, m_path);
    }
    return std::nullopt;
}

void CsvFile::close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::string csvWriteErrorText(const FileError& error)
{
    return "Error writing CSV file. Code: " + std::to_string(static_cast<int>(error.cause)) + ".";
}

}  // namespace tellurim
