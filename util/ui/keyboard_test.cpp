#include "util/ui/keyboard.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace vx {
namespace {

// A form with buttons; counts the clicks of each.
struct Form {
    QWidget widget;
    QList<QPushButton*> buttons;
    QList<int> clicks;

    QPushButton* add(const QString& label, QWidget* parent = nullptr) {
        auto* b = new QPushButton(label, parent ? parent : &widget);
        const qsizetype i = buttons.size();
        buttons << b;
        clicks << 0;
        QObject::connect(b, &QPushButton::clicked, [this, i] { ++clicks[i]; });
        return b;
    }
};

TEST(FunctionKeyButton, PressesTheMatchingButton) {
    const struct {
        const char* name;
        int key;
        int shift;
        int pressed; // index of the button clicked, -1 none
    } cases[] = {
        {"F10 button", 121, 0, 2},      {"F1 button", 112, 0, 1},
        {"shift held", 121, 1, -1},     {"ctrl held", 121, 2, -1},
        {"no such button", 113, 0, -1}, {"disabled F9 skipped, later F9 taken", 120, 0, 5},
        {"two-line label", 115, 0, 6},  {"Esc is no function key", 27, 0, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        f.add(QStringLiteral("File"));                         // 0: no number after the F
        f.add(QStringLiteral("F1 Help"));                      // 1
        f.add(QStringLiteral("F10 Exit"));                     // 2
        f.add(QStringLiteral("F10 Second"));                   // 3: a later button of the same key
        f.add(QStringLiteral("F9 &Print"))->setEnabled(false); // 4
        auto* panel = new QWidget(&f.widget);
        f.add(QStringLiteral("F9 Print"), panel); // 5: inside a container
        f.add(QStringLiteral("F4\nFind"));        // 6
        int key = c.key;
        gpFunctionKeyButton(&f.widget, key, c.shift);
        EXPECT_EQ(key, c.pressed >= 0 ? 0 : c.key);
        for (qsizetype i = 0; i < f.clicks.size(); ++i)
            EXPECT_EQ(f.clicks[i], i == c.pressed ? 1 : 0) << "button " << i;
    }
}

TEST(FunctionKeyButton, LabelForms) {
    const struct {
        const char* label;
        int key;
        bool pressed;
    } cases[] = {
        {"F1O Odd", 112, true},   // the number is the leading digits
        {"F0 Zero", 111, false},  // zero is no key
        {"f1 Help", 112, false},  // a capital F only
        {"F12", 123, true},       // neither blank nor line break: the rest is the number
        {"F 1 Help", 112, false}, // the number ends at the first blank
        {"F2\r\nSave", 113, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        Form f;
        f.add(QLatin1String(c.label));
        int key = c.key;
        gpFunctionKeyButton(&f.widget, key, 0);
        EXPECT_EQ(f.clicks[0], c.pressed ? 1 : 0);
    }
}

TEST(KeyCodes, QtKeysToSuiteCodes) {
    const struct {
        int qtKey;
        int code;
    } cases[] = {
        {Qt::Key_F1, 112},    {Qt::Key_F10, 121},     {Qt::Key_F12, 123}, {Qt::Key_Escape, 27},
        {Qt::Key_Return, 13}, {Qt::Key_Enter, 13},    {Qt::Key_Home, 36}, {Qt::Key_End, 35},
        {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34}, {Qt::Key_A, 65},    {Qt::Key_Z, 90},
        {Qt::Key_0, 48},      {Qt::Key_9, 57},        {Qt::Key_F13, 0},   {Qt::Key_Exclam, 0},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.qtKey, Qt::NoModifier);
        EXPECT_EQ(vbKeyCode(&event), c.code) << "Qt key " << c.qtKey;
    }
    EXPECT_EQ(vbShiftState(Qt::ShiftModifier | Qt::AltModifier), 5);
    EXPECT_EQ(vbShiftState(Qt::KeypadModifier), 0);
}

} // namespace
} // namespace vx
