#pragma once

#include "crs/GridConvergence.h"
#include "engine/FieldResult.h"
#include "workspace/GridNorthSettings.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tellurim {

/// The first entry of the reference-system list: each point's own UTM zone
/// (UPS near the poles).
inline constexpr std::string_view kAutomaticGridSystemText = "UTM zone (automatic)";

/// What the window's grid-north line shows.
struct GridNorthTexts {
    std::vector<std::string> systems;  ///< the list: automatic first, then those used before
    int selected = 0;                  ///< index of the system in use
    std::string systemName;   ///< "WGS 84 / UTM zone 30N"; empty when none
    std::string easting;      ///< the system's unit, to the millimetre; empty when none
    std::string northing;
    std::string convergence;      ///< degrees, grid north clockwise from true north
    std::string gridDeclination;  ///< degrees, magnetic north clockwise from grid north
    /// A warning (outside the area of use) or why nothing could be computed.
    std::string note;
};

/// The logic of the grid-north line: the reference system chosen, the point
/// on that grid, the convergence and the grid declination (D - convergence),
/// and the way back from a typed easting and northing to latitude and
/// longitude. It holds its own PROJ context, so it lives on one thread.
class GridNorthLine {
public:
    void restore(const GridNorthSettings& settings);
    const GridNorthSettings& settings() const { return m_settings; }

    /// Recomputes the line for a point (degrees, north and east positive)
    /// and its results; results null when no model gave any.
    void update(double latitude, double longitude, const FieldResult* results);

    /// Takes the system typed or picked: the automatic entry, an EPSG code
    /// ("EPSG:27700", or just "27700") or another definition PROJ reads. The
    /// problem when it cannot serve as a map grid; then nothing changes.
    std::string choose(const std::string& text);

    /// Latitude and longitude of an easting and northing typed in the
    /// system in use (in automatic mode, the zone of the point shown). The
    /// typed figures stay on show while the point stays where they led, so
    /// they are not replaced by a round trip through single-precision degrees.
    CrsOutcome<GridInverse> positionOf(const std::string& easting, const std::string& northing);

    const GridNorthTexts& texts() const { return m_texts; }

private:
    struct Pin {
        double latitude = 0.0;
        double longitude = 0.0;
        double easting = 0.0;
        double northing = 0.0;
    };
    void listSystems();

    GridConvergence m_grids;
    GridNorthSettings m_settings;
    GridNorthTexts m_texts;
    std::string m_systemShown;  ///< the definition the easting and northing belong to
    std::optional<Pin> m_pin;
};

}  // namespace tellurim
