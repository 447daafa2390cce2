#pragma once

#include "workspace/GridNorthLine.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tellurim {

class Workspace;

/// The main window's grid-north line: the reference system (an editable
/// list), the easting and northing (editable, coupled with the latitude and
/// longitude), the meridian convergence and the grid declination, and a note
/// for a warning. Widgets are named "GridSystem", "GridEasting",
/// "GridNorthing", "GridConvergence", "GridDeclination" and "GridNote".
/// Edits go to the workspace, which does the work and shows the result
/// through showTexts.
class GridNorthPanel final : public QWidget {
    Q_OBJECT
public:
    GridNorthPanel(Workspace& workspace, QWidget* parent);

    void showTexts(const GridNorthTexts& texts);

    QComboBox* systemList() const { return m_system; }
    QLineEdit* easting() const { return m_easting; }
    QLineEdit* northing() const { return m_northing; }
    QLineEdit* convergence() const { return m_convergence; }
    QLineEdit* gridDeclination() const { return m_gridDeclination; }
    QLabel* note() const { return m_note; }

private:
    QLineEdit* makeEdit(const char* name, const char* accessibleName, const char* toolTip, bool readOnly);
    void chooseTyped();
    void enterPosition();

    Workspace& m_workspace;
    QComboBox* m_system = nullptr;
    QLabel* m_systemName = nullptr;
    QLineEdit* m_easting = nullptr;
    QLineEdit* m_northing = nullptr;
    QLineEdit* m_convergence = nullptr;
    QLineEdit* m_gridDeclination = nullptr;
    QLabel* m_note = nullptr;
};

}  // namespace tellurim
