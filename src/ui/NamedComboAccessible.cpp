#include "ui/NamedComboAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>

namespace tellurim {
namespace {

class NamedComboAccessible final : public QAccessibleWidget {
public:
    explicit NamedComboAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return box()->accessibleName().isEmpty() ? box()->currentText() : box()->accessibleName();
        case QAccessible::Value:
            return box()->currentText();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* namedComboFactory(const QString& className, QObject* object)
{
    auto* box = qobject_cast<QComboBox*>(object);
    if (box == nullptr || !className.startsWith(QLatin1String("tellurim::")) ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    return new NamedComboAccessible(box);
}

}  // namespace

void nameDropDownListsByTheirAccessibleName()
{
    static const bool installed = [] {
        QAccessible::installFactory(namedComboFactory);
        return true;
    }();
    (void)installed;
}

}  // namespace tellurim
