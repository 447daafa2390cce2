#include "ui/MainDialog.h"

#include "workspace/Workspace.h"
#include "ui/AboutDialog.h"
#include "ui/GridNorthPanel.h"
#include "ui/HemisphereComboBox.h"
#include "ui/KeyboardGuard.h"
#include "ui/LineEditWidth.h"
#include "ui/ModelChooser.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tellurim {
namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLabel* label(const QString& text, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setTextFormat(Qt::PlainText);
    return result;
}

}  // namespace

MainDialog::MainDialog(Workspace& workspace, QWidget* parent)
    : QDialog(parent), m_workspace(workspace)
{
    setObjectName(QStringLiteral("MainDialog"));
    setWindowTitle(QStringLiteral("Tellurim: calculation of Earth's magnetic field from Magnetic Models"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setSizeGripEnabled(false);

    buildWidgets();
    buildLayout();

    new KeyboardGuard(*this, [this] { copyResult(); });

    m_workspace.attachView(this);
    m_workspace.show();
}

void MainDialog::copyResult()
{
    QGuiApplication::clipboard()->setText(qs(m_workspace.resultText()));
}

void MainDialog::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("&Copy"), this, &MainDialog::copyResult);
    copy->setShortcut(QKeySequence::Copy);  // shown as the reminder of Ctrl+C
    copy->setToolTip(QStringLiteral("Copies the location, date, model and every result as text"));
    menu.exec(event->globalPos());
}

MainDialog::~MainDialog()
{
    if (m_workspace.view() == this)
        m_workspace.attachView(nullptr);
}

QLineEdit* MainDialog::makeEdit(const FieldSpec& spec)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(qs(spec.name));
    if (spec.editable) {
        edit->setFocusPolicy(Qt::StrongFocus);
        edit->installEventFilter(this);
    } else {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
    }
    connect(edit, &QLineEdit::textChanged, this,
            [this, field = spec.field] { m_workspace.textChanged(field); });
    return edit;
}

QWidget* MainDialog::makeList(const FieldSpec& spec)
{
    auto* box = new HemisphereComboBox(this);
    box->setObjectName(qs(spec.name));
    box->addItems(spec.field == Field::IHEM_NS
                      ? QStringList{QStringLiteral("North"), QStringLiteral("South")}
                      : QStringList{QStringLiteral("West"), QStringLiteral("East")});
    box->setFocusPolicy(Qt::StrongFocus);
    connect(box, &HemisphereComboBox::popupClosed, this,
            [this, field = spec.field] { m_workspace.listClosed(field); });
    return box;
}

void MainDialog::buildWidgets()
{
    for (const FieldSpec& spec : fieldTable()) {
        QWidget* widget = spec.kind == FieldKind::List ? makeList(spec) : makeEdit(spec);
        widget->setToolTip(qs(spec.toolTip));
        widget->setAccessibleName(qs(spec.label));
        widget->setAccessibleDescription(qs(spec.toolTip));
        m_fields[static_cast<std::size_t>(spec.field)] = widget;
    }
    fitFieldWidths();

    m_models = new ModelChooser([this] { return m_workspace.modelChoices(); },
                                [this](const std::string& path) { m_workspace.chooseModel(path); }, this);
    m_models->setObjectName(QStringLiteral("ModelChoice"));
    m_models->setToolTip(QStringLiteral("The shipped models and the model files used before; choosing one "
                                        "loads it."));
    m_models->setAccessibleName(QStringLiteral("Model to use"));
    m_models->setAccessibleDescription(m_models->toolTip());

    for (const ButtonSpec& spec : buttonTable()) {
        auto* button = new QPushButton(qs(spec.text), this);
        button->setObjectName(qs(spec.name));
        button->setToolTip(qs(spec.toolTip));
        button->setAccessibleName(qs(spec.text).remove(QLatin1Char('&')).trimmed());
        button->setAccessibleDescription(qs(spec.toolTip));
        // Buttons take the focus when clicked, so the field being edited is
        // left first; Tab reaches them after the fields, and Enter presses
        // the one that has the focus.
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(true);
        button->setEnabled(false);
        m_buttons[static_cast<std::size_t>(spec.command)] = button;
    }
    button(Command::Recalc)->setDefault(true);
    connectCommands();

    // The fields, then the buttons row by row.
    QWidget* previous = nullptr;
    const auto chain = [&previous](QWidget* next) {
        if (previous != nullptr)
            setTabOrder(previous, next);
        previous = next;
    };
    for (const Field field : tabOrder())
        chain(fieldWidget(field));
    chain(m_models);
    // The grid-north line sits between the results and the buttons.
    m_gridNorth = new GridNorthPanel(m_workspace, this);
    chain(m_gridNorth->systemList());
    chain(m_gridNorth->easting());
    chain(m_gridNorth->northing());
    for (const auto& row : buttonRows())
        for (const Command command : row)
            chain(button(command));
}

