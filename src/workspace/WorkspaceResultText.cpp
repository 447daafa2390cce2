// The workspace's result as text, for the clipboard.
#include "workspace/Workspace.h"

#include "record/PointText.h"

namespace tellurim {

std::string Workspace::resultText() const
{
    const PointDescription point{.model = record.FILENAME,
                                 .headerName = m_engine.modelName(),
                                 .latitude = signedLatitude(record),
                                 .longitude = signedLongitude(record),
                                 .elevation = record.ALTM,
                                 .decimalYear = record.DDATE,
                                 .date = CalendarDate{record.IYR, record.IMONTH, record.IDAY},
                                 .validity = m_texts.CVALIDITY};
    return pointTextBlock(point, m_results);
}

}  // namespace tellurim
