#pragma once
// Test helpers of the print preview window: documents of numbered rows and a window with a
// throw-away home, scripted message boxes and fresh run flags.

#include "datapath/clsdatapath.h"
#include "output/ui/print_preview.h"
#include "platform/scripted_messages.h"
#include "runstate/runstate.h"
#include "testsupport/test_env.h"

#include <QApplication>
#include <QSet>
#include <gtest/gtest.h>

namespace vx::output::test {

// The text of row `i` (from 1): "Row 001", and " Widget" on the rows in `marked`.
inline QString rowText(int i, const QSet<int>& marked = {}) {
    return QStringLiteral("Row %1").arg(i, 3, 10, QLatin1Char('0')) +
           (marked.contains(i) ? QStringLiteral(" Widget") : QString());
}

// Writes `rows` rows into `doc`, started and (when `end`) ended; returns its page count.
inline int writeRows(Document& doc, int rows, const QSet<int>& marked = {}, bool end = true) {
    doc.setMargins(720, 720, 720, 720);
    doc.startDoc();
    for (int i = 1; i <= rows; ++i)
        doc.tableText(QStringLiteral("<5000|>2000;") + rowText(i, marked) + QStringLiteral("|x"));
    if (end)
        doc.endDoc();
    return doc.pageCount();
}

class PreviewTest : public ::testing::Test {
  protected:
    PreviewTest() {
        env.setEnv("LC_ALL", QStringLiteral("en_US.UTF-8"));
        resetRunState();
        resetDataPath();
        gDataPath().setDataPath(env.mkdir(QStringLiteral("data")));
    }
    ~PreviewTest() override { resetRunState(); }

    // Lets the window become visible and active, as the window system would.
    void settle() {
        QApplication::processEvents();
        QApplication::processEvents();
    }

    vx::test::TestEnv env;
    ScopedScriptedMessages messages;
    frmSMPRNT_PREVIEW window;
};

} // namespace vx::output::test
