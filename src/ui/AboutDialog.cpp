#include "ui/AboutDialog.h"
#include "ui/ApplicationIcon.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>

namespace tellurim {
namespace {

QString platformName()
{
    const QString kernel = QSysInfo::kernelType();
    if (kernel == QLatin1String("linux"))
        return QStringLiteral("Linux");
    if (kernel == QLatin1String("darwin"))
        return QStringLiteral("macOS");
    if (kernel == QLatin1String("winnt"))
        return QStringLiteral("Windows");
    if (kernel == QLatin1String("freebsd"))
        return QStringLiteral("FreeBSD");
    return kernel.isEmpty() ? QStringLiteral("this system") : kernel;
}

}  // namespace

const char* AboutDialog::version()
{
    return TELLURIM_VERSION;
}

QString AboutDialog::versionLine()
{
    return QStringLiteral("Tellurim for %1 Version %2").arg(platformName(), QString::fromLatin1(version()));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Tellurim"));
    setObjectName(QStringLiteral("AboutDialog"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("AboutIcon"));
    icon->setPixmap(applicationIcon().pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    auto* product = new QLabel(this);
    product->setObjectName(QStringLiteral("AboutProduct"));
    product->setTextFormat(Qt::PlainText);
    product->setWordWrap(true);
    product->setText(versionLine() + QStringLiteral(
        "\n\nComputes the Earth's main magnetic field, its annual change and the positions of the "
        "magnetic dip poles from spherical-harmonic model coefficient files such as the World "
        "Magnetic Model."));
    product->setMinimumWidth(product->fontMetrics().averageCharWidth() * 55);

    auto* notice = new QLabel(this);
    notice->setObjectName(QStringLiteral("AboutNotice"));
    notice->setTextFormat(Qt::PlainText);
    notice->setAlignment(Qt::AlignCenter);
    notice->setText(QStringLiteral("Copyright \u00A9 2026 the Tellurim developers.\n"
                                   "Provided as is, without warranty of any kind."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1);
    layout->addWidget(product, 0, 1);
    layout->addWidget(notice, 1, 1);
    layout->addWidget(buttons, 2, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace tellurim
