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
        {"Tahoma", 9.5, 9},           // 8.75
    };
    for (const auto& [family, size, expected] : cases)
        EXPECT_DOUBLE_EQ(formFontSize(family, size), expected) << family << " " << size;
}

TEST(FormFonts, EveryControlButArial) {
    resetFormsState();
    QWidget form;
    auto* frame = new QGroupBox(&form);
    auto* label = new QLabel(QStringLiteral("Title"), frame);
    auto* button = new QPushButton(QStringLiteral("F10 Accept"), &form);
    button->setObjectName(QStringLiteral("cmdAccept"));
    auto* arial = new QLabel(QStringLiteral("kept"), &form);
    frame->setFont([] {
        QFont f(QStringLiteral("MS Sans Serif"));
        f.setPointSizeF(8.25);
        return f;
    }());
    button->setFont(QFont(QStringLiteral("Tahoma"), 12));
    QFont arialFont(QStringLiteral("Arial"));
    arialFont.setPointSizeF(13.5);
    arial->setFont(arialFont);

    gpSetFormFonts(&form);

    EXPECT_EQ(formsState().gsFormFont, QStringLiteral("Arial"));
    EXPECT_EQ(frame->font().family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(frame->font().pointSizeF(), 9.0);
    // The label inherits its container's font.
    EXPECT_EQ(label->font().family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.0);
    EXPECT_EQ(button->font().family(), QStringLiteral("Arial"));
    EXPECT_DOUBLE_EQ(button->font().pointSizeF(), 11.0);
    EXPECT_DOUBLE_EQ(arial->font().pointSizeF(), 13.5);
}
