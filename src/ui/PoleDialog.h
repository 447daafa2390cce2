#pragma once

#include "poles/PoleDialogView.h"

#include <QDialog>

#include <array>

class QLineEdit;

namespace tellurim {

/// The pole position window: the date and both poles, laid out as rows of
/// degrees, minutes, seconds and decimal degrees. Only month, day and year
/// are editable; leaving one of them, OK, Print and Export go to the
/// window's logic. Edits are named after their fields ("month",
/// "northDecimalLatitude").
class PoleDialog final : public QDialog, public PoleDialogView {
    Q_OBJECT
public:
    PoleDialog(PoleDialogActions& actions, QWidget* parent = nullptr);
    ~PoleDialog() override;

    std::string text(PoleField field) const override;
    void setText(PoleField field, const std::string& text) override;
    void focusAndSelect(PoleField field) override;
    QLineEdit* edit(PoleField field) const { return m_edits[static_cast<std::size_t>(field)]; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* makeEdit(PoleField field, const char* name, const QString& accessible, const char* widest);
    /// The date as typed has been handed to the logic: no longer an edit.
    void dateTextsTaken();
    void buildLayout();

    PoleDialogActions& m_actions;
    std::array<QLineEdit*, kPoleFieldCount> m_edits{};
};

}  // namespace tellurim
