#include "util/ui/keyboard.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

namespace vx {

namespace {

// The function-key number of a button label, 0 when the label names none. The number is read
// like a numeric prefix: its leading digits count ("F1O" is 1), no digits give 0.
int functionKeyNumber(const QString& label) {
    if (!label.startsWith(u'F'))
        return 0;
    qsizetype end = label.indexOf(u' ');
    if (end < 0) {
        end = label.indexOf(u'\r');
        if (end < 0)
            end = label.indexOf(u'\n'); // Qt labels break their lines with a line feed
    }
    const QString part = label.mid(1, end < 0 ? -1 : end - 1);
    int n = 0;
    for (const QChar c : part) {
        if (c < u'0' || c > u'9')
            break;
        n = n * 10 + (c.unicode() - u'0');
        if (n > 1000) // no such key
            return 0;
    }
    return n;
}

} // namespace

int vbKeyCode(int key) {
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12)
        return kKeyF1 + (key - Qt::Key_F1);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 65 + (key - Qt::Key_A);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 48 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyReturn;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return 0;
    }
}

int vbKeyCode(const QKeyEvent* event) {
    return event ? vbKeyCode(event->key()) : 0;
}

int vbShiftState(Qt::KeyboardModifiers modifiers) {
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) +
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) +
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}

void gpFunctionKeyButton(QWidget* form, int& keyCode, int shift) {
    if (!form || shift != 0)
        return;
    for (QPushButton* button : form->findChildren<QPushButton*>()) {
        const int n = functionKeyNumber(button->text());
        if (n != 0 && n + 111 == keyCode && button->isEnabled()) {
            keyCode = 0;
            button->click();
            return;
        }
    }
}

} // namespace vx
