#pragma once

#include "engine/FieldResult.h"
#include "workspace/ModelEngine.h"
#include "files/CsvWriter.h"
#include "record/GridSettings.h"
#include "platform/Clock.h"
#include "workspace/WorkspaceInteraction.h"
#include "poles/PoleWindow.h"
#include "workspace/Exchange.h"
#include "workspace/FieldTable.h"
#include "workspace/GridNorthLine.h"
#include "workspace/ModelCatalogue.h"
#include "record/LocationRecord.h"
#include "record/ResultTexts.h"
#include "workspace/WorkspaceView.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tellurim {

/// The working state of the main window and every operation on it: the one
/// location, the results of its last calculation and their display texts.
/// It reaches the window only through a WorkspaceView and the user only
/// through an Interaction, so every flow runs in tests without Qt.
///
/// Construction reads the settings file, fills in today's date, derives the
/// decimal and feet members and loads the model (which may already ask the
/// user something); the window then attaches its view and calls show().
class Workspace {
public:
    /// modelOverride: a model file named on the command line; it replaces the
    /// stored FILENAME for this run (and is what the settings keep at exit).
    Workspace(ModelEngine& engine, WorkspaceInteraction& interaction, const Clock& clock,
              std::optional<std::string> modelOverride = std::nullopt);
    Workspace(const Workspace&) = delete;
    Workspace& operator=(const Workspace&) = delete;
    ~Workspace();

    /// The view may be attached once the window exists; null detaches it.
    void attachView(WorkspaceView* view)
    {
        m_view = view;
        m_shown = {};  // a new view's controls show nothing yet
    }

    // ---- exchange and calculation ------------------------------------------
    /// Controls to members in exchange order, range-checked. Only a control
    /// whose text the user changed is parsed back; one still showing what
    /// show() wrote leaves its member at its full value (a decimal year shown
    /// as "2026.94" stays the 8 December it was). On the first bad field:
    /// shows the validation message, returns the focus to the field with its
    /// text selected and returns false; earlier members (and the bad one when
    /// it held a number out of range) keep their new values.
    bool take();
    /// Members to controls; a control whose text already matches is left alone.
    void show();
    /// Whether the control's text differs from what show() last wrote there.
    bool edited(Field field) const;
    /// Runs the point calculation on the record and sets the results, the
    /// texts and locationChanged; does not show. With no model loaded only
    /// CVALIDITY changes.
    void recalculate();
    /// Loads FILENAME (ask false) or a model the user picks (ask true; Cancel
    /// reloads the current one), then recalculates; does not show.
    void loadModel(bool ask);

    // ---- window events ------------------------------------------------------
    /// The field lost the keyboard focus (even when nothing was typed).
    void leaveField(Field field);
    /// The opened drop-down list of a hemisphere closed.
    void listClosed(Field field);
    /// The control's text changed, typed or by show().
    void textChanged(Field field);
    /// The Recalc button or Enter: acts as if the focused control were left;
    /// nothing (or a button, a result) means take, recalculate, show.
    void recalc(std::optional<Field> focused);
    /// New Model button: pick and load a model, then show.
    void newModel();
    /// A model picked from the drop-down: loaded as New Model loads the file
    /// picked in its dialog, then shown.
    void chooseModel(const std::string& path);
    /// What the drop-down offers: the shipped models and the files used before.
    std::vector<ModelChoice> modelChoices() { return m_catalogue.choices(recentModels); }
    /// The drop-down's entry for the model in use; nothing without a model.
    std::optional<ModelChoice> currentModelChoice() const;
    /// Model files used before (absolute, newest first), kept in the settings.
    std::vector<std::string> recentModels;
    /// Help button: the box describing model files.
    void help();
    /// The whole result as text, the block `tellurim-cli point` prints for
    /// the same point: the location, date, model, every element with its
    /// annual change, the uncertainties and the compass zone.
    std::string resultText() const;
    /// True while an operation runs; events arriving then (focus moving to a
    /// message box, for example) are ignored so that nothing runs twice.
    bool busy() const { return m_busy; }

    // ---- grid north (WorkspaceGridNorth.cpp) ------------------------------------
    /// The reference system typed or picked in the grid-north line: taken,
    /// remembered and the line recomputed; refused with a box naming the
    /// problem, and then nothing changes.
    void chooseGridSystem(const std::string& text);
    /// An easting or northing was edited: the fields are taken, the point
    /// moves to the latitude and longitude of the grid position and is
    /// recalculated and shown. A position that does not invert is refused
    /// with a box, and nothing changes.
    void enterGridPosition(const std::string& easting, const std::string& northing);
    const GridNorthLine& gridNorth() const { return m_gridNorth; }

    // ---- settings -----------------------------------------------------------
    /// Writes the settings file from the members as they stand. A failure is
    /// reported (the previous settings file stays intact): in a box, or on
    /// the error stream when nobody is there to answer one (tellUser false).
    bool saveSettings(bool tellUser = true);

