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
    // The disabled "F9 &Print" is skipped for the later F9 inside a panel.
    const QStringList form = {"File",      "F1 Help", "F10 Exit", "F10 Second",
                              "F9 &Print", QString(), "F9 Print", "F4\nFind"};
    // the form's labels, key, shift state, the button clicked (-1: none)
    const std::tuple<QStringList, int, int, int> cases[] = {
        {form, 121, 0, 2},          {form, 112, 0, 1},  {form, 121, 1, -1},
        {form, 121, 2, -1},         {form, 113, 0, -1}, {form, 120, 0, 6},
        {form, 115, 0, 7},          {form, 27, 0, -1}, // Esc is no function key
        {{"F1O Odd"}, 112, 0, 0},                      // the number is the leading digits
        {{"F0 Zero"}, 111, 0, -1},                     // zero is no key
        {{"f1 Help"}, 112, 0, -1},                     // a capital F only
        {{"F12"}, 123, 0, 0},       // neither blank nor line break: the rest is the number
        {{"F 1 Help"}, 112, 0, -1}, // the number ends at the first blank
        {{"F2\r\nSave"}, 113, 0, 0}};
    for (const auto& [labels, key, shift, pressed] : cases) {
        SCOPED_TRACE(labels.join(u'|').toStdString() + " " + std::to_string(key) + " shift " +
                     std::to_string(shift));
        EXPECT_EQ(press(labels, key, shift, 4), std::make_pair(pressed, pressed >= 0 ? 0 : key));
    }
}

TEST(KeyCodes, QtKeysToSuiteCodes) {
    // The boundaries of the ranges; the other keys are pressed in the windows' own tests.
    const std::pair<int, int> cases[] = {
        {Qt::Key_F1, 112},   {Qt::Key_F12, 123}, {Qt::Key_F13, 0}, {Qt::Key_A, 65},
        {Qt::Key_Z, 90},     {Qt::Key_0, 48},    {Qt::Key_9, 57},  {Qt::Key_Escape, 27},
        {Qt::Key_Enter, 13}, {Qt::Key_Exclam, 0}};
    for (const auto& [qtKey, code] : cases) {
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        EXPECT_EQ(vbKeyCode(&event), code) << "Qt key " << qtKey;
    }
    EXPECT_EQ(vbShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(vbShiftState(Qt::ControlModifier | Qt::KeypadModifier), 2);
}
