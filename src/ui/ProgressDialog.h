#pragma once

#include "platform/Progress.h"

#include <QDialog>
#include <QPointer>
#include <QString>

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;

namespace tellurim {

/// The progress window of a long operation: a bar, a percentage label and
/// one Cancel button, which is also the default button. Cancel, Enter,
/// Escape and the close box all ask to cancel; the request is reported once
/// by pollCancel and the window stays open until it is closed or deleted.
/// While it is open its owner is disabled, and enabled again on closing only
/// if this window disabled it.
class ProgressDialog final : public QDialog, public Progress {
    Q_OBJECT
public:
    /// The caption; empty means "Generating Grid File". Creates no window.
    explicit ProgressDialog(QString caption = {});
    ~ProgressDialog() override;

    /// Shows the window beside parent's top-level window (the active window
    /// when there is none) and disables that owner when it is enabled.
    bool open(QWidget* parent);
    /// Enables the owner again if open disabled it, then hides the window.
    bool close();

    void setRange(int lower, int upper) override;
    void setPosition(int position) override;
    void setStep(int step) override;
    bool pollCancel() override;
    void keepResponsive() override { drainMessages(); }

    /// Handles every pending event of the thread, never waiting.
    void drainMessages();
    /// Rewrites the label for this position when its text changes; true
    /// when it did.
    bool showPercent(int position);
    /// The label's text for a position in a range: whole percent, truncated,
    /// where anything past 100 wraps ("100%", but 120 shows "20%").
    static QString percentText(int position, int lower, int upper);

    int step() const { return m_step; }
    QProgressBar* bar() const { return m_bar; }
    QLabel* percentLabel() const { return m_label; }
    QPushButton* cancelButton() const { return m_cancel; }

public slots:
    void accept() override {}
    void reject() override { m_cancelRequested = true; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QProgressBar* m_bar;
    QLabel* m_label;
    QPushButton* m_cancel;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 10;
    bool m_cancelRequested = false;
    bool m_ownerDisabled = false;
    QPointer<QWidget> m_owner;
};

}  // namespace tellurim
