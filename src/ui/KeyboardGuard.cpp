#include "ui/KeyboardGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace tellurim {
namespace {

bool editableText(const QObject* target)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(target))
        return !edit->isReadOnly();
    if (const auto* edit = qobject_cast<const QTextEdit*>(target))
        return !edit->isReadOnly();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(target))
        return !edit->isReadOnly();
    return qobject_cast<const QAbstractSpinBox*>(target) != nullptr;
}

bool hasSelectedText(const QObject* target)
{
    if (const auto* edit = qobject_cast<const QLineEdit*>(target))
        return edit->hasSelectedText();
    if (const auto* label = qobject_cast<const QLabel*>(target))
        return label->hasSelectedText();
    if (const auto* edit = qobject_cast<const QTextEdit*>(target))
        return edit->textCursor().hasSelection();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(target))
        return edit->textCursor().hasSelection();
    return false;
}

}  // namespace

KeyboardGuard::KeyboardGuard(QWidget& window, std::function<void()> copyAll)
    : QObject(&window), m_window(window), m_copyAll(std::move(copyAll))
{
    qApp->installEventFilter(this);
}

KeyboardGuard::~KeyboardGuard()
{
    qApp->removeEventFilter(this);
}

bool KeyboardGuard::isAltTyping(const QObject* target, const QKeyEvent& key)
{
    // AltGr, which types characters on many layouts, is not Alt here.
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    if (!(modifiers & Qt::AltModifier) || (modifiers & Qt::ControlModifier) || !editableText(target))
        return false;
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint();
}

bool KeyboardGuard::copiesAll(QObject* target, const QKeyEvent& key) const
{
    const auto* widget = qobject_cast<const QWidget*>(target);
    return key.matches(QKeySequence::Copy) && widget != nullptr && widget->window() == &m_window &&
           !hasSelectedText(target);
}

bool KeyboardGuard::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const auto& key = *static_cast<QKeyEvent*>(event);
    if (type == QEvent::KeyPress && isAltTyping(watched, key))
        return true;  // a mnemonic, if any, has already been given its chance
    if (type == QEvent::KeyPress && copiesAll(watched, key)) {
        m_copyAll();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tellurim
