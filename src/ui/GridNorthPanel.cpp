#include "ui/GridNorthPanel.h"

#include "workspace/Workspace.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

namespace tellurim {
namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QLabel* plainLabel(const QString& text, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setTextFormat(Qt::PlainText);
    return result;
}

constexpr const char* kSystemTip =
    "The map grid of grid north: each point's own UTM zone (UPS north of 84\u00b0N and south of 80\u00b0S), a "
    "system used before, or any EPSG code (27700 or EPSG:27700) or PROJ definition typed here and Enter.";
constexpr const char* kEastingTip =
    "Easting of the point on the grid, in the grid's unit (metres for UTM). Editing it moves the point "
    "and recalculates.";
constexpr const char* kNorthingTip =
    "Northing of the point on the grid, in the grid's unit (metres for UTM). Editing it moves the point "
    "and recalculates.";
constexpr const char* kConvergenceTip =
    "Meridian convergence in degrees: the angle from true north to grid north, positive when grid north "
    "lies east of (clockwise from) true north.";
constexpr const char* kGridDeclinationTip =
    "Grid declination (grid magnetic angle) in degrees: the angle from grid north to magnetic north, "
    "positive when magnetic north lies east of (clockwise from) grid north. It is the declination less the "
    "convergence; its annual change is the declination's.";

}  // namespace

GridNorthPanel::GridNorthPanel(Workspace& workspace, QWidget* parent)
    : QWidget(parent), m_workspace(workspace)
{
    m_system = new QComboBox(this);
    m_system->setObjectName(QStringLiteral("GridSystem"));
    m_system->setEditable(true);
    m_system->setInsertPolicy(QComboBox::NoInsert);
    m_system->setMinimumContentsLength(22);
    m_system->setAccessibleName(QStringLiteral("Grid reference system"));
    m_system->setToolTip(QString::fromUtf8(kSystemTip));
    m_system->setAccessibleDescription(m_system->toolTip());
    m_systemName = plainLabel(QString(), this);
    m_systemName->setObjectName(QStringLiteral("GridSystemName"));
    m_easting = makeEdit("GridEasting", "Grid easting", kEastingTip, false);
    m_northing = makeEdit("GridNorthing", "Grid northing", kNorthingTip, false);
    m_convergence = makeEdit("GridConvergence", "Grid convergence, degrees", kConvergenceTip, true);
    m_gridDeclination = makeEdit("GridDeclination", "Grid declination, degrees", kGridDeclinationTip, true);
    m_note = plainLabel(QString(), this);
    m_note->setObjectName(QStringLiteral("GridNote"));
    m_note->setAccessibleName(QStringLiteral("Grid north note"));
    m_note->setWordWrap(true);

    auto* rows = new QGridLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(plainLabel(QStringLiteral("Grid north on:"), this), 0, 0);
    rows->addWidget(m_system, 0, 1, 1, 3);
    rows->addWidget(m_systemName, 0, 4, 1, 8);
    struct Cell {
        const char* label;
        QWidget* widget;
        const char* unit;
    };
    const Cell cells[] = {{"Easting:", m_easting, ""},
                          {"Northing:", m_northing, ""},
                          {"Convergence:", m_convergence, "\u00b0"},
                          {"Grid declination:", m_gridDeclination, "\u00b0"}};
    int column = 0;
    for (const Cell& cell : cells) {
        rows->addWidget(plainLabel(QString::fromUtf8(cell.label), this), 1, column++);
        rows->addWidget(cell.widget, 1, column++);
        rows->addWidget(plainLabel(QString::fromUtf8(cell.unit), this), 1, column++);
    }
    rows->addWidget(m_note, 2, 0, 1, column);
    rows->setColumnStretch(column - 1, 1);

    connect(m_system, &QComboBox::activated, this,
            [this](int index) { m_workspace.chooseGridSystem(m_system->itemText(index).toStdString()); });
    connect(m_system->lineEdit(), &QLineEdit::returnPressed, this, &GridNorthPanel::chooseTyped);
    connect(m_system->lineEdit(), &QLineEdit::editingFinished, this, &GridNorthPanel::chooseTyped);
    for (QLineEdit* edit : {m_easting, m_northing}) {
        connect(edit, &QLineEdit::editingFinished, this, &GridNorthPanel::enterPosition);
    }
}

QLineEdit* GridNorthPanel::makeEdit(const char* name, const char* accessibleName, const char* toolTip,
                                    bool readOnly)
{
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setAccessibleName(QString::fromUtf8(accessibleName));
    edit->setToolTip(QString::fromUtf8(toolTip));
    edit->setAccessibleDescription(edit->toolTip());
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000000.000")) + 12);
    if (readOnly) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::ClickFocus);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-000.0000")) + 12);
    }
    return edit;
}

// Enter in the list's text, or leaving it: a system typed that is not the
// one shown is taken (or refused with a message).
void GridNorthPanel::chooseTyped()
{
    const QString typed = m_system->currentText().trimmed();
    if (typed.isEmpty() || typed == m_system->itemText(m_system->currentIndex())) {
        return;
    }
    m_workspace.chooseGridSystem(typed.toStdString());
}

void GridNorthPanel::enterPosition()
{
    m_workspace.enterGridPosition(m_easting->text().trimmed().toStdString(),
                                  m_northing->text().trimmed().toStdString());
}

void GridNorthPanel::showTexts(const GridNorthTexts& texts)
{
    {
        const QSignalBlocker blocker(m_system);
        QStringList items;
        for (const std::string& system : texts.systems) {
            items.push_back(qs(system));
        }
        QStringList present;
        for (int i = 0; i < m_system->count(); ++i) {
            present.push_back(m_system->itemText(i));
        }
        if (present != items) {
            m_system->clear();
            m_system->addItems(items);
        }
        m_system->setCurrentIndex(texts.selected);
        m_system->setEditText(m_system->itemText(texts.selected));
    }
    m_systemName->setText(qs(texts.systemName));
    const std::pair<QLineEdit*, const std::string*> edits[] = {{m_easting, &texts.easting},
                                                                {m_northing, &texts.northing},
                                                                {m_convergence, &texts.convergence},
                                                                {m_gridDeclination, &texts.gridDeclination}};
    for (const auto& [edit, text] : edits) {
        if (edit->text() != qs(*text)) {
            edit->setText(qs(*text));
        }
    }
    m_note->setText(qs(texts.note));
}

}  // namespace tellurim
