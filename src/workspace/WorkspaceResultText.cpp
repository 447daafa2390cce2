// The workspace's result as text, for the clipboard.
#include "workspace/Workspace.h"

#include "record/PointText.h"

namespace tellurim {

std::string Workspace::resultText() const
{
    // The record holds magnitudes; the lists say which way they point.
    const float latitude = record.IHEM_NS == 1 ? -record.DLAT : record.DLAT;
    const float longitude = record.JHEM_EW == 0 ? -record.DLON : record.DLON;
    const PointDescription point{.model = record.FILENAME,
                                 .headerName = m_engine.isLoaded() ? m_engine.model().modelName : std::string(),
                                 .latitude = latitude,
                                 .longitude = longitude,
                                 .elevation = record.ALTM,
                                 .decimalYear = record.DDATE,
                                 .date = CalendarDate{record.IYR, record.IMONTH, record.IDAY},
                                 .validity = m_texts.CVALIDITY};
    return pointTextBlock(point, m_results);
}

}  // namespace tellurim
