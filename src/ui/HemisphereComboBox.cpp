#include "ui/HemisphereComboBox.h"

#include "ui/NamedComboAccessible.h"

namespace tellurim {

HemisphereComboBox::HemisphereComboBox(QWidget* parent) : QComboBox(parent)
{
    nameDropDownListsByTheirAccessibleName();
}

void HemisphereComboBox::hidePopup()
{
    QComboBox::hidePopup();
    // The combo box selects the picked entry only after hiding its list, so
    // report the closing once that has happened.
    QMetaObject::invokeMethod(this, &HemisphereComboBox::popupClosed, Qt::QueuedConnection);
}

}  // namespace tellurim
