#include "poles/PoleWindow.h"

#include "engine/PoleFinder.h"
#include "files/ReportLayout.h"
#include "files/ExportAppend.h"
#include "poles/PoleCsv.h"
#include "poles/PoleReport.h"
#include "record/Conversions.h"
#include "record/NumberText.h"

namespace tellurim {

namespace {

constexpr PoleField kDateFields[] = {PoleField::month, PoleField::day, PoleField::year};

Message box(Icon icon, std::string_view caption, std::string text)
{
    return Message{icon, std::string(caption), std::move(text), Buttons::Ok};
}

// A single shown with six significant digits, or an integer.
struct Value {
    const float* single = nullptr;
    const int32_t* integer = nullptr;
};

Value poleValue(const PolePosition& p, bool latitude, int part)
{
    if (part == 0)
        return {latitude ? &p.decimalLatitude : &p.decimalLongitude, nullptr};
    if (part == 3)
        return {latitude ? &p.latitudeSeconds : &p.longitudeSeconds, nullptr};
    if (part == 1)
        return {nullptr, latitude ? &p.latitudeDegrees : &p.longitudeDegrees};
    return {nullptr, latitude ? &p.latitudeMinutes : &p.longitudeMinutes};
}

Value valueOf(PoleField field, const PoleDate& date, const MagneticPoles& poles)
{
    const PolePosition& n = poles.north;
    const PolePosition& s = poles.south;
    switch (field) {
    case PoleField::northDecimalLatitude: return poleValue(n, true, 0);
    case PoleField::southDecimalLatitude: return poleValue(s, true, 0);
    case PoleField::northDecimalLongitude: return poleValue(n, false, 0);
    case PoleField::southDecimalLongitude: return poleValue(s, false, 0);
    case PoleField::northDegreesLatitude: return poleValue(n, true, 1);
    case PoleField::southDegreesLatitude: return poleValue(s, true, 1);
    case PoleField::northMinutesLatitude: return poleValue(n, true, 2);
    case PoleField::southMinutesLatitude: return poleValue(s, true, 2);
    case PoleField::northDegreesLongitude: return poleValue(n, false, 1);
    case PoleField::southDegreesLongitude: return poleValue(s, false, 1);
    case PoleField::northMinutesLongitude: return poleValue(n, false, 2);
    case PoleField::month: return {nullptr, &date.month};
    case PoleField::day: return {nullptr, &date.day};
    case PoleField::year: return {nullptr, &date.year};
    case PoleField::decimalDate: return {&date.decimalDate, nullptr};
    case PoleField::northSecondsLatitude: return poleValue(n, true, 3);
    case PoleField::southSecondsLatitude: return poleValue(s, true, 3);
    case PoleField::northSecondsLongitude: return poleValue(n, false, 3);
    case PoleField::southSecondsLongitude: return poleValue(s, false, 3);
    case PoleField::southMinutesLongitude: return poleValue(s, false, 2);
    }
    return {};
}

}  // namespace

PoleWindow::PoleWindow(const MagneticModel& model, Interaction& interaction, PoleExportState& exportState)
    : m_model(model), m_interaction(interaction), m_export(exportState)
{
}

void PoleWindow::start(const PoleDate& startDate)
{
    m_date = startDate;
    m_poles = findMagneticPoles(m_model, m_date.decimalDate);
}

std::string PoleWindow::shownText(PoleField field) const
{
    const Value value = valueOf(field, m_date, m_poles);
    return value.single != nullptr ? formatSingle(*value.single) : formatInteger(*value.integer);
}

void PoleWindow::show()
{
    if (m_view == nullptr)
        return;
    for (std::size_t i = 0; i < kPoleFieldCount; ++i) {
        const auto field = static_cast<PoleField>(i);
        const std::string shown = shownText(field);
        if (m_view->text(field) != shown)
            m_view->setText(field, shown);
    }
}

void PoleWindow::attach(PoleDialogView* view)
{
    m_view = view;
    show();
}

bool PoleWindow::refuse(PoleField field, const Message& message)
{
    m_interaction.ask(message);
    m_view->focusAndSelect(field);
    return false;
}

// Only the date can be edited; the other fields are never read back from
// their six-digit texts, so print and export carry the values found.
bool PoleWindow::take()
{
    if (m_view == nullptr)
        return false;
    int32_t values[3] = {};
    for (std::size_t i = 0; i < std::size(kDateFields); ++i) {
        const PoleField field = kDateFields[i];
        const Parsed<int32_t> parsed = parseInteger(m_view->text(field));
        if (parsed.status != ParseStatus::Ok)
            return refuse(field, box(Icon::None, kAppName, std::string(kEnterIntegerText)));
        // A month outside the year has no day number to count from.
        if (field == PoleField::month && (parsed.value < 1 || parsed.value > 12))
            return refuse(field, box(Icon::Exclamation, kAppName,
                                     "Please enter an integer between 1 and 12."));
        values[i] = parsed.value;
    }
    m_date.month = values[0];
    m_date.day = values[1];
    m_date.year = values[2];
    return true;
}

void PoleWindow::recomputePoles()
{
    if (!take())
        return;
    m_date.decimalDate = dateToDecimalYear(m_date.month, m_date.day, m_date.year);
    m_poles = findMagneticPoles(m_model, m_date.decimalDate);
    show();
}

void PoleWindow::dateFieldLeft(PoleField field)
{
    // A box shown meanwhile takes the focus; that is no edit of the field.
    if (m_busy || !isPoleDateField(field))
        return;
    m_busy = true;
    recomputePoles();
    m_busy = false;
}

bool PoleWindow::accept()
{
    if (m_busy)
        return false;
    m_busy = true;
    const bool taken = take();
    m_busy = false;
    return taken;
}

void PoleWindow::printPoles()
{
    std::unique_ptr<PageCanvas> canvas = m_interaction.choosePrinter(kPrintDocumentName);
    if (!canvas)
        return;
    if (const PrintResult printed = printLines(*canvas, poleReportLines(m_date, m_poles)); !printed)
        m_interaction.ask(printFailureMessage(printed));
}

void PoleWindow::exportPoles()
{
    const FileRequest request{.mode = FileRequest::Mode::Save,
                              .title = "Name of Pole Position Export File",
                              .filterDescription = "Tellurim pole files (*.CSV)",
                              .pattern = "*.CSV",
                              .defaultExtension = "csv",
                              .initialName = {},
                              .confirmOverwrite = true};
    appendExportRow(m_interaction,
                    {m_export.file, m_export.lastPoleFileName}, request,
                    poleCsvHeader(),
                    poleCsvRow(m_date.day, m_date.month, m_date.year, m_date.decimalDate, m_poles),
                    "Pole positions exported OK");
}

}  // namespace tellurim
