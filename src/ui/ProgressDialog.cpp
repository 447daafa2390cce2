#include "ui/ProgressDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdint>

namespace tellurim {

ProgressDialog::ProgressDialog(QString caption)
    : m_bar(new QProgressBar(this)),
      m_label(new QLabel(QStringLiteral(" 0 %"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("ProgressDialog"));
    setWindowTitle(caption.isEmpty() ? QStringLiteral("Generating Grid File") : caption);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    // The owner's close box must not end the program under a running job.
    setWindowModality(Qt::ApplicationModal);

    m_label->setObjectName(QStringLiteral("percent"));
    m_label->setAlignment(Qt::AlignCenter);
    // Its text ("21%") is its accessible name, so that assistive technology
    // reads and follows the percentage; what it is goes in the description.
    m_label->setAccessibleDescription(QStringLiteral("Percent done"));
    m_bar->setObjectName(QStringLiteral("bar"));
    m_bar->setTextVisible(false);
    m_bar->setRange(m_lower, m_upper);
    m_bar->setValue(m_lower);
    m_bar->setMinimumWidth(m_bar->fontMetrics().averageCharWidth() * 40);
    m_bar->setAccessibleName(QStringLiteral("Progress"));
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_cancel->setDefault(true);
    m_cancel->setFocus();
    connect(m_cancel, &QPushButton::clicked, this, &ProgressDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

ProgressDialog::~ProgressDialog()
{
    if (isVisible() || m_ownerDisabled)
        close();
}

bool ProgressDialog::open(QWidget* parent)
{
    m_owner = parent != nullptr ? parent->window() : QApplication::activeWindow();
    if (m_owner != nullptr && m_owner != this) {
        setParent(m_owner, windowFlags());
        if (m_owner->isEnabled()) {
            m_owner->setEnabled(false);
            m_ownerDisabled = true;
        }
        // A window's children follow its enabled state; this one must not.
        setEnabled(true);
    }
    show();
    drainMessages();
    return true;
}

bool ProgressDialog::close()
{
    if (m_ownerDisabled && m_owner != nullptr)
        m_owner->setEnabled(true);
    m_ownerDisabled = false;
    hide();
    return true;
}

void ProgressDialog::setRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    m_bar->setRange(lower, upper);
}

void ProgressDialog::setPosition(int position)
{
    drainMessages();
    // The bar shows a position past its range as full (or empty).
    m_bar->setValue(std::clamp(position, m_bar->minimum(), std::max(m_bar->minimum(), m_bar->maximum())));
    showPercent(position);
}

void ProgressDialog::setStep(int step)
{
    m_step = step;
}

bool ProgressDialog::pollCancel()
{
    drainMessages();
    const bool requested = m_cancelRequested;
    m_cancelRequested = false;
    return requested;
}

void ProgressDialog::drainMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

bool ProgressDialog::showPercent(int position)
{
    const QString text = percentText(position, m_lower, m_upper);
    if (m_label->text() == text)
        return false;
    m_label->setText(text);
    return true;
}

QString ProgressDialog::percentText(int position, int lower, int upper)
{
    // Wide arithmetic, so that no position overflows; an empty range has
    // nothing to show but its start.
    int64_t percent = 0;
    if (upper != lower)
        percent = (static_cast<int64_t>(position) - lower) * 100 / (static_cast<int64_t>(upper) - lower);
    if (percent != 100)
        percent %= 100;
    return QString::number(percent) + QLatin1Char('%');
}

void ProgressDialog::closeEvent(QCloseEvent* event)
{
    event->ignore();
    reject();
}

}  // namespace tellurim
