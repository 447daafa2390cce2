#include "workspace/Workspace.h"

#include "engine/ModelLocator.h"
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

// Every degree the model file holds (a fixed-column file stops at 12).
constexpr int32_t kModelDegree = kAllDegrees;

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

// Leaving an editable number field or the location's name takes the fields.
bool leavingActs(Field field)
{
    const FieldSpec& spec = fieldSpec(field);
    return spec.editable && spec.kind != FieldKind::List;
}

void splitDegrees(float decimal, int32_t& degrees, int32_t& minutes, float& seconds)
{
    const DegreesMinutesSeconds dms = decimalToDms(decimal);
    degrees = dms.degrees;
    minutes = dms.minutes;
    seconds = dms.seconds;
}

std::string withoutQuotes(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
    return text;
}

}  // namespace

Workspace::Workspace(ModelEngine& engine, WorkspaceInteraction& interaction, const Clock& clock,
                     std::optional<std::string> modelOverride)
    : m_engine(engine), m_interaction(interaction), m_clock(clock)
{
    const Settings settings = readSettings(settingsFilePath());
    record = settings.location;
    grid = settings.grid;
    m_gridNorth.restore(settings.gridNorth);
    recentModels = settings.recentModels;
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

namespace {

// Degrees, minutes and seconds are each in range on their own; together
// they must not pass the pole (90) or the antimeridian (180). Checked once
// the last of the three has been taken; the degrees field is the one to fix.
std::optional<Field> angleBeyondItsRange(const LocationRecord& r, Field taken)
{
    if (taken == Field::XLATS && dmsToDecimal(r.ILATD, r.ILATM, r.XLATS) > 90.0f)
        return Field::ILATD;
    if (taken == Field::XLONS && dmsToDecimal(r.ILOND, r.ILONM, r.XLONS) > 180.0f)
        return Field::ILOND;
    return std::nullopt;
}

}  // namespace

bool Workspace::take()
{
    if (m_view == nullptr)
        return false;
    for (const FieldSpec& spec : fieldTable()) {
        const Field field = spec.field;
        // A number the user did not touch keeps its full value: parsing its
        // six-digit text back would move it (and the date, and the results).
        const bool parse = edited(field);
        switch (spec.kind) {
        case FieldKind::Text:
            fieldMember<std::string>(spec, members()) = m_view->text(field);
            break;
        case FieldKind::List:
            fieldMember<int32_t>(spec, members()) = m_view->selectedIndex(field);
            break;
        case FieldKind::Single: {
            float& member = fieldMember<float>(spec, members());
            if (parse) {
                const Parsed<float> parsed = parseSingle(m_view->text(field));
                if (parsed.status != ParseStatus::Ok)
                    return refuse(spec, parsed.status);
                member = parsed.value;
            }
            if (spec.hasRange && !(member >= static_cast<float>(spec.minimum) &&
                                   member <= static_cast<float>(spec.maximum)))
                return refuse(spec, ParseStatus::TooLarge);
            break;
        }
        case FieldKind::Integer: {
            int32_t& member = fieldMember<int32_t>(spec, members());
            if (parse) {
                const Parsed<int32_t> parsed = parseInteger(m_view->text(field));
                if (parsed.status != ParseStatus::Ok)
                    return refuse(spec, parsed.status);
                member = parsed.value;
            }
            if (spec.hasRange && (member < static_cast<int32_t>(spec.minimum) ||
                                  member > static_cast<int32_t>(spec.maximum)))
                return refuse(spec, ParseStatus::TooLarge);
            break;
        }
        }
        if (const std::optional<Field> degrees = angleBeyondItsRange(record, field))
            return refuse(fieldSpec(*degrees), ParseStatus::TooLarge);
    }
    return true;
}

bool Workspace::edited(Field field) const
{
    const std::optional<std::string>& shown = m_shown[static_cast<std::size_t>(field)];
    return m_view == nullptr || !shown || m_view->text(field) != *shown;
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
            shown = fieldMember<std::string>(spec, members());
            break;
        case FieldKind::Single:
            shown = formatSingle(fieldMember<float>(spec, members()));
            break;
        case FieldKind::Integer:
            shown = formatInteger(fieldMember<int32_t>(spec, members()));
            break;
        case FieldKind::List: {
            // Only 1 means South and only 0 means West; the lists have no
            // entry for other stored values, so show what they stand for.
            const int32_t value = fieldMember<int32_t>(spec, members());
            const int index = field == Field::IHEM_NS ? (value == 1 ? 1 : 0) : (value == 0 ? 0 : 1);
            if (m_view->selectedIndex(field) != index)
                m_view->setSelectedIndex(field, index);
            continue;
        }
        }
        // Known before the text is written, so that writing it is no edit.
        m_shown[static_cast<std::size_t>(field)] = shown;
        if (m_view->text(field) != shown)
            m_view->setText(field, shown);
    }
    m_view->showAccuracy(m_accuracy);
    m_view->showGridNorth(m_gridNorth.texts());
}

