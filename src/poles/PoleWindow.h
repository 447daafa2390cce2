#pragma once

#include "engine/MagneticModel.h"
#include "engine/PolePosition.h"
#include "files/CsvWriter.h"
#include "platform/Interaction.h"
#include "poles/PoleDialogView.h"

#include <cstdint>
#include <string>

namespace tellurim {

/// The date the pole window works on: its own copy, never written back.
struct PoleDate {
    int32_t month = 0;
    int32_t day = 0;
    int32_t year = 0;
    float decimalDate = 0.0f;  ///< decimal year
};

/// The pole export's file, separate from the location export's: closed until
/// the first export of a run creates it, open from then on (also across
/// later pole windows), closed at the end of the run.
struct PoleExportState {
    CsvFile file;
    bool poleExportOpen() const { return file.isOpen(); }
    /// The name the export's file dialog proposes; shared with no other dialog.
    std::string lastPoleFileName;
};

/// The logic of the pole window: its twenty values, the search for both
/// poles when the date changes, and the print and export of what it shows.
/// The window itself (a PoleDialogView) only shows texts and forwards events.
class PoleWindow final : public PoleDialogActions {
public:
    /// The model must outlive the window.
    PoleWindow(const MagneticModel& model, Interaction& interaction, PoleExportState& exportState);

    /// Takes the date and finds the poles for its decimal year.
    void start(const PoleDate& startDate);
    /// Reads month, day and year; when all three are whole numbers and the
    /// month lies in 1 to 12, derives the decimal year, finds both poles and
    /// shows every field. A refused field gets its message and the focus
    /// back with its text selected, and no value changes.
    void recomputePoles();
    /// Prints the date and both poles on one page.
    void printPoles();
    /// Appends the date and both poles to the pole export file, asking for
    /// its name (and writing its header) on the first export of a run.
    void exportPoles();

    void attach(PoleDialogView* view) override;
    void dateFieldLeft(PoleField field) override;
    bool accept() override;
    void print() override { printPoles(); }
    void exportRow() override { exportPoles(); }

    const PoleDate& date() const { return m_date; }
    const MagneticPoles& poles() const { return m_poles; }

private:
    bool take();
    bool refuse(PoleField field, const Message& message);
    void show();
    std::string shownText(PoleField field) const;

    const MagneticModel& m_model;
    Interaction& m_interaction;
    PoleExportState& m_export;
    PoleDialogView* m_view = nullptr;
    PoleDate m_date;
    MagneticPoles m_poles;
    bool m_busy = false;
};

}  // namespace tellurim
