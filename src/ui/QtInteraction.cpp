#include "ui/QtInteraction.h"

#include "ui/GridDialog.h"
#include "ui/ProgressDialog.h"
#include "ui/QtPrinterCanvas.h"
#include "ui/PoleDialog.h"
#include "ui/SafeFileDialog.h"

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

// A box wraps its text only between words, so one long file name would make
// it wider than the screen. Words longer than kLongWord characters get
// zero-width break opportunities after each '/' and after every kLongWord
// characters without one; the text reads the same.
QString withBreakOpportunities(const QString& text)
{
    constexpr qsizetype kLongWord = 40;
    constexpr QChar kZeroWidthSpace(0x200B);
    QString out;
    out.reserve(text.size() + text.size() / kLongWord + 1);
    qsizetype wordStart = 0;
    while (wordStart < text.size()) {
        qsizetype wordEnd = wordStart;
        while (wordEnd < text.size() && !text.at(wordEnd).isSpace())
            ++wordEnd;
        const bool longWord = wordEnd - wordStart > kLongWord;
        qsizetype sinceBreak = 0;
        for (qsizetype i = wordStart; i < wordEnd; ++i) {
            const QChar c = text.at(i);
            out += c;
            ++sinceBreak;
            const bool atEnd = i + 1 == wordEnd;
            if (longWord && !atEnd && !c.isHighSurrogate() && !text.at(i + 1).isMark() &&
                (c == QLatin1Char('/') || sinceBreak >= kLongWord)) {
                out += kZeroWidthSpace;
                sinceBreak = 0;
            }
        }
        for (wordStart = wordEnd; wordStart < text.size() && text.at(wordStart).isSpace(); ++wordStart)
            out += text.at(wordStart);
    }
    return out;
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
    const bool withCancel =
        message.buttons == Buttons::YesNoCancel || message.buttons == Buttons::YesNoCancelDefaultNo;
    if (m_sessionEnded)
        return withCancel ? Answer::Cancel : Answer::Ok;
    QMessageBox box(boxIcon(message.icon), QString::fromStdString(message.caption),
                    withBreakOpportunities(fromLocal(message.text)), QMessageBox::NoButton, m_parent);
    box.setTextFormat(Qt::PlainText);
    if (withCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(message.buttons == Buttons::YesNoCancel ? QMessageBox::Yes : QMessageBox::No);
        box.setEscapeButton(QMessageBox::Cancel);
    } else if (message.buttons == Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default:
        if (withCancel)
            return Answer::Cancel;
        return message.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

std::optional<std::string> QtInteraction::chooseFile(const FileRequest& request)
{
    if (m_sessionEnded)
        return std::nullopt;
    SafeFileDialog dialog(m_parent, QString::fromStdString(request.title));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::ReadOnly, false);
    const bool save = request.mode == FileRequest::Mode::Save;
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save && !request.confirmOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(nameFiltersFor(request));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (save) {
        // A name typed without an extension takes the chosen filter's.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& filter) {
            const qsizetype index = dialog.nameFilters().indexOf(filter);
            std::string extension = request.defaultExtension;
            if (index > 0 && static_cast<std::size_t>(index) <= request.moreFilters.size()) {
                const std::string& pattern = request.moreFilters[static_cast<std::size_t>(index - 1)].pattern;
                extension = pattern.substr(pattern.find('.') + 1, pattern.find(' ') - pattern.find('.') - 1);
            }
            dialog.setDefaultSuffix(QString::fromStdString(extension));
        });
    }

    dialog.startAt(fromLocal(request.initialName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<GridSettings> QtInteraction::editGridRectangle(const GridSettings& initial)
{
    if (m_sessionEnded)
        return std::nullopt;
    GridDialog dialog(initial, *this, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.values();
}

std::unique_ptr<Progress> QtInteraction::openProgress(std::string_view caption)
{
    auto* dialog = new ProgressDialog(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    dialog->open(m_parent);
    m_progress = dialog;
    if (m_sessionEnded)
        dialog->reject();
    return std::make_unique<OwnedProgress>(dialog);
}

std::unique_ptr<PageCanvas> QtInteraction::choosePrinter(std::string_view documentName)
{
    if (m_sessionEnded)
        return nullptr;
    return choosePrinterQt(m_parent, documentName);
}

void QtInteraction::endSession()
{
    m_sessionEnded = true;
    // The cancel is seen before the next grid row starts.
    if (m_progress)
        m_progress->reject();
}

void QtInteraction::runPoleDialog(PoleDialogActions& actions)
{
    if (m_sessionEnded)
        return;
    PoleDialog dialog(actions, m_parent);
    dialog.exec();
}

}  // namespace tellurim
