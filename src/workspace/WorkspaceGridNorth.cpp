// The workspace's grid-north line: the reference system and the easting and
// northing coupled with the latitude and longitude.
#include "workspace/Workspace.h"

#include "record/Conversions.h"
#include "workspace/BusyMark.h"

#include <cmath>

namespace tellurim {

namespace {

void refuseGridInput(WorkspaceInteraction& interaction, std::string text)
{
    interaction.ask(Message{Icon::Exclamation, std::string(kAppName), std::move(text), Buttons::Ok});
}

// The signed degrees into the record's magnitudes, hemispheres and
// degrees/minutes/seconds.
void placeRecord(LocationRecord& r, double latitude, double longitude)
{
    r.DLAT = static_cast<float>(std::fabs(latitude));
    r.IHEM_NS = latitude < 0.0 ? 1 : 0;
    r.DLON = static_cast<float>(std::fabs(longitude));
    r.JHEM_EW = longitude < 0.0 ? 0 : 1;
    const DegreesMinutesSeconds lat = decimalToDms(r.DLAT);
    r.ILATD = lat.degrees;
    r.ILATM = lat.minutes;
    r.XLATS = lat.seconds;
    const DegreesMinutesSeconds lon = decimalToDms(r.DLON);
    r.ILOND = lon.degrees;
    r.ILONM = lon.minutes;
    r.XLONS = lon.seconds;
}

}  // namespace

void Workspace::updateGridNorth()
{
    m_gridNorth.update(static_cast<double>(signedLatitude(record)), static_cast<double>(signedLongitude(record)),
                       m_engine.isLoaded() ? &m_results : nullptr);
}

void Workspace::chooseGridSystem(const std::string& text)
{
    if (m_busy || m_view == nullptr)
        return;
    BusyMark mark(m_busy);
    if (std::string problem = m_gridNorth.choose(text); !problem.empty()) {
        refuseGridInput(m_interaction, std::move(problem));
    } else {
        updateGridNorth();
    }
    m_view->showGridNorth(m_gridNorth.texts());
}

void Workspace::enterGridPosition(const std::string& easting, const std::string& northing)
{
    if (m_busy || m_view == nullptr)
        return;
    const GridNorthTexts& shown = m_gridNorth.texts();
    if (easting == shown.easting && northing == shown.northing)
        return;
    BusyMark mark(m_busy);
    if (!take())
        return;
    const CrsOutcome<GridInverse> place = m_gridNorth.positionOf(easting, northing);
    if (!place.value) {
        refuseGridInput(m_interaction, place.problem);
        m_view->showGridNorth(m_gridNorth.texts());
        return;
    }
    placeRecord(record, place.value->latitude, place.value->longitude);
    recalculate();
    show();
}

}  // namespace tellurim
