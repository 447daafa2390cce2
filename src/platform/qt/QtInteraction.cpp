#include "platform/qt/QtInteraction.h"

#include "grid/ui/GridDialog.h"
#include "grid/ui/ProgressDialog.h"
#include "platform/qt/QtPrinterCanvas.h"
#include "poles/ui/PoleDialog.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace tellurim {
namespace {

QMessageBox::Icon boxIcon(Icon icon)
{
    switch (icon) {
    case Icon::None: return QMessageBox::NoIcon;
    case Icon::Information: return QMessageBox::Information;
    case Icon::Exclamation: return QMessageBox::Warning;
    case Icon::Stop: return QMessageBox::Critical;
    case Icon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

// The progress window as the core holds it. Deleting it closes the window;
// if its owner went first, Qt has already deleted it.
class OwnedProgress final : public Progress {
public:
    explicit OwnedProgress(ProgressDialog* dialog) : m_dialog(dialog) {}
    ~OwnedProgress() override { delete m_dialog; }
    OwnedProgress(const OwnedProgress&) = delete;
    OwnedProgress& operator=(const OwnedProgress&) = delete;

    void setRange(int lower, int upper) override
    {
        if (m_dialog)
            m_dialog->setRange(lower, upper);
    }
    void setPosition(int position) override
    {
        if (m_dialog)
            m_dialog->setPosition(position);
    }
    void setStep(int step) override
    {
        if (m_dialog)
            m_dialog->setStep(step);
    }
    // A window gone away can no longer be asked: the job stops.
    bool pollCancel() override { return m_dialog ? m_dialog->pollCancel() : true; }
    void keepResponsive() override
    {
        if (m_dialog)
            m_dialog->keepResponsive();
    }

private:
    QPointer<ProgressDialog> m_dialog;
};

QString fromLocal(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

}  // namespace

QString caseInsensitivePattern(const QString& pattern)
{
    QString result;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper())
            result += QLatin1Char('[') + c.toLower() + c.toUpper() + QLatin1Char(']');
        else
            result += c;
    }
    return result;
}

QString nameFilterFor(const FileRequest& request)
{
    // QFileDialog takes the patterns from the last parentheses and, with
    // HideNameFilterDetails, shows only what stands before them.
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(request.filterDescription),
                                         caseInsensitivePattern(QString::fromStdString(request.pattern)));
}

QStringList nameFiltersFor(const FileRequest& request)
{
    QStringList filters{nameFilterFor(request)};
    for (const FileFilter& filter : request.moreFilters)
        filters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.description),
                                                 caseInsensitivePattern(QString::fromStdString(filter.pattern)));
    return filters;
}

Answer QtInteraction::ask(const Message& message)
{
    QMessageBox box(boxIcon(message.icon), QString::fromStdString(message.caption),
                    fromLocal(message.text), QMessageBox::NoButton, m_parent);
    box.setTextFormat(Qt::PlainText);
    if (message.buttons == Buttons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return message.buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::Ok;
    }
}

std::optional<std::string> QtInteraction::chooseFile(const FileRequest& request)
{
    QFileDialog dialog(m_parent, QString::fromStdString(request.title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const bool save = request.mode == FileRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(nameFiltersFor(request));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));

    const QString initial = fromLocal(request.initialName);
    if (!initial.isEmpty()) {
        const QFileInfo info(initial);
        if (initial.contains(QLatin1Char('/')) && info.absoluteDir().exists())
            dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<GridSettings> QtInteraction::editGridRectangle(const GridSettings& initial)
{
    GridDialog dialog(initial, *this, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

std::unique_ptr<Progress> QtInteraction::openProgress(std::string_view caption)
{
    auto* dialog = new ProgressDialog(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    dialog->open(m_parent);
    return std::make_unique<OwnedProgress>(dialog);
}

std::unique_ptr<PageCanvas> QtInteraction::choosePrinter(std::string_view documentName)
{
    return choosePrinterQt(m_parent, documentName);
}

void QtInteraction::runPoleDialog(PoleDialogActions& actions)
{
    PoleDialog dialog(actions, m_parent);
    dialog.exec();
}

}  // namespace tellurim
