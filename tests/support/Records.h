#pragma once

#include "record/LocationRecord.h"

#include <bit>
#include <cstdint>
#include <tuple>

namespace tellurim {

/// Every field a location file or the settings store (all but DDATE), floats
/// by their bits so that NaN payloads and negative zero count; comparable
/// and printable by the test framework.
inline auto storedFields(const LocationRecord& r)
{
    const auto bits = [](float value) { return std::bit_cast<uint32_t>(value); };
    return std::tuple(r.Location, r.FILENAME, bits(r.DLAT), bits(r.XLATS), bits(r.DLON), bits(r.XLONS),
                      bits(r.ALTF), bits(r.ALTM), r.ILATD, r.ILATM, r.ILOND, r.ILONM, r.IDAY, r.IMONTH, r.IYR,
                      r.IHEM_NS, r.JHEM_EW);
}

}  // namespace tellurim
