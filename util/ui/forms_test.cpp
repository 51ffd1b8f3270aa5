#include "util/ui/forms.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>
#include <tuple>

using namespace vx;

TEST(FormFonts, SizeRule) {
    const std::tuple<const char*, double, double> cases[] = {
        {"MS Sans Serif", 8.25, 9},   // 9.0
        {"MS Sans Serif", 9.75, 10},  // 10.5: the half goes to the even number
        {"MS Sans Serif", 10.75, 12}, // 11.5
        {"Tahoma", 8.25, 8},          // 7.5
        {"Tahoma", 11.25, 10},        // 10.5
        {"Tahoma", 12.0, 11},         // 11.25
        {"Tahoma", 9.5, 9}            // 8.75
    };
    for (const auto& [family, size, expected] : cases)
        EXPECT_DOUBLE_EQ(formFontSize(family, size), expected) << family << " " << size;
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
