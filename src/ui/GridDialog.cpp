#include "ui/GridDialog.h"

#include "platform/Interaction.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <variant>

namespace tellurim {
namespace {

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where each edit stands: latitudes left, longitudes right, in three rows.
struct Place {
    GridField field;
    int row;
    int column;
};
constexpr Place kPlaces[] = {
    {GridField::StartLat, 0, 0}, {GridField::StartLong, 0, 1}, {GridField::EndLat, 1, 0},
    {GridField::EndLong, 1, 1},  {GridField::LatInc, 2, 0},    {GridField::LongInc, 2, 1},
};

}  // namespace

GridDialog::GridDialog(const GridSettings& values, Interaction& interaction, QWidget* parent)
    : QDialog(parent),
      m_values(values),
      m_interaction(interaction),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    setObjectName(QStringLiteral("GridDialog"));
    setWindowTitle(QStringLiteral("Make Grid"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* layout = new QGridLayout(this);
    const GridTexts texts = gridTexts(values);
    for (const Place& place : kPlaces) {
        const GridFieldSpec& spec = gridField(place.field);
        auto* edit = new QLineEdit(qs(texts[static_cast<std::size_t>(place.field)]), this);
        edit->setObjectName(qs(spec.name));
        // Room for the longest text a value can show ("-0.000123457").
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0.000123457")) + 16);
        auto* label = new QLabel(qs(spec.label), this);
        label->setBuddy(edit);
        edit->setAccessibleName(qs(spec.label).trimmed().chopped(1));
        layout->addWidget(label, place.row, place.column * 2, Qt::AlignRight);
        layout->addWidget(edit, place.row, place.column * 2 + 1);
        m_edits[static_cast<std::size_t>(place.field)] = edit;
    }
    m_ok->setObjectName(QStringLiteral("OK"));
    m_cancel->setObjectName(QStringLiteral("Cancel"));
    m_ok->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 4, 3, 1);
    layout->setColumnMinimumWidth(2, 12);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(m_ok, &QPushButton::clicked, this, &GridDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &GridDialog::reject);

    // Keyboard order: OK, Cancel, then the edits by control number.
    setTabOrder(m_ok, m_cancel);
    QWidget* previous = m_cancel;
    for (const GridField field : {GridField::StartLat, GridField::StartLong, GridField::EndLat, GridField::EndLong,
                                  GridField::LatInc, GridField::LongInc}) {
        setTabOrder(previous, edit(field));
        previous = edit(field);
    }
    m_ok->setFocus();
}

void GridDialog::accept()
{
    GridTexts texts;
    for (std::size_t i = 0; i < kGridFieldCount; ++i)
        texts[i] = m_edits[i]->text().toStdString();
    auto read = readGridEntry(texts, m_values);
    if (auto* problem = std::get_if<GridEntryProblem>(&read)) {
        m_interaction.ask(problem->message);
        QLineEdit* bad = edit(problem->field);
        bad->setFocus();
        bad->selectAll();
        return;
    }
    m_values = std::get<GridSettings>(read);
    QDialog::accept();
}

}  // namespace tellurim