// ---- calculation ---------------------------------------------------------------

void Workspace::recalculate()
{
    const FieldResult computed =
        m_engine.computePoint(record.ALTM, signedLatitude(record), signedLongitude(record), record.DDATE);
    locationChanged = 1;
    if (computed.dateOutOfRange < 0) {
        // No model: the last results and their grid variation stay on screen.
        m_texts.CVALIDITY = validityText(computed.dateOutOfRange, computed.coordinatesOutOfRange);
        updateGridNorth();
        return;
    }
    m_results = computed;
    m_texts = resultTexts(computed);
    m_accuracy = accuracyTexts(m_engine.modelName(), computed);
    updateGridNorth();
}

void Workspace::loadModel(bool ask)
{
    if (ask) {
        const FileRequest request{.mode = FileRequest::Mode::Open,
                                  .title = "Magnetic Model file for desired Epoch, Global or Regional",
                                  .filterDescription = "Magnetic model files (*.cof)",
                                  .pattern = "*.cof",
                                  .defaultExtension = "cof",
                                  .initialName = m_modelLocation,
                                  .moreFilters = {{"Magnetic model files (*.cof, *.shc)", "*.cof *.shc"}}};
        // Cancel (or a refused path) reloads the model in use.
        if (std::optional<std::string> chosen = chooseFileAndEnterFolder(m_interaction, request))
            if (modelPathFits(*chosen))
                m_modelPath = std::move(*chosen);
    } else {
        m_modelPath = record.FILENAME;
    }
    loadModelPath();
}

void Workspace::loadModelPath()
{
    m_engine.readModelFile(kModelDegree, m_modelPath);
    // Found now: the file dialogs move the current directory.
    m_modelLocation = locateModelFile(m_modelPath);
    if (m_engine.isLoaded())
        recentModels = ModelCatalogue::remember(std::move(recentModels), m_modelLocation);
    record.FILENAME = m_modelPath;
    recalculate();
    locationChanged = 1;
}

void Workspace::chooseModel(const std::string& path)
{
    if (m_busy || !modelPathFits(path))
        return;
    BusyMark mark(m_busy);
    m_modelPath = path;
    loadModelPath();
    show();
}

std::optional<ModelChoice> Workspace::currentModelChoice() const
{
    if (!m_engine.isLoaded())
        return std::nullopt;
    return ModelChoice{modelSpanLabel(*m_engine.model()), m_modelLocation, false};
}

// ---- events ------------------------------------------------------------------------

void Workspace::leaveField(Field field)
{
    if (m_busy || m_view == nullptr)
        return;
    BusyMark mark(m_busy);
    leaveFieldNow(field);
}

