#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

namespace tellurim {

/// Keys the main window handles for every control of the program, as an
/// event filter on the application:
/// - an Alt chord never edits a text field (Alt and a letter that is no
///   mnemonic would otherwise type the letter);
/// - Ctrl+C in the window, with no text selected, runs the window's copy
///   action (the whole result), where a field would copy nothing.
/// Ends with the window it belongs to.
class KeyboardGuard final : public QObject {
    Q_OBJECT
public:
    KeyboardGuard(QWidget& window, std::function<void()> copyAll);
    ~KeyboardGuard() override;

    /// Whether the key press would type its text into an editable field
    /// while Alt is held.
    static bool isAltTyping(const QObject* target, const QKeyEvent& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool copiesAll(QObject* target, const QKeyEvent& key) const;

    QWidget& m_window;
    std::function<void()> m_copyAll;
};

}  // namespace tellurim
