#pragma once
// The suite's function-key buttons: a window sees a key press before its controls and presses
// the button whose label starts with that key ("F10 Accept", "F1 Help").

#include <Qt>

class QKeyEvent;
class QWidget;

namespace vx {

// Key codes of the suite's key handlers.
inline constexpr int kKeyF1 = 112; // F2 = 113 ... F12 = 123
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyReturn = 13;

// The suite's key code of a key press: F1..F12 112..123, Esc 27, Enter 13, Tab 9, Backspace 8,
// blank 32, PageUp 33, PageDown 34, End 35, Home 36, arrows 37..40 (left, up, right, down),
// Insert 45, Delete 46, digits 48..57, letters 65..90 (either case); 0 for any other key.
int vbKeyCode(const QKeyEvent* event);
int vbKeyCode(int qtKey);
// The shift state of a key press: 1 Shift, 2 Ctrl, 4 Alt, added together.
int vbShiftState(Qt::KeyboardModifiers modifiers);

// With no shift key held: the first enabled push button of `form` (in creation order) whose label
// is "F" followed by the number n (up to the first blank, or the first line break when there is
// no blank) with n + 111 == keyCode is clicked and keyCode becomes 0. Otherwise nothing changes.
void gpFunctionKeyButton(QWidget* form, int& keyCode, int shift);

} // namespace vx