int32_t* Workspace::changeFlag(Field field)
{
    switch (field) {
    case Field::DLAT: return &m_latitudeChanged;
    case Field::DLON: return &m_longitudeChanged;
    case Field::DDATE: return &m_dateChanged;
    default: return nullptr;
    }
}

void Workspace::deriveFrom(Field field)
{
    LocationRecord& r = record;
    switch (field) {
    case Field::ILATD: case Field::ILATM: case Field::XLATS:
        r.DLAT = dmsToDecimal(r.ILATD, r.ILATM, r.XLATS);
        break;
    case Field::DLAT:
        splitDegrees(r.DLAT, r.ILATD, r.ILATM, r.XLATS);
        break;
    case Field::ILOND: case Field::ILONM: case Field::XLONS:
        r.DLON = dmsToDecimal(r.ILOND, r.ILONM, r.XLONS);
        break;
    case Field::DLON:
        splitDegrees(r.DLON, r.ILOND, r.ILONM, r.XLONS);
        break;
    case Field::ALTF: r.ALTM = feetToMetres(r.ALTF); break;
    case Field::ALTM: r.ALTF = metresToFeet(r.ALTM); break;
    case Field::IMONTH: case Field::IDAY: case Field::IYR:
        r.DDATE = dateToDecimalYear(r.IMONTH, r.IDAY, r.IYR);
        break;
    case Field::DDATE: {
        const auto date = decimalYearToDate(r.DDATE, r.IMONTH, r.IDAY);
        r.IYR = date.year;
        r.IMONTH = date.month;
        r.IDAY = date.day;
        break;
    }
    default:
        break;  // the location's name has no other form
    }
}

bool Workspace::groupEdited(Field field) const
{
    const auto any = [this](std::initializer_list<Field> fields) {
        return std::any_of(fields.begin(), fields.end(), [this](Field f) { return edited(f); });
    };
    switch (field) {
    case Field::ILATD: case Field::ILATM: case Field::XLATS:
        return any({Field::ILATD, Field::ILATM, Field::XLATS});
    case Field::ILOND: case Field::ILONM: case Field::XLONS:
        return any({Field::ILOND, Field::ILONM, Field::XLONS});
    case Field::IMONTH: case Field::IDAY: case Field::IYR:
        return any({Field::IMONTH, Field::IDAY, Field::IYR});
    default:
        return edited(field);
    }
}

void Workspace::leaveFieldNow(Field field)
{
    // Lists act when they close; results are read-only.
    if (!leavingActs(field))
        return;
    // Known before the take: a conversion runs only from what the user
    // typed, so passing through a field never moves its partners (feet
    // converted back to metres, a shown decimal year back to a date).
    const bool convert = groupEdited(field);
    if (!take())
        return;
    // A decimal field acts only when its text was edited.
    int32_t* changed = changeFlag(field);
    if (changed != nullptr && *changed == 0)
        return;
    if (convert)
        deriveFrom(field);
    recalculate();
    show();
    if (changed != nullptr)
        *changed = 0;
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
    // Typing back the text shown is no change either.
    if (int32_t* changed = changeFlag(field))
        *changed = edited(field) ? 1 : 0;
}

void Workspace::recalc(std::optional<Field> focused)
{
    if (m_busy || m_view == nullptr)
        return;
    BusyMark mark(m_busy);
    // A focused number field is left; the location's name, a list, a
    // result or a button leave nothing to convert.
    if (focused && leavingActs(*focused) && fieldSpec(*focused).kind != FieldKind::Text) {
        leaveFieldNow(*focused);
        return;
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

void Workspace::rememberFileName(const std::string& path)
{
    if (!inSystemFolder(path))
        lastFileName = path;
}

// ---- settings -------------------------------------------------------------------------

bool Workspace::saveSettings(bool tellUser)
{
    const std::optional<FileError> error = writeSettings(settingsFilePath(), record, grid, recentModels,
                                                         m_gridNorth.settings());
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
