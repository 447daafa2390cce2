#include "workspace/Workspace.h"

#include "files/FileError.h"
#include "platform/FileChoice.h"
#include "record/Conversions.h"
#include "workspace/BusyMark.h"
#include "workspace/Exchange.h"
#include "record/ResultTexts.h"
#include "workspace/SettingsFile.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace tellurim {
namespace {

// The loader accepts coefficients up to this degree and order.
constexpr int32_t kModelDegree = 12;

constexpr std::string_view kHelpText =
    "Tellurim contains editable fields on the first 3 lines for position in terms of latitude, "
    "longitude, elevation and date. As each field is edited by the user the remaining fields are "
    "automatically updated.\n\n"
    "The Model coefficients read from the .COF model file are used to perform the incident "
    "magnetic field calculations. To select a field, use the tab key or point and (double) click "
    "with the mouse on the desired field. To change the model used to make the calculations, "
    "press the New Model button.\n\n"
    "Model file names are abbreviated with the source of the model and the year the model begins "
    "to be valid. Exceptions are the abbreviations \"US\". \"AK\" and \"HI\", which designate "
    "regional models for the continental United States and the states of Alaska and Hawaii. Most "
    "recent models are valid for 5 years from the model date; historical models can be valid for "
    "up to 50 years from the model date.\n\n"
    "New features in  version 2 allow you to save and reload locations, print the data, export "
    "data, create grids and show locations of the magnetic poles for the specified date.\n\n"
    "See README.TXT and READ.ME for more info.";

std::string withoutQuotes(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

}  // namespace

Workspace::Workspace(ModelEngine& engine, Interaction& interaction, const Clock& clock,
                     std::optional<std::string> modelOverride)
    : m_engine(engine), m_interaction(interaction), m_clock(clock)
{
    const Settings settings = readSettings(settingsFilePath());
    record = settings.location;
    grid = settings.grid;
    if (modelOverride) {
        std::string named = withoutQuotes(std::move(*modelOverride));
        if (modelPathFits(named))
            record.FILENAME = std::move(named);
    }

    const auto today = m_clock.today();
    record.IMONTH = today.month;
    record.IDAY = today.day;
    record.IYR = today.year;

    // Degrees/minutes/seconds, metres and today's date are what count; the
    // stored decimal and feet values are derived again from them.
    record.DLAT = dmsToDecimal(record.ILATD, record.ILATM, record.XLATS);
    record.DLON = dmsToDecimal(record.ILOND, record.ILONM, record.XLONS);
    record.ALTF = metresToFeet(record.ALTM);
    record.DDATE = dateToDecimalYear(record.IMONTH, record.IDAY, record.IYR);

    loadModel(false);
}

Workspace::~Workspace() = default;

bool Workspace::modelPathFits(const std::string& path)
{
    if (path.size() <= kMaxStoredPathLength)
        return true;
    m_interaction.ask(Message{Icon::Exclamation, std::string(kFileOpenErrorCaption),
                              "The path of the model file is too long (at most " +
                                  std::to_string(kMaxStoredPathLength) + " characters):\n\n" + path,
                              Buttons::Ok});
    return false;
}

// ---- exchange ------------------------------------------------------------------

float* Workspace::singleMember(Field field)
{
    switch (field) {
    case Field::DLAT: return &record.DLAT;
    case Field::XLATS: return &record.XLATS;
    case Field::DLON: return &record.DLON;
    case Field::XLONS: return &record.XLONS;
    case Field::ALTF: return &record.ALTF;
    case Field::ALTM: return &record.ALTM;
    case Field::DDATE: return &record.DDATE;
    case Field::BH2: return &results.BH2;
    case Field::BH: return &results.BH;
    case Field::BX: return &results.BX;
    case Field::BX2: return &results.BX2;
    case Field::BY: return &results.BY;
    case Field::BY2: return &results.BY2;
    case Field::BZ: return &results.BZ;
    case Field::BZ2: return &results.BZ2;
    case Field::DEC: return &results.DEC;
    case Field::DEC2: return &results.DEC2;
    case Field::DIP: return &results.DIP;
    case Field::DIP2: return &results.DIP2;
    case Field::TI: return &results.TI;
    case Field::TI2: return &results.TI2;
    default: return nullptr;
    }
}

int32_t* Workspace::integerMember(Field field)
{
    switch (field) {
    case Field::ILATD: return &record.ILATD;
    case Field::ILATM: return &record.ILATM;
    case Field::ILONM: return &record.ILONM;
    case Field::ILOND: return &record.ILOND;
    case Field::IDAY: return &record.IDAY;
    case Field::IMONTH: return &record.IMONTH;
    case Field::IYR: return &record.IYR;
    case Field::IHEM_NS: return &record.IHEM_NS;
    case Field::JHEM_EW: return &record.JHEM_EW;
    default: return nullptr;
    }
}

std::string* Workspace::textMember(Field field)
{
    switch (field) {
    case Field::FILENAME: return &record.FILENAME;
    case Field::Location: return &record.Location;
    case Field::CVALIDITY: return &CVALIDITY;
    case Field::CPOLAR2: return &CPOLAR2;
    case Field::CPOLAR1: return &CPOLAR1;
    default: return nullptr;
    }
}

bool Workspace::take()
{
    if (m_view == nullptr)
        return false;
    for (const FieldSpec& spec : fieldTable()) {
        const Field field = spec.field;
        switch (spec.kind) {
        case FieldKind::Text:
            *textMember(field) = m_view->text(field);
            break;
        case FieldKind::List:
            *integerMember(field) = m_view->selectedIndex(field);
            break;
        case FieldKind::Single: {
            const Parsed<float> parsed = parseSingle(m_view->text(field));
            if (parsed.status != ParseStatus::Ok)
                return refuse(spec, parsed.status);
            *singleMember(field) = parsed.value;
            if (spec.hasRange && !(parsed.value >= static_cast<float>(spec.minimum) &&
                                   parsed.value <= static_cast<float>(spec.maximum)))
                return refuse(spec, ParseStatus::TooLarge);
            break;
        }
        case FieldKind::Integer: {
            const Parsed<int32_t> parsed = parseInteger(m_view->text(field));
            if (parsed.status != ParseStatus::Ok)
                return refuse(spec, parsed.status);
            *integerMember(field) = parsed.value;
            if (spec.hasRange && (parsed.value < static_cast<int32_t>(spec.minimum) ||
                                  parsed.value > static_cast<int32_t>(spec.maximum)))
                return refuse(spec, ParseStatus::TooLarge);
            break;
        }
        }
    }
    return true;
}

bool Workspace::refuse(const FieldSpec& spec, ParseStatus status)
{
    // A number too large for its member is out of range for any field.
    const TakeProblem problem =
        status == ParseStatus::NotANumber || !spec.hasRange ? TakeProblem::NotANumber
                                                            : TakeProblem::OutOfRange;
    m_interaction.ask(takeMessage(spec, problem));
    m_view->focusAndSelect(spec.field);
    return false;
}

void Workspace::show()
{
    if (m_view == nullptr)
        return;
    for (const FieldSpec& spec : fieldTable()) {
        const Field field = spec.field;
        std::string shown;
        switch (spec.kind) {
        case FieldKind::Text:
            shown = *textMember(field);
            break;
        case FieldKind::Single:
            shown = formatSingle(*singleMember(field));
            break;
        case FieldKind::Integer:
            shown = formatInteger(*integerMember(field));
            break;
        case FieldKind::List: {
            // Only 1 means South and only 0 means West; the lists have no
            // entry for other stored values, so show what they stand for.
            const int32_t value = *integerMember(field);
            const int index = field == Field::IHEM_NS ? (value == 1 ? 1 : 0) : (value == 0 ? 0 : 1);
            if (m_view->selectedIndex(field) != index)
                m_view->setSelectedIndex(field, index);
            continue;
        }
        }
        if (m_view->text(field) != shown)
            m_view->setText(field, shown);
    }
}

// ---- calculation ---------------------------------------------------------------

void Workspace::recalculate()
{
    const FieldResult computed = m_engine.computePoint(record.ALTM, record.DLAT, record.DLON,
                                                       record.DDATE, record.IHEM_NS, record.JHEM_EW);
    locationChanged = 1;
    CVALIDITY = std::string(validityText(computed.dateOutOfRange, computed.coordinatesOutOfRange));
    if (computed.dateOutOfRange < 0)
        return;  // no model: the last results stay on screen
    results = computed;
    GridVariationTexts texts = gridVariationTexts(computed);
    CPOLAR1 = std::move(texts.CPOLAR1);
    CPOLAR2 = std::move(texts.CPOLAR2);
}

void Workspace::loadModel(bool ask)
{
    if (ask) {
        const FileRequest request{.mode = FileRequest::Mode::Open,
                                  .title = "Magnetic Model file for desired Epoch, Global or Regional",
                                  .filterDescription = "Magnetic model files (*.cof)",
                                  .pattern = "*.cof",
                                  .defaultExtension = "cof",
                                  .initialName = m_modelPath};
        // Cancel (or a refused path) reloads the model in use.
        if (std::optional<std::string> chosen = chooseFileAndEnterFolder(m_interaction, request))
            if (modelPathFits(*chosen))
                m_modelPath = std::move(*chosen);
    } else {
        m_modelPath = record.FILENAME;
    }
    m_engine.readModelFile(kModelDegree, m_modelPath);
    record.FILENAME = m_modelPath;
    recalculate();
    locationChanged = 1;
}

// ---- events ------------------------------------------------------------------------

void Workspace::leaveField(Field field)
{
    if (m_busy || m_view == nullptr)
        return;
    BusyMark mark(m_busy);
    leaveFieldNow(field);
}

void Workspace::leaveFieldNow(Field field)
{
    switch (field) {
    case Field::ILATD:
    case Field::ILATM:
    case Field::XLATS:
        if (!take())
            return;
        record.DLAT = dmsToDecimal(record.ILATD, record.ILATM, record.XLATS);
        break;
    case Field::DLAT: {
        if (!take() || latitudeChanged == 0)
            return;
        const DegreesMinutesSeconds dms = decimalToDms(record.DLAT);
        record.ILATD = dms.degrees;
        record.ILATM = dms.minutes;
        record.XLATS = dms.seconds;
        recalculate();
        show();
        latitudeChanged = 0;
        return;
    }
    case Field::ILOND:
    case Field::ILONM:
    case Field::XLONS:
        if (!take())
            return;
        record.DLON = dmsToDecimal(record.ILOND, record.ILONM, record.XLONS);
        break;
    case Field::DLON: {
        if (!take() || longitudeChanged == 0)
            return;
        const DegreesMinutesSeconds dms = decimalToDms(record.DLON);
        record.ILOND = dms.degrees;
        record.ILONM = dms.minutes;
        record.XLONS = dms.seconds;
        recalculate();
        show();
        longitudeChanged = 0;
        return;
    }
    case Field::ALTF:
        if (!take())
            return;
        record.ALTM = feetToMetres(record.ALTF);
        break;
    case Field::ALTM:
        if (!take())
            return;
        record.ALTF = metresToFeet(record.ALTM);
        break;
    case Field::IMONTH:
    case Field::IDAY:
    case Field::IYR:
        if (!take())
            return;
        record.DDATE = dateToDecimalYear(record.IMONTH, record.IDAY, record.IYR);
        break;
    case Field::DDATE: {
        if (!take() || dateChanged == 0)
            return;
        const auto date = decimalYearToDate(record.DDATE, record.IMONTH, record.IDAY);
        record.IYR = date.year;
        record.IMONTH = date.month;
        record.IDAY = date.day;
        recalculate();
        show();
        dateChanged = 0;
        return;
    }
    case Field::Location:
        if (!take())
            return;
        break;
    default:
        return;  // lists act when they close; results are read-only
    }
    recalculate();
    show();
}

void Workspace::takeRecalculateShow()
{
    if (!take())
        return;
    recalculate();
    show();
}

void Workspace::listClosed(Field field)
{
    if (m_busy || m_view == nullptr || fieldSpec(field).kind != FieldKind::List)
        return;
    BusyMark mark(m_busy);
    takeRecalculateShow();
}

void Workspace::textChanged(Field field)
{
    switch (field) {
    case Field::DLAT: latitudeChanged = 1; break;
    case Field::DLON: longitudeChanged = 1; break;
    case Field::DDATE: dateChanged = 1; break;
    default: break;
    }
}

void Workspace::recalc(std::optional<Field> focused)
{
    if (m_busy || m_view == nullptr)
        return;
    BusyMark mark(m_busy);
    if (focused) {
        switch (*focused) {
        case Field::DLAT: case Field::ILATD: case Field::ILATM: case Field::XLATS:
        case Field::DLON: case Field::ILOND: case Field::ILONM: case Field::XLONS:
        case Field::DDATE: case Field::IMONTH: case Field::IDAY: case Field::IYR:
        case Field::ALTF: case Field::ALTM:
            leaveFieldNow(*focused);
            return;
        default:
            break;
        }
    }
    takeRecalculateShow();
}

void Workspace::newModel()
{
    if (m_busy)
        return;
    BusyMark mark(m_busy);
    loadModel(true);
    show();
}

void Workspace::help()
{
    m_interaction.ask(Message{Icon::Information, std::string(kModelDescriptionCaption),
                              std::string(kHelpText), Buttons::Ok});
}

// ---- settings -------------------------------------------------------------------------

bool Workspace::saveSettings(bool tellUser)
{
    const std::optional<FileError> error = writeSettings(settingsFilePath(), record, grid);
    if (!error)
        return true;
    const Message report =
        fileErrorMessage(*error, "The settings could not be saved; the previous ones are kept.\n\n");
    if (tellUser)
        m_interaction.ask(report);
    else
        std::fprintf(stderr, "tellurim: %s\n", report.text.c_str());
    return false;
}

}  // namespace tellurim
