#pragma once

#include "workspace/FieldTable.h"
#include "workspace/WorkspaceView.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace tellurim {

class GridNorthPanel;
class HemisphereComboBox;
class ModelChooser;
class Workspace;

/// The main window: the workspace's fields, results and buttons. Widgets are
/// named after their fields ("ILATM", "CVALIDITY") and buttons after their
/// commands ("Recalc", "NewModel"). Leaving a field (losing the keyboard
/// focus), closing an opened hemisphere list and the buttons are passed to
/// the workspace, which does the work.
class MainDialog final : public QDialog, public WorkspaceView {
    Q_OBJECT
public:
    /// Attaches itself as the workspace's view and shows its members.
    explicit MainDialog(Workspace& workspace, QWidget* parent = nullptr);
    ~MainDialog() override;

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    int selectedIndex(Field field) const override;
    void setSelectedIndex(Field field, int index) override;
    void focusAndSelect(Field field) override;
    void showAccuracy(const AccuracyTexts& texts) override;
    void showGridNorth(const GridNorthTexts& texts) override;
    GridNorthPanel* gridNorthPanel() const { return m_gridNorth; }

    QWidget* fieldWidget(Field field) const;
    QPushButton* button(Command command) const;
    /// The uncertainty line ("Uncertainty") and the compass zone line ("CompassZone").
    QLabel* uncertaintyLine() const { return m_uncertainty; }
    QLabel* zoneLine() const { return m_zone; }
    /// The drop-down of models beside the model in use ("ModelChoice").
    ModelChooser* modelChooser() const { return m_models; }
    /// Connects a button to its action and enables it.
    void setCommand(Command command, std::function<void()> action);
    /// The field whose control has the keyboard focus, if any.
    std::optional<Field> focusedField() const;
    /// Puts the whole result on the clipboard as text (Ctrl+C with nothing
    /// selected, and Copy in the window's context menu).
    void copyResult();
    /// The buttons row by row, as laid out and as Tab visits them.
    static std::vector<std::vector<Command>> buttonRows();

    /// Called once, when the window has painted itself for the first time
    /// (start-up measurement).
    void setFirstPaintHook(std::function<void()> hook) { m_firstPaintHook = std::move(hook); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildWidgets();
    void buildLayout();
    QLayout* inputRows();
    QLayout* angleRows();
    QLayout* componentRows();
    QLayout* accuracyRows();
    QLineEdit* makeEdit(const FieldSpec& spec);
    QWidget* makeList(const FieldSpec& spec);
    void connectCommands();
    /// Makes every number field wide enough for the widest text it shows.
    void fitFieldWidths();
    std::optional<Field> fieldOf(const QObject* object) const;

    Workspace& m_workspace;
    std::array<QWidget*, kFieldCount> m_fields{};
    std::array<QPushButton*, 11> m_buttons{};
    QLabel* m_uncertainty = nullptr;
    QLabel* m_zone = nullptr;
    GridNorthPanel* m_gridNorth = nullptr;
    ModelChooser* m_models = nullptr;
    std::function<void()> m_firstPaintHook;
};

}  // namespace tellurim
