#include "ui/ModelChooser.h"

#include "ui/NamedComboAccessible.h"

#include <QFile>

namespace tellurim {
namespace {

QString local(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

}  // namespace

ModelChooser::ModelChooser(Gather gather, Choose choose, QWidget* parent)
    : QComboBox(parent), m_gather(std::move(gather)), m_choose(std::move(choose))
{
    nameDropDownListsByTheirAccessibleName();
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(26);
    setPlaceholderText(QStringLiteral("Choose a model"));
    // Only a pick in the opened list loads a model; stepping through the
    // closed list with the arrow keys would load one file after another.
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QString path = itemData(index).toString();
        if (!m_open) {
            fill({});  // back to the model in use
            return;
        }
        m_open = false;
        if (!path.isEmpty())
            m_choose(QFile::encodeName(path).toStdString());
    });
}

void ModelChooser::fill(const std::vector<ModelChoice>& choices)
{
    const QSignalBlocker quiet(this);
    clear();
    int currentIndex = -1;
    for (const ModelChoice& choice : choices) {
        addItem(local(choice.label), local(choice.path));
        setItemData(count() - 1, local(choice.path), Qt::ToolTipRole);
        if (m_current && choice.path == m_current->path)
            currentIndex = count() - 1;
    }
    if (currentIndex < 0 && m_current) {
        insertItem(0, local(m_current->label), local(m_current->path));
        setItemData(0, local(m_current->path), Qt::ToolTipRole);
        currentIndex = 0;
    }
    setCurrentIndex(currentIndex);
}

void ModelChooser::showCurrent(const std::optional<ModelChoice>& current)
{
    const auto same = [](const std::optional<ModelChoice>& a, const std::optional<ModelChoice>& b) {
        return a.has_value() == b.has_value() && (!a || (a->path == b->path && a->label == b->label));
    };
    if (same(current, m_current) && count() > 0)
        return;
    m_current = current;
    fill({});
}

void ModelChooser::showPopup()
{
    fill(m_gather());
    m_open = true;
    QComboBox::showPopup();
}

void ModelChooser::hidePopup()
{
    QComboBox::hidePopup();
    // A pick is reported right after the list hides; a list closed without
    // one is done with once the events of the closing are handled.
    QMetaObject::invokeMethod(this, [this] {
        if (m_open) {
            m_open = false;
            fill({});
        }
    }, Qt::QueuedConnection);
}

}  // namespace tellurim