std::vector<std::vector<Command>> MainDialog::buttonRows()
{
    // Rows 13 to 15; a row takes more buttons as the program grows.
    return {
        {Command::ShowPoles, Command::NewModel},
        {Command::SaveLocation, Command::GetLocation, Command::PrintLocation, Command::ExportLocation,
         Command::MakeGrid},
        {Command::Recalc, Command::About, Command::Help, Command::Close},
    };
}

void MainDialog::fitFieldWidths()
{
    for (const FieldSpec& spec : fieldTable()) {
        auto* edit = qobject_cast<QLineEdit*>(fieldWidget(spec.field));
        const std::string widest = widestText(spec);
        if (edit != nullptr && !widest.empty())
            edit->setFixedWidth(lineEditWidthFor(*edit, widest));
    }
}

void MainDialog::connectCommands()
{
    setCommand(Command::Recalc, [this] { m_workspace.recalc(focusedField()); });
    setCommand(Command::NewModel, [this] { m_workspace.newModel(); });
    setCommand(Command::Help, [this] { m_workspace.help(); });
    setCommand(Command::About, [this] {
        AboutDialog about(this);
        about.exec();
    });
    setCommand(Command::Close, [this] { reject(); });
    setCommand(Command::SaveLocation, [this] {
        m_workspace.saveLocation(true);
        m_workspace.show();
    });
    setCommand(Command::GetLocation, [this] {
        m_workspace.getLocation();
        m_workspace.show();
    });
    setCommand(Command::PrintLocation, [this] { m_workspace.printLocation(); });
    setCommand(Command::ShowPoles, [this] { m_workspace.showPoles(); });
    setCommand(Command::ExportLocation, [this] { m_workspace.exportLocation(); });
    setCommand(Command::MakeGrid, [this] { m_workspace.makeGrid(); });
}

void MainDialog::buildLayout()
{
    auto* top = new QVBoxLayout(this);
    top->setSizeConstraint(QLayout::SetFixedSize);
    top->addLayout(inputRows());

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    top->addWidget(rule);

    top->addLayout(angleRows());
    top->addLayout(componentRows());

    // Row 12: grid variation.
    auto* polar = new QHBoxLayout;
    polar->addWidget(label(QStringLiteral("Polar Grid Variation:"), this));
    polar->addWidget(fieldWidget(Field::CPOLAR1));
    polar->addWidget(label(QStringLiteral("D"), this));
    polar->addWidget(fieldWidget(Field::CPOLAR2));
    polar->addWidget(label(QStringLiteral("min/yr     (Valid only for Polar Latitudes)"), this));
    polar->addStretch();
    top->addLayout(polar);
    top->addLayout(accuracyRows());
    top->addWidget(m_gridNorth);

    for (const auto& commands : buttonRows()) {
        auto* line = new QHBoxLayout;
        line->addStretch();
        for (const Command command : commands)
            line->addWidget(button(command));
        line->addStretch();
        top->addLayout(line);
    }
}

