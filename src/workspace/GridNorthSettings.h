#pragma once

#include <string>
#include <vector>

namespace tellurim {

/// The grid-north line's choices kept in the settings file.
struct GridNorthSettings {
    /// The reference system chosen: a definition ("EPSG:27700"), or empty
    /// for the point's own UTM zone.
    std::string system;
    /// The systems chosen before, most recent first, at most kMaxUsed.
    std::vector<std::string> used;
    static constexpr size_t kMaxUsed = 8;
};

}  // namespace tellurim
