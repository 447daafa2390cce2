#pragma once

#include "workspace/WorkspaceInteraction.h"

#include <QPointer>
#include <QStringList>
#include <QString>
#include <QWidget>

namespace tellurim {

class ProgressDialog;

/// The Interaction of the real program: modal message boxes, Qt's own file
/// dialogs (the same behaviour on every desktop: patterns match any letter
/// case, the default suffix is added, overwriting asks first) and the print
/// dialog. Boxes are owned by the parent widget when one is set.
class QtInteraction final : public WorkspaceInteraction {
public:
    explicit QtInteraction(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

    Answer ask(const Message& message) override;
    std::optional<std::string> chooseFile(const FileRequest& request) override;
    std::unique_ptr<PageCanvas> choosePrinter(std::string_view documentName) override;
    std::optional<GridSettings> editGridRectangle(const GridSettings& initial) override;
    std::unique_ptr<Progress> openProgress(std::string_view caption) override;
    void runPoleDialog(PoleDialogActions& actions) override;

    /// The program is ending with nobody to answer (a termination signal):
    /// an open progress window is asked to cancel, and from now on nothing
    /// is shown. Boxes answer Ok, or Cancel when they offer it; file, print,
    /// grid and pole dialogs are cancelled; progress windows ask to cancel
    /// from the start.
    void endSession();

private:
    QPointer<QWidget> m_parent;
    QPointer<ProgressDialog> m_progress;  // the last progress window opened
    bool m_sessionEnded = false;
};

/// A file-name pattern that matches whatever the letter case: "*.cof"
/// becomes "*.[cC][oO][fF]".
QString caseInsensitivePattern(const QString& pattern);

/// The name filter QFileDialog is given: the description as shown, then the
/// case-insensitive pattern that it actually applies.
QString nameFilterFor(const FileRequest& request);
/// Every entry of the dialog: nameFilterFor's first, then the further ones.
QStringList nameFiltersFor(const FileRequest& request);

}  // namespace tellurim
