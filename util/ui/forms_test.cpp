// The window helpers: the form font and the function-key buttons.
#include "util/ui/forms.h"
#include "util/ui/keyboard.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>
#include <tuple>

using namespace vx;

// Sans Serif sizes grow by 0.75 points, others shrink by as much; whole points, a half going to
// the even neighbour. The other directions show in the form below.
TEST(FormFonts, SizeRule) {
    EXPECT_DOUBLE_EQ(formFontSize("MS Sans Serif", 9.75), 10);  // 10.5
    EXPECT_DOUBLE_EQ(formFontSize("MS Sans Serif", 10.75), 12); // 11.5
    EXPECT_DOUBLE_EQ(formFontSize("Tahoma", 9.5), 9);           // 8.75
}

TEST(FormFonts, EveryControlButArialGetsTheFormFont) {
    resetFormsState();
    const auto font = [](const char* family, double size) {
        QFont f(family);
        f.setPointSizeF(size);
        return f;
    };
    QWidget form;
    auto* frame = new QGroupBox(&form);
    frame->setFont(font("MS Sans Serif", 8.25));
    auto* label = new QLabel("Title", frame); // inherits its container's font
    auto* button = new QPushButton("F10 Accept", &form);
    button->setFont(font("Tahoma", 12));
    auto* arial = new QLabel("kept", &form);
    arial->setFont(font("Arial", 13.5));
    gpSetFormFonts(&form);
    EXPECT_EQ(formsState().gsFormFont, "Arial");
    const std::pair<QWidget*, double> sizes[] = {
        {frame, 9}, {label, 9}, {button, 11}, {arial, 13.5}};
    for (const auto& [widget, size] : sizes) {
        EXPECT_EQ(widget->font().family(), "Arial");
        EXPECT_DOUBLE_EQ(widget->font().pointSizeF(), size);
    }
}

// A form with one button per label (a null label: a panel holding the buttons after it; button 4
// disabled) gets `key` pressed; the first enabled button whose label names that function key is
// clicked and the key code cleared.
TEST(FunctionKeyButton, PressesTheFirstEnabledMatchingButton) {
    // The disabled "F9 &Print" is skipped for the later F9 inside a panel.
    const QStringList form = {"File",      "F1 Help", "F10 Exit", "F10 Second",
                              "F9 &Print", QString(), "F9 Print", "F4\nFind"};
    // the form's labels, key, shift state, the button clicked (-1: none)
    const std::tuple<QStringList, int, int, int> cases[] = {
        {form, 121, 0, 2},         {form, 121, 1, -1},       {form, 113, 0, -1}, {form, 120, 0, 6},
        {form, 115, 0, 7},         {{"F1O Odd"}, 112, 0, 0}, // the number is the leading digits
        {{"F0 Zero"}, 111, 0, -1},                           // zero is no key
        {{"f1 Help"}, 112, 0, -1},                           // a capital F only
        {{"F12"}, 123, 0, 0},        // neither blank nor line break: the rest is the number
        {{"F 1 Help"}, 112, 0, -1}}; // the number ends at the first blank
    for (const auto& [labels, key, shift, pressed] : cases) {
        SCOPED_TRACE(labels.join(u'|').toStdString() + " " + std::to_string(key));
        QWidget window;
        QWidget* parent = &window;
        int clicked = -1;
        for (qsizetype i = 0; i < labels.size(); ++i) {
            if (labels[i].isNull()) {
                parent = new QWidget(&window);
                continue;
            }
            auto* b = new QPushButton(labels[i], parent);
            b->setEnabled(i != 4);
            QObject::connect(b, &QPushButton::clicked, [&clicked, i] { clicked = int(i); });
        }
        int code = key;
        gpFunctionKeyButton(&window, code, shift);
        EXPECT_EQ(clicked, pressed);
        EXPECT_EQ(code, pressed >= 0 ? 0 : key);
    }
}

TEST(KeyCodes, QtKeysToSuiteCodes) {
    // The boundaries of the ranges; the other keys are pressed in the windows' own tests.
    const std::pair<int, int> cases[] = {{Qt::Key_F1, 112}, {Qt::Key_F12, 123},  {Qt::Key_F13, 0},
                                         {Qt::Key_A, 65},   {Qt::Key_Z, 90},     {Qt::Key_0, 48},
                                         {Qt::Key_9, 57},   {Qt::Key_Escape, 27}};
    for (const auto& [qtKey, code] : cases) {
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier);
        EXPECT_EQ(vbKeyCode(&event), code) << "Qt key " << qtKey;
    }
    EXPECT_EQ(vbShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(vbShiftState(Qt::ControlModifier | Qt::KeypadModifier), 2);
}
