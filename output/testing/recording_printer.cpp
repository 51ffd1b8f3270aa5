#include "output/testing/recording_printer.h"

namespace vx::output {

void RecordingPrinter::record(const QString& line) {
    QString l = line;
    l.replace(QLatin1Char('\r'), QStringLiteral("\\r"))
        .replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    calls_.append(l);
}

QStringList RecordingPrinter::calls(const QString& prefix) const {
    QStringList out;
    for (const QString& c : calls_)
        if (c.startsWith(prefix))
            out.append(c);
    return out;
}

void RecordingPrinter::setFontName(const QString& name) {
    name_ = name;
    record(QStringLiteral("font ") + name);
}

void RecordingPrinter::setFontSize(double points) {
    size_ = points;
    record(QStringLiteral("size ") + QString::number(points));
}

void RecordingPrinter::setFontBold(bool bold) {
    bold_ = bold;
    record(bold ? QStringLiteral("bold on") : QStringLiteral("bold off"));
}

void RecordingPrinter::setHeaderStyle(int style) {
    headerStyle_ = style;
    record(QStringLiteral("header style %1").arg(style));
}

void RecordingPrinter::setMargins(int left, int top, int right, int bottom) {
    record(QStringLiteral("margins %1 %2 %3 %4").arg(left).arg(top).arg(right).arg(bottom));
}

void RecordingPrinter::setFooter(const QString& footer) {
    record(QStringLiteral("footer ") + footer);
}

void RecordingPrinter::setDocumentInfo(const QString& title, const QString& author) {
    record(QStringLiteral("info ") + title + u'|' + author);
}

void RecordingPrinter::startDoc() {
    started_ = true;
    ended_ = abandoned_ = false;
    pages_ = 0;
    record(QStringLiteral("start"));
    if (simulate_)
        newPage();
}

void RecordingPrinter::endDoc() {
    ended_ = true;
    record(QStringLiteral("end"));
}

void RecordingPrinter::abandonDoc() {
    abandoned_ = true;
    pages_ = 0;
    record(QStringLiteral("abandon"));
}

void RecordingPrinter::paragraph(const QString& text) {
    record(QStringLiteral("paragraph ") + text);
}

void RecordingPrinter::tableText(const QString& formatAndCells) {
    record(QStringLiteral("table ") + formatAndCells);
}

void RecordingPrinter::addTable(const QString& format, const QString& header, const QString& body) {
    record(QStringLiteral("add %1 [%2] %3").arg(format, header, body));
}

void RecordingPrinter::setPageStartHandler(std::function<void(ReportPrinter&)> handler) {
    pageStart_ = std::move(handler);
}

void RecordingPrinter::newPage() {
    if (!simulate_)
        return;
    ++pages_;
    record(QStringLiteral("page %1").arg(pages_));
    if (pageStart_)
        pageStart_(*this);
}

} // namespace vx::output
