#include "ui/PoleDialog.h"

#include "ui/LineEditWidth.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tellurim {

namespace {

struct EditSpec {
    PoleField field;
    const char* name;
    const char* accessible;
};

// Each pole row: degrees, minutes, seconds, decimal.
constexpr EditSpec kRows[4][4] = {
    {{PoleField::northDegreesLatitude, "northDegreesLatitude", "North pole latitude degrees"},
     {PoleField::northMinutesLatitude, "northMinutesLatitude", "North pole latitude minutes"},
     {PoleField::northSecondsLatitude, "northSecondsLatitude", "North pole latitude seconds"},
     {PoleField::northDecimalLatitude, "northDecimalLatitude", "North pole latitude decimal"}},
    {{PoleField::northDegreesLongitude, "northDegreesLongitude", "North pole longitude degrees"},
     {PoleField::northMinutesLongitude, "northMinutesLongitude", "North pole longitude minutes"},
     {PoleField::northSecondsLongitude, "northSecondsLongitude", "North pole longitude seconds"},
     {PoleField::northDecimalLongitude, "northDecimalLongitude", "North pole longitude decimal"}},
    {{PoleField::southDegreesLatitude, "southDegreesLatitude", "South pole latitude degrees"},
     {PoleField::southMinutesLatitude, "southMinutesLatitude", "South pole latitude minutes"},
     {PoleField::southSecondsLatitude, "southSecondsLatitude", "South pole latitude seconds"},
     {PoleField::southDecimalLatitude, "southDecimalLatitude", "South pole latitude decimal"}},
    {{PoleField::southDegreesLongitude, "southDegreesLongitude", "South pole longitude degrees"},
     {PoleField::southMinutesLongitude, "southMinutesLongitude", "South pole longitude minutes"},
     {PoleField::southSecondsLongitude, "southSecondsLongitude", "South pole longitude seconds"},
     {PoleField::southDecimalLongitude, "southDecimalLongitude", "South pole longitude decimal"}},
};

}  // namespace

PoleDialog::PoleDialog(PoleDialogActions& actions, QWidget* parent)
    : QDialog(parent), m_actions(actions)
{
    setWindowTitle(QStringLiteral("Tellurim Pole Position"));
    buildLayout();
    m_actions.attach(this);
}

PoleDialog::~PoleDialog()
{
    m_actions.attach(nullptr);
}

QLineEdit* PoleDialog::makeEdit(PoleField field, const char* name, const QString& accessible, const char* widest)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessible);
    edit->setReadOnly(!isPoleDateField(field));
    // As wide as the widest value the field shows, '0' standing for any
    // digit ("-179.999", "2000.17"), as the main window sizes its fields.
    edit->setFixedWidth(lineEditWidthFor(*edit, widest));
    if (isPoleDateField(field))
        edit->installEventFilter(this);
    m_edits[static_cast<std::size_t>(field)] = edit;
    return edit;
}

void PoleDialog::buildLayout()
{
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Location of poles for "), this));
    top->addWidget(new QLabel(QStringLiteral("Date (m/d/y):"), this));
    top->addWidget(makeEdit(PoleField::month, "month", QStringLiteral("Month"), "00"));
    top->addWidget(new QLabel(QStringLiteral("/"), this));
    top->addWidget(makeEdit(PoleField::day, "day", QStringLiteral("Day"), "00"));
    top->addWidget(new QLabel(QStringLiteral("/"), this));
    top->addWidget(makeEdit(PoleField::year, "year", QStringLiteral("Year"), "0000"));
    top->addWidget(new QLabel(QStringLiteral("Decimal:"), this));
    top->addWidget(makeEdit(PoleField::decimalDate, "decimalDate", QStringLiteral("Decimal date"), "0000.00"));
    top->addStretch();

    auto* grid = new QGridLayout;
    const char* names[4] = {"Latitude:", "Longitude:", "Latitude:", "Longitude:"};
    const char* units[3] = {"deg", "min", "sec,  Decimal:"};
    // Degrees, minutes, seconds and decimal degrees at six significant digits.
    const char* widest[4] = {"-000", "-00", "-00.0000", "-000.000"};
    for (int row = 0; row < 4; ++row) {
        const int at = row + (row >= 2 ? 1 : 0);  // a gap between the poles
        grid->addWidget(new QLabel(QString::fromLatin1(names[row]), this), at, 0);
        for (int part = 0; part < 4; ++part) {
            const EditSpec& spec = kRows[row][part];
            grid->addWidget(makeEdit(spec.field, spec.name, QString::fromLatin1(spec.accessible), widest[part]),
                            at, 1 + 2 * part);
            if (part < 3)
                grid->addWidget(new QLabel(QString::fromLatin1(units[part]), this), at, 2 + 2 * part);
        }
        if (row % 2 == 0)
            grid->addWidget(new QLabel(row == 0 ? QStringLiteral("(North Pole)")
                                                : QStringLiteral("(South Pole)"), this), at, 8);
    }
    grid->setRowMinimumHeight(2, 8);

    auto* exportButton = new QPushButton(QStringLiteral("&Export"), this);
    auto* printButton = new QPushButton(QStringLiteral("&Print"), this);
    auto* okButton = new QPushButton(QStringLiteral("OK"), this);
    exportButton->setObjectName(QStringLiteral("Export"));
    printButton->setObjectName(QStringLiteral("Print"));
    okButton->setObjectName(QStringLiteral("OK"));
    exportButton->setAutoDefault(false);
    printButton->setAutoDefault(false);
    okButton->setDefault(true);
    connect(exportButton, &QPushButton::clicked, this, [this] { m_actions.exportRow(); });
    connect(printButton, &QPushButton::clicked, this, [this] { m_actions.print(); });
    connect(okButton, &QPushButton::clicked, this, &PoleDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exportButton);
    buttons->addWidget(printButton);
    buttons->addWidget(okButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

std::string PoleDialog::text(PoleField field) const
{
    return edit(field)->text().toStdString();
}

void PoleDialog::setText(PoleField field, const std::string& text)
{
    edit(field)->setText(QString::fromStdString(text));
}

void PoleDialog::focusAndSelect(PoleField field)
{
    edit(field)->setFocus(Qt::OtherFocusReason);
    edit(field)->selectAll();
}

void PoleDialog::accept()
{
    if (m_actions.accept())
        QDialog::accept();
}

void PoleDialog::dateTextsTaken()
{
    for (const PoleField field : {PoleField::month, PoleField::day, PoleField::year})
        edit(field)->setModified(false);
}

bool PoleDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        // Enter after typing a date shows its poles first; Enter again closes.
        const int key = static_cast<QKeyEvent*>(event)->key();
        const auto changed = [this] {
            return edit(PoleField::month)->isModified() || edit(PoleField::day)->isModified() ||
                   edit(PoleField::year)->isModified();
        };
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && changed()) {
            for (const PoleField field : {PoleField::month, PoleField::day, PoleField::year}) {
                if (watched == edit(field)) {
                    dateTextsTaken();
                    m_actions.dateFieldLeft(field);
                    return true;
                }
            }
        }
    }
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Only a real move of the focus leaves the field, not a box opening.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            for (const PoleField field : {PoleField::month, PoleField::day, PoleField::year}) {
                if (watched == edit(field)) {
                    watched->event(event);
                    dateTextsTaken();
                    m_actions.dateFieldLeft(field);
                    return true;
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tellurim
