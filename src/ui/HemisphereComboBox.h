#pragma once

#include <QComboBox>

namespace tellurim {

/// A drop-down list that reports when its opened list closes. A pick from
/// the opened list acts then; stepping with the arrow keys on the closed
/// list only changes the selection.
class HemisphereComboBox final : public QComboBox {
    Q_OBJECT
public:
    /// Assistive technology names it by its accessible name.
    explicit HemisphereComboBox(QWidget* parent = nullptr);
    void hidePopup() override;

signals:
    /// Emitted after the list closed and the picked entry is selected.
    void popupClosed();
};

}  // namespace tellurim