    // ---- location files, report, export (WorkspaceLocationFiles.cpp) -------
    /// How a save ended; only Cancelled stops a load that offered it.
    enum class SaveOutcome {
        Done,               ///< written, or nothing to save before a load
        Declined,           ///< No to "Do you wish to save it?"
        Cancelled,          ///< Cancel to that question, or the file could not be written
        OverwriteDeclined,  ///< No or Cancel to the overwrite question
    };
    /// Writes the location to "<Location>.LOC" in the current directory.
    /// explicitSave false (a load offering to save first) asks only when
    /// locationChanged is set. The file is replaced whole or not at all.
    SaveOutcome saveLocation(bool explicitSave);
    /// Offers to save, lets the user pick a location file, loads it, reloads
    /// its model, recalculates and shows. A refused file changes no field.
    void getLocation();
    /// Prints the current location and results on one page.
    void printLocation();
    /// Appends the current location and results to the export file, asking
    /// for its name (and writing its header) on the first export of a run.
    void exportLocation();

    /// The name printed as "Prepared by Tellurim for ..."; unset means the
    /// account's name.
    std::optional<std::string> reportUserName;
    /// Whether a location export file is open: from the first export to the
    /// end of the run.
    bool locationExportOpen() const { return m_locationExportFile.isOpen(); }

    // ---- grid (WorkspaceGrid.cpp) -------------------------------------------
    /// Asks for a rectangle and a file, then writes the grid at the location's
    /// elevation and date behind the progress window; the location and its
    /// results stay as they are. A completed or cancelled grid is kept in
    /// `grid` for the next one.
    void makeGrid();

    // ---- pole window (WorkspacePoles.cpp) ------------------------------------
    /// Opens the pole window on the poles for the record's date; nothing is
    /// written back. With no model loaded only says so.
    void showPoles();
    /// The pole export's file, open from its first export to the end of the run.
    PoleExportState poleExport;

    WorkspaceInteraction& interaction() { return m_interaction; }
    ModelEngine& engine() { return m_engine; }
    const Clock& clock() const { return m_clock; }
    WorkspaceView* view() const { return m_view; }

    // ---- state shared with the other operations ----------------------------
    LocationRecord record;
    GridSettings grid;
    /// 1 when results were recomputed or the model reloaded since the last
    /// successful save or the start of the last load.
    int32_t locationChanged = 0;
    /// The path last chosen in the location-file, export or grid dialogs.
    std::string lastFileName;
    /// Keeps path as lastFileName, unless it lies in a system folder
    /// (inSystemFolder), where the next dialog must not start.
    void rememberFileName(const std::string& path);

    /// The results of the last calculation with a model, and their texts.
    const FieldResult& results() const { return m_results; }
    const ResultTexts& texts() const { return m_texts; }
    /// The uncertainties and compass zone of those results.
    const AccuracyTexts& accuracy() const { return m_accuracy; }
    /// Whether the user changed the text of DLAT, DLON, DDATE since the last
    /// conversion from that field (a text written by show() is no change).
    int32_t latitudeChanged() const { return m_latitudeChanged; }
    int32_t longitudeChanged() const { return m_longitudeChanged; }
    int32_t dateChanged() const { return m_dateChanged; }

private:
    void leaveFieldNow(Field field);
    /// "Do you wish to save it?": how the save ends, unless the answer is Yes.
    std::optional<SaveOutcome> askToSaveChanges();
    void takeRecalculateShow();
    /// Shows why a take stops at this field and returns the focus to it.
    bool refuse(const FieldSpec& spec, ParseStatus status);
    /// False, after telling the user, when a model path is too long to keep.
    bool modelPathFits(const std::string& path);
    FieldMembers members() { return FieldMembers{record, m_results, m_texts}; }
    /// The flag that tracks edits of a decimal field (DLAT, DLON, DDATE).
    int32_t* changeFlag(Field field);
    /// Hands m_modelPath to the loader, notes where it led and recalculates.
    void loadModelPath();
    /// Brings the other forms of the value up to date with the field left.
    void deriveFrom(Field field);
    /// Whether the user edited the field left or a partner it converts with
    /// (the degrees, minutes and seconds of one angle; month, day and year).
    bool groupEdited(Field field) const;
    /// The grid dialog on the last (or first-use) values; what was entered.
    std::optional<GridSettings> askGridArea();
    /// The grid-north line for the record's point and the last results.
    void updateGridNorth();

    ModelEngine& m_engine;
    WorkspaceInteraction& m_interaction;
    const Clock& m_clock;
    WorkspaceView* m_view = nullptr;
    std::string m_modelPath;      ///< the path handed to the loader
    std::string m_modelLocation;  ///< where that path led, absolute; the New Model dialog opens there
    FieldResult m_results;
    ResultTexts m_texts;
    AccuracyTexts m_accuracy;
    int32_t m_latitudeChanged = 0;
    int32_t m_longitudeChanged = 0;
    int32_t m_dateChanged = 0;
    /// What show() last wrote into each control (its text as the window shows
    /// it); nothing before the first show.
    std::array<std::optional<std::string>, kFieldCount> m_shown{};
    CsvFile m_locationExportFile;
    GridNorthLine m_gridNorth;
    ModelCatalogue m_catalogue;
    bool m_busy = false;
};

}  // namespace tellurim