QLayout* MainDialog::inputRows()
{
    // Rows 1 to 6: the location, its date and the model.
    auto* inputs = new QGridLayout;
    inputs->setHorizontalSpacing(6);
    auto row = [&](int r, const QString& caption, std::initializer_list<QObject*> items) {
        inputs->addWidget(label(caption, this), r, 0);
        auto* line = new QHBoxLayout;
        line->setSpacing(4);
        for (QObject* item : items) {
            if (auto* widget = qobject_cast<QWidget*>(item))
                line->addWidget(widget);
        }
        inputs->addLayout(line, r, 1);
        return line;
    };
    auto f = [this](Field field) -> QObject* { return fieldWidget(field); };
    auto t = [this](const char* text) -> QObject* { return label(QString::fromUtf8(text), this); };

    row(0, QStringLiteral("Location:"), {f(Field::Location)});
    row(1, QStringLiteral("Latitude:"),
        {f(Field::ILATD), t("deg"), f(Field::ILATM), t("min"), f(Field::XLATS), t("sec,  Decimal:"),
         f(Field::DLAT), f(Field::IHEM_NS)})
        ->addStretch();
    row(2, QStringLiteral("Longitude:"),
        {f(Field::ILOND), t("deg"), f(Field::ILONM), t("min"), f(Field::XLONS), t("sec,  Decimal:"),
         f(Field::DLON), f(Field::JHEM_EW)})
        ->addStretch();
    row(3, QStringLiteral("Elevation:"),
        {f(Field::ALTF), t("feet"), f(Field::ALTM), t("m"), t("   Date (m/d/y):"), f(Field::IMONTH),
         t("/"), f(Field::IDAY), t("/"), f(Field::IYR), t("Decimal:"), f(Field::DDATE)})
        ->addStretch();
    row(4, QStringLiteral("Results using model:"), {f(Field::FILENAME), m_models});
    row(5, QStringLiteral("Validity of results:"), {f(Field::CVALIDITY)});
    return inputs;
}

QLayout* MainDialog::angleRows()
{
    // Rows 8 and 9: total field, dip and declination with their changes.
    auto* angles = new QGridLayout;
    const std::tuple<const char*, Field, const char*, Field, const char*, Field, const char*> rows[] = {
        {"Incident Field:", Field::TI, "nT", Field::DIP, "\u00B0", Field::DEC, "\u00B0"},
        {"Variation:", Field::TI2, "nT/yr", Field::DIP2, "min/yr", Field::DEC2, "min/yr"},
    };
    int r = 0;
    for (const auto& [caption, total, totalUnit, dip, dipUnit, dec, decUnit] : rows) {
        angles->addWidget(label(QString::fromUtf8(caption), this), r, 0);
        angles->addWidget(fieldWidget(total), r, 1);
        angles->addWidget(label(QString::fromUtf8(totalUnit), this), r, 2);
        angles->addWidget(label(QStringLiteral("Dip:"), this), r, 3, Qt::AlignRight);
        angles->addWidget(fieldWidget(dip), r, 4);
        angles->addWidget(label(QString::fromUtf8(dipUnit), this), r, 5);
        angles->addWidget(label(QStringLiteral("Dec:"), this), r, 6, Qt::AlignRight);
        angles->addWidget(fieldWidget(dec), r, 7);
        angles->addWidget(label(QString::fromUtf8(decUnit), this), r, 8);
        ++r;
    }
    angles->setColumnMinimumWidth(3, fontMetrics().averageCharWidth() * 6);
    angles->setColumnStretch(9, 1);
    return angles;
}

QLayout* MainDialog::componentRows()
{
    // Rows 10 and 11: the components and their changes.
    auto* components = new QGridLayout;
    const std::pair<const char*, std::array<Field, 4>> rows[] = {
        {"field (nT):", {Field::BX, Field::BY, Field::BZ, Field::BH}},
        {"Variation (nT)/yr:", {Field::BX2, Field::BY2, Field::BZ2, Field::BH2}},
    };
    int r = 0;
    for (const auto& [caption, fields] : rows) {
        components->addWidget(label(QString::fromUtf8(caption), this), r, 0);
        const char* names[] = {"X:", "Y:", "Z:", "H:"};
        for (int i = 0; i < 4; ++i) {
            components->addWidget(label(QString::fromUtf8(names[i]), this), r, 1 + 2 * i, Qt::AlignRight);
            components->addWidget(fieldWidget(fields[static_cast<std::size_t>(i)]), r, 2 + 2 * i);
        }
        ++r;
    }
    components->setColumnStretch(9, 1);
    return components;
}

