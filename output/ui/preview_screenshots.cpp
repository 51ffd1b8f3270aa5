// Pictures of the print preview window, for a look at how it appears: a sample report of several
// pages at 100 % and 50 %, and a search match highlighted.
//
//   preview-screenshots FOLDER   (runs without a display: QT_QPA_PLATFORM=offscreen)
#include "output/ui/print_preview.h"
#include "runstate/runstate.h"
#include "util/ui/screenshot_tool.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>

namespace {

using vx::output::Document;
using vx::output::ReportPrinter;

void pageHeader(ReportPrinter& printer) {
    printer.setFontName(QStringLiteral("Arial"));
    printer.setFontSize(10);
    printer.setFontBold(true);
    printer.tableText(QStringLiteral("^10800;Northwind Hardware #2"));
    printer.tableText(QStringLiteral("^10800;Purchase Orders Received"));
    printer.tableText(QStringLiteral("^10800;3/1/2024 to 3/31/2024"));
    printer.paragraph(QString());
    printer.tableText(QStringLiteral("<1200|<3600|<1500|>1500|>1500|>1500;PO|Vendor|Received|"
                                     "Ordered|Received|Amount"));
    printer.setFontBold(false);
}

void fill(Document& doc) {
    doc.setMargins(720, 720, 720, 720);
    doc.setFooter(QStringLiteral("Purchase Orders Received|Page %d|4/2/2024 9:15 AM"));
    doc.setPageStartHandler(pageHeader);
    doc.startDoc();
    const QStringList vendors = {
        QStringLiteral("Allied Fasteners Ltd"),      QStringLiteral("Bolt & Nut Supply"),
        QStringLiteral("Central Paint Company"),     QStringLiteral("Delta Tools Wholesale"),
        QStringLiteral("Evergreen Garden Products"), QStringLiteral("Fairway Plumbing Parts")};
    double total = 0;
    for (int i = 0; i < 120; ++i) {
        const double amount = 125.5 + (i * 37) % 900 + (i % 7) * 0.25;
        total += amount;
        doc.tableText(QStringLiteral("<1200|<3600|<1500|>1500|>1500|>1500;%1|%2|3/%3/2024|%4|%5|%6")
                          .arg(10230 + i, 8, 10, QLatin1Char('0'))
                          .arg(vendors[i % vendors.size()])
                          .arg(1 + i % 28)
                          .arg(10 + i % 13)
                          .arg(10 + i % 11)
                          .arg(amount, 0, 'f', 2));
    }
    doc.setFontBold(true);
    doc.tableText(
        QStringLiteral("<1200|<3600|<1500|>1500|>1500|>1500;|Total||||%1").arg(total, 0, 'f', 2));
    doc.endDoc();
}

} // namespace

int main(int argc, char** argv) {
    vx::ScreenshotTool tool("preview-screenshots");
    QApplication app(argc, argv);
    if (!tool.start(argc, argv))
        return 3;
    tool.makeHome();

    vx::runState().gbShowPOButton = true; // as in a report run: the full button strip
    vx::output::frmSMPRNT_PREVIEW window;
    fill(window.newDocument());
    QApplication::processEvents();
    bool ok = tool.save(window, QStringLiteral("preview-100.png"));

    window.cboZoom->setCurrentIndex(1);
    emit window.cboZoom->activated(1);
    ok = tool.save(window, QStringLiteral("preview-50.png")) && ok;

    window.cboZoom->setCurrentIndex(3);
    emit window.cboZoom->activated(3);
    window.resize(1024, 768);
    window.txtFind->setText(QStringLiteral("Delta Tools"));
    window.cmdFind_Click(0);
    window.cmdFind_Click(1);
    window.cmdFind_Click(1);
    ok = tool.save(window, QStringLiteral("preview-found.png")) && ok;
    return ok ? 0 : 1;
}
