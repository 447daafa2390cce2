#pragma once

#include "record/GridSettings.h"
#include "workspace/GridEntry.h"

#include <QDialog>

#include <array>

class QLineEdit;
class QPushButton;

namespace tellurim {

class Interaction;

/// "Make Grid": the rectangle and steps of a grid, latitudes on the left,
/// longitudes on the right, OK and Cancel at the right edge. It opens with
/// the focus on OK. OK reads and checks the six values in checking order
/// (Starting Longitude first); the first bad one is reported through the
/// interaction, gets the focus with its text selected, and the dialog stays.
class GridDialog final : public QDialog {
    Q_OBJECT
public:
    GridDialog(const GridSettings& values, Interaction& interaction, QWidget* parent = nullptr);

    /// The values accepted by OK.
    const GridSettings& values() const { return m_values; }
    QLineEdit* edit(GridField field) const { return m_edits[static_cast<std::size_t>(field)]; }
    QPushButton* okButton() const { return m_ok; }

public slots:
    void accept() override;

private:
    GridSettings m_values;
    Interaction& m_interaction;
    std::array<QLineEdit*, kGridFieldCount> m_edits{};
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

}  // namespace tellurim