QLayout* MainDialog::accuracyRows()
{
    // Beside the fields, not among them: how far to trust the values, and
    // whether a compass works here.
    auto* rows = new QGridLayout;
    m_uncertainty = label(QString(), this);
    m_uncertainty->setObjectName(QStringLiteral("Uncertainty"));
    m_uncertainty->setAccessibleName(QStringLiteral("Uncertainty of the results, one standard deviation"));
    m_uncertainty->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_zone = label(QString(), this);
    m_zone->setObjectName(QStringLiteral("CompassZone"));
    m_zone->setAccessibleName(QStringLiteral("Compass zone"));
    m_zone->setToolTip(QStringLiteral("Compass zones by the horizontal intensity H: blackout below 2000 nT "
                                      "(the compass is unreliable), caution from 2000 to 6000 nT (its "
                                      "accuracy may be degraded)."));
    m_zone->setAccessibleDescription(m_zone->toolTip());
    m_zone->setMargin(2);
    rows->addWidget(label(QStringLiteral("Uncertainty (1 sigma):"), this), 0, 0);
    rows->addWidget(m_uncertainty, 0, 1);
    rows->addWidget(label(QStringLiteral("Compass zone:"), this), 1, 0);
    rows->addWidget(m_zone, 1, 1, Qt::AlignLeft);
    rows->setColumnStretch(1, 1);
    return rows;
}

void MainDialog::showGridNorth(const GridNorthTexts& texts)
{
    m_gridNorth->showTexts(texts);
}

void MainDialog::showAccuracy(const AccuracyTexts& texts)
{
    m_models->showCurrent(m_workspace.currentModelChoice());
    m_uncertainty->setText(qs(texts.uncertainty));
    m_uncertainty->setToolTip(qs(texts.uncertaintyDetail));
    m_uncertainty->setAccessibleDescription(qs(texts.uncertaintyDetail));
    m_zone->setText(qs(texts.zoneText));
    // The words carry the warning; colour and weight only make it stand out.
    switch (texts.zone) {
    case CompassZone::Caution:
        m_zone->setStyleSheet(QStringLiteral("QLabel { background: #ffd24d; color: black; font-weight: bold; "
                                             "border: 2px solid #8a6d00; }"));
        break;
    case CompassZone::Blackout:
        m_zone->setStyleSheet(QStringLiteral("QLabel { background: #b00020; color: white; font-weight: bold; "
                                             "border: 2px solid black; }"));
        break;
    case CompassZone::None:
    case CompassZone::Unknown:
        m_zone->setStyleSheet(QString());
        break;
    }
}

QWidget* MainDialog::fieldWidget(Field field) const
{
    return m_fields[static_cast<std::size_t>(field)];
}

QPushButton* MainDialog::button(Command command) const
{
    return m_buttons[static_cast<std::size_t>(command)];
}

void MainDialog::setCommand(Command command, std::function<void()> action)
{
    QPushButton* target = button(command);
    connect(target, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    target->setEnabled(true);
}

std::optional<Field> MainDialog::fieldOf(const QObject* object) const
{
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        if (m_fields[i] == object)
            return static_cast<Field>(i);
    return std::nullopt;
}

std::optional<Field> MainDialog::focusedField() const
{
    return fieldOf(focusWidget());
}

std::string MainDialog::text(Field field) const
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(fieldWidget(field)))
        return edit->text().toStdString();
    return {};
}

void MainDialog::setText(Field field, const std::string& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(fieldWidget(field))) {
        edit->setText(QString::fromStdString(text));
        // Show the start of a text too long for its field (a model path).
        edit->setCursorPosition(0);
    }
}

int MainDialog::selectedIndex(Field field) const
{
    if (const auto* box = qobject_cast<const QComboBox*>(fieldWidget(field)))
        return box->currentIndex();
    return -1;
}

void MainDialog::setSelectedIndex(Field field, int index)
{
    if (auto* box = qobject_cast<QComboBox*>(fieldWidget(field)))
        box->setCurrentIndex(index);
}

void MainDialog::focusAndSelect(Field field)
{
    QWidget* widget = fieldWidget(field);
    widget->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->selectAll();
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // A context menu, or the window losing activation, leaves the focus
        // where it was; only a real move of the focus leaves the field.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (const std::optional<Field> field = fieldOf(watched)) {
                // The control finishes its own focus-out handling first, so
                // that it cannot undo a selection the leave action makes.
                watched->event(event);
                m_workspace.leaveField(*field);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void MainDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitFieldWidths();
}

void MainDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    if (m_firstPaintHook) {
        auto hook = std::move(m_firstPaintHook);
        m_firstPaintHook = nullptr;
        QTimer::singleShot(0, this, hook);
    }
}

}  // namespace tellurim
