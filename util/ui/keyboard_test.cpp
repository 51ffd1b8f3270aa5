#include "util/ui/keyboard.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>
#include <tuple>

using namespace vx;

namespace {

// A form with one button per label (a null label: a panel holding the buttons after it); presses
// `key` with the shift state and gives the index of the button clicked, -1 for none, and the
// key code left.
std::pair<int, int> press(const QStringList& labels, int key, int shift = 0, int disabled = -1) {
    QWidget form;
    QWidget* parent = &form;
    int clicked = -1;
    for (qsizetype i = 0; i < labels.size(); ++i) {
        if (labels[i].isNull()) {
            parent = new QWidget(&form);
            continue;
        }
        auto* b = new QPushButton(labels[i], parent);
        b->setEnabled(i != disabled);
        QObject::connect(b, &QPushButton::clicked, [&clicked, i] { clicked = int(i); });
    }
    gpFunctionKeyButton(&form, key, shift);
    return {clicked, key};
}

} // namespace

TEST(FunctionKeyButton, PressesTheFirstEnabledMatchingButton) {
    const QStringList form = {"File",      "F1 Help", "F10 Exit", "F10 Second",
                              "F9 &Print", QString(), "F9 Print", "F4\nFind"};
    // key, shift state, the button clicked (-1: none)
    const std::tuple<int, int, int> cases[] = {
        {121, 0, 2},  {112, 0, 1}, {121, 1, -1}, {121, 2, -1},
        {113, 0, -1}, {120, 0, 6}, {115, 0, 7},  {27, 0, -1}, // Esc is no function key
    };
    for (const auto& [key, shift, pressed] : cases) {
        SCOPED_TRACE(std::to_string(key) + " shift " + std::to_string(shift));
        // The disabled "F9 &Print" is skipped for the later F9 inside a panel.
        EXPECT_EQ(press(form, key, shift, 4), std::make_pair(pressed, pressed >= 0 ? 0 : key));
    }
}

TEST(FunctionKeyButton, LabelForms) {
    const std::tuple<const char*, int, bool> cases[] = {
        {"F1O Odd", 112, true},   // the number is the leading digits
        {"F0 Zero", 111, false},  // zero is no key
        {"f1 Help", 112, false},  // a capital F only
        {"F12", 123, true},       // neither blank nor line break: the rest is the number
        {"F 1 Help", 112, false}, // the number ends at the first blank
        {"F2\r\nSave", 113, true},
    };
    for (const auto& [label, key, pressed] : cases)
        EXPECT_EQ(press({label}, key).first, pressed ? 0 : -1) << label;
}

TEST(KeyCodes, QtKeysToSuiteCodes) {
    const std::pair<int, int> cases[] = {
        {Qt::Key_F1, 112},    {Qt::Key_F12, 123},     {Qt::Key_F13, 0},    {Qt::Key_Escape, 27},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},    {Qt::Key_Home, 36},  {Qt::Key_End, 35},
        {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_A, 65},     {Qt::Key_Z, 90},
        {Qt::Key_0, 48},      {Qt::Key_9, 57},        {Qt::Key_Exclam, 0},
    };
    for (const auto& [qtKey, code] : cases) {
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        EXPECT_EQ(vbKeyCode(&event), code) << "Qt key " << qtKey;
    }
    EXPECT_EQ(vbShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(vbShiftState(Qt::ControlModifier | Qt::KeypadModifier), 2);
}
