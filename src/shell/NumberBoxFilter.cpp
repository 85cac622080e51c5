#include "NumberBoxFilter.h"

#include <QKeyEvent>

namespace vexilo {

namespace {

bool isNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
        return true;
    default:
        return false;
    }
}

// The character code the key types (Ctrl+letter as its control code); -1 for none.
int typedCode(const QKeyEvent &event)
{
    const int key = event.key();
    if (event.modifiers().testFlag(Qt::ControlModifier) && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1; // Ctrl+A is 1, Ctrl+V is 22
    if (key == Qt::Key_Backspace)
        return 8;
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return 13;
    if (key == Qt::Key_Escape)
        return 27;
    const QString text = event.text();
    if (text.isEmpty())
        return -1;
    return text.front().unicode();
}

} // namespace

bool NumberBoxFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto &keyEvent = static_cast<const QKeyEvent &>(*event);
    if (isNavigationKey(keyEvent.key()))
        return false;
    const int code = typedCode(keyEvent);
    if (code < 0)
        return false;
    return !passesCharacter(code);
}

} // namespace vexilo
