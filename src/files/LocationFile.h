#pragma once

#include "files/FileError.h"
#include "record/LocationRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tellurim {

/// Location files start with these nine bytes: "Tellurim" and a zero byte.
inline constexpr std::string_view kLocationSignature{"Tellurim\0", 9};
inline constexpr int32_t kLocationFileVersion = 1;
/// The longest location name or model path a location file can carry, in
/// bytes: readers load each text into a 256-byte buffer with its terminator.
inline constexpr size_t kMaxLocationText = 255;
/// Size of a file with both texts empty: signature, version, two lengths,
/// two terminators and fifteen 4-byte numbers.
inline constexpr size_t kLocationFileFixedSize = 83;
/// No valid location file is larger; a reader never needs more bytes.
inline constexpr size_t kLocationFileMaxSize = kLocationFileFixedSize + 2 * kMaxLocationText;

enum class LocationReadStatus {
    Ok,
    CannotOpen,       ///< the file could not be opened
    NotLocationFile,  ///< the first nine bytes are not the signature
    UnknownVersion,   ///< signature right, version other than 1
    Damaged,          ///< ends early, or a text length is negative or over 255
    ReadFailed,       ///< the system reported an error while reading
};

/// True when the record's name and model path fit a location file.
bool fitsLocationFile(const LocationRecord& record);

/// The bytes of a location file for record: little-endian 32-bit integers
/// and IEEE singles, no padding, whatever the host. Only the stored fields
/// are written (no DDATE, no results). The texts must fit (fitsLocationFile).
std::string encodeLocationFile(const LocationRecord& record);

/// Reads the stored fields of a location file into record: Location,
/// FILENAME, the angles, elevations, date and hemisphere indices, bit for bit.
/// On any status but Ok the record is left exactly as it was. Bytes after
/// the last field are ignored.
LocationReadStatus decodeLocationFile(std::string_view bytes, LocationRecord& record);

/// Opens and decodes the file at path. CannotOpen and ReadFailed fill error.
LocationReadStatus readLocationFile(const std::string& path, LocationRecord& record,
                                    FileError& error);

}  // namespace tellurim
