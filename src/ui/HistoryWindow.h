#pragma once

#include "engine/MagneticModel.h"
#include "workspace/HistoryPlot.h"

#include <QDialog>

#include <memory>
#include <optional>

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;

namespace tellurim {

class Workspace;

/// The field at the main window's place over the whole span of its model:
/// declination (or inclination, total or horizontal field) against the
/// year, the main window's date marked, the models of a chain and their
/// blends shaded. Pointing at the curve shows the date and the value, and
/// "Use this date" hands that date to the main window. It follows the main
/// window: a new place or model redraws it, a new date moves the mark.
/// Non-modal; one per main window (see showHistoryWindow).
class HistoryWindow final : public QDialog {
    Q_OBJECT
public:
    explicit HistoryWindow(Workspace& workspace, QWidget* parent = nullptr);
    ~HistoryWindow() override;

    /// Recomputes (when the place or the model changed) and redraws.
    void refresh();
    /// Points at a date, as the pointer on the curve does: shows its date and
    /// value and makes it the date "Use this date" hands on.
    void pickYear(float year);
    /// Writes the plot as PNG, SVG or PDF, told by the name's extension,
    /// through the one replacing write. Returns why it failed, or nothing.
    std::optional<std::string> writePlot(const std::string& path);

    const std::optional<FieldHistory>& history() const { return m_history; }
    QChart* chart() const;
    HistoryElement element() const;

private:
    void buildLayout();
    void redraw();
    void useDate();
    void exportPlot();
    void exportCsv();
    void reportFailure(const std::string& text);

    Workspace& m_workspace;
    std::shared_ptr<const MagneticModel> m_model;  ///< the model the history belongs to
    std::optional<FieldHistory> m_history;
    std::optional<float> m_picked;        ///< decimal year pointed at
    QChartView* m_view = nullptr;
    QComboBox* m_element = nullptr;
    QLabel* m_title = nullptr;
    QLabel* m_pointed = nullptr;
    QPushButton* m_useDate = nullptr;
};

/// Opens the main window's history window, or brings it to the front.
HistoryWindow* showHistoryWindow(Workspace& workspace, QWidget* mainWindow);

}  // namespace tellurim
