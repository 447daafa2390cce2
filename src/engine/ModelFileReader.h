#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tellurim {

// Fixed-column reading of .COF records. Columns count from 1. A record
// shorter than a field reads as padded with blanks; characters past the
// field are never looked at. Blanks anywhere in a field are ignored, so a
// blank field reads 0. Anything else that is not a sign, a digit or one
// decimal point makes the field unreadable.

/// A real field: an optionally signed decimal number. Without a decimal point
/// the last digit is tenths ("1995" reads 199.5). "-0.0" reads as +0.
std::optional<float> readRealField(std::string_view record, std::size_t firstColumn,
                                   std::size_t width);

/// An integer field: an optionally signed whole number.
std::optional<int32_t> readIntegerField(std::string_view record, std::size_t firstColumn,
                                        std::size_t width);

/// The first record of a model file.
struct HeaderRecord {
    float epoch = 0.0f;      ///< decimal year (columns 5-10)
    std::string modelName;   ///< columns 16-35, always 20 characters
    float lifeSpan = 0.0f;   ///< years (columns 49-54), as written
    float latMin = 0.0f;     ///< degrees (55-60), as written
    float latMax = 0.0f;     ///< degrees (61-66)
    float lonMin = 0.0f;     ///< degrees (67-72)
    float lonMax = 0.0f;     ///< degrees (73-78)
};

/// One coefficient record (or the end record, degree 99).
struct CoefficientRecord {
    int32_t n = 0;      ///< degree (columns 2-3)
    int32_t m = 0;      ///< order (columns 5-6)
    float g = 0.0f;     ///< nT (8-16)
    float h = 0.0f;     ///< nT (18-26)
    float gRate = 0.0f; ///< nT per year (28-37)
    float hRate = 0.0f; ///< nT per year (39-48)
};

/// The degree that marks the end record.
inline constexpr int32_t kEndRecordDegree = 99;

std::optional<HeaderRecord> parseHeaderRecord(std::string_view record);
std::optional<CoefficientRecord> parseCoefficientRecord(std::string_view record);

/// Why a record does not read, naming its first field that is not a number
/// ("the g field is not a number"); empty when every field reads.
std::string headerRecordProblem(std::string_view record);
std::string coefficientRecordProblem(std::string_view record);

}  // namespace tellurim
