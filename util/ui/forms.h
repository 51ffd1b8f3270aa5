#pragma once
// The suite's look for its windows: one font family for every control.

#include <QString>

class QWidget;

namespace vx {

struct FormsState {
    QString gsFormFont; // the family every control gets; "Arial" when first used empty
};

FormsState& formsState();
void resetFormsState();

// Gives every control of `form` (at any depth) the form font. A control already in "Arial"
// keeps its font; otherwise its size grows by 0.75 point from "MS Sans Serif" and shrinks by
// 0.75 point from any other family, rounded to a whole point (a half to the even number).
void gpSetFormFonts(QWidget* form);

// The point size a control gets when it changes from `family` at `pointSize` to the form font.
double formFontSize(const QString& family, double pointSize);

} // namespace vx
