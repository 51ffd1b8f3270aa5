#include "util/ui/forms.h"

#include <QFont>
#include <QWidget>
#include <cmath>

namespace vx {

FormsState& formsState() {
    static FormsState state;
    return state;
}

void resetFormsState() {
    formsState() = FormsState{};
}

double formFontSize(const QString& family, double pointSize) {
    const bool fromSansSerif =
        family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0;
    const double size = pointSize + (fromSansSerif ? 0.75 : -0.75);
    // Whole points, a half going to the even neighbour.
    if (std::fabs(size - std::trunc(size)) == 0.5)
        return 2.0 * std::round(size / 2.0);
    return std::round(size);
}

void gpSetFormFonts(QWidget* form) {
    if (!form)
        return;
    FormsState& state = formsState();
    if (state.gsFormFont.isEmpty())
        state.gsFormFont = QStringLiteral("Arial");

    // Containers come before the controls in them, so a control that inherits its container's
    // font sees the new one, already in the form font, and keeps it.
    for (QWidget* control : form->findChildren<QWidget*>()) {
        QFont font = control->font();
        if (font.family().compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0)
            continue;
        if (font.pointSizeF() <= 0) // sized in pixels: no point size to adjust
            continue;
        font.setPointSizeF(formFontSize(font.family(), font.pointSizeF()));
        font.setFamily(state.gsFormFont);
        control->setFont(font);
        // Controls named "cmd..." were picture buttons with a flat, stretched, greyed-when-
        // disabled look; the buttons here draw themselves, so the font is all there is to set.
    }
}

} // namespace vx
