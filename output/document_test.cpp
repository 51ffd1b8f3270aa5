#include "output/document.h"
#include "testsupport/test_env.h"

#include <gtest/gtest.h>

namespace vx::output {
namespace {

const QString kFormat = QStringLiteral("<2700|<2700|<1300|^1400|>1400|>1400;");

class DocumentTest : public ::testing::Test {
  protected:
    DocumentTest() { env.setEnv("LC_ALL", QStringLiteral("en_US.UTF-8")); }

    // The texts of a page's body items, in placing order.
    static QStringList texts(const Page& page) {
        QStringList out;
        for (const TextItem& i : page.items)
            out.append(i.text);
        return out;
    }

    test::TestEnv env;
};

TEST_F(DocumentTest, PaperFollowsTheLocale) {
    struct Case {
        const char* locale;
        QSizeF size;
    } cases[] = {
        {"en_US.UTF-8", {12240, 15840}},
        {"C", {12240, 15840}},
        {"de_DE.UTF-8", {11906, 16838}},
    };
    for (const Case& c : cases) {
        env.setEnv("LC_ALL", QString::fromLatin1(c.locale));
        Document doc;
        doc.startDoc();
        EXPECT_EQ(doc.pageSize(), c.size) << c.locale;
    }
}

TEST_F(DocumentTest, CellsAlignWrapAndClipInTheirColumns) {
    Document doc;
    doc.setMargins(720, 720, 720, 720);
    doc.startDoc();
    const QString longText = QStringLiteral("a rather long vendor name that cannot fit");
    doc.tableText(QStringLiteral("<1500|>1400|<~1500;") + longText + QStringLiteral("|12.50|") +
                  longText + QStringLiteral(";"));
    doc.tableText(QStringLiteral("<1500;next"));
    const Page& page = doc.page(1);
    const double line = TextMeasure(FontSpec{}).lineHeight();

    QList<TextItem> wrapped, right, clipped;
    for (const TextItem& i : page.items) {
        if (i.box.left() < 720 + 1500 && i.text != QLatin1String("next"))
            wrapped.append(i);
        else if (i.align == Align::Right)
            right.append(i);
        else if (i.clipped)
            clipped.append(i);
    }
    ASSERT_GE(wrapped.size(), 3);
    QStringList words;
    for (const TextItem& i : wrapped) {
        EXPECT_LE(TextMeasure(i.font).width(i.text), i.box.width()) << i.text.toStdString();
        EXPECT_FALSE(i.clipped);
        words.append(i.text);
    }
    EXPECT_EQ(words.join(QLatin1Char(' ')), longText); // broken at blanks only
    EXPECT_DOUBLE_EQ(wrapped.last().box.top() - wrapped.first().box.top(),
                     (wrapped.size() - 1) * line);

    ASSERT_EQ(right.size(), 1);
    EXPECT_EQ(right[0].text, QStringLiteral("12.50"));
    EXPECT_DOUBLE_EQ(right[0].box.top(), 720);
    EXPECT_NEAR(right[0].box.right(), 720 + 1500 + 1400, 100); // inside the second column

    ASSERT_EQ(clipped.size(), 1);
    EXPECT_EQ(clipped[0].text, longText);
    EXPECT_LE(clipped[0].box.right(), 720 + 1500 + 1400 + 1500);

    // The row is as tall as its tallest cell.
    EXPECT_EQ(page.items.last().text, QStringLiteral("next"));
    EXPECT_DOUBLE_EQ(page.items.last().box.top(), 720 + wrapped.size() * line);
}

TEST_F(DocumentTest, WordsAndNumbersStayWholeInNarrowColumns) {
    const FontSpec normal;
    const auto narrower = [&](const char* align, const QString& text, int by) {
        return QLatin1String(align) +
               QString::number(static_cast<int>(TextMeasure(normal).width(text)) + by);
    };
    const QString total = QStringLiteral("491,265,804.58");
    const struct {
        QString format;
        QString text;
        bool smaller; // drawn below the column's size
    } cases[] = {
        {narrower(">", total, -200), total, true},
        {narrower("<", QStringLiteral("~SPECIAL"), -100), QStringLiteral("~SPECIAL"), true},
        {narrower("<~", QStringLiteral("1000003.3"), -100), QStringLiteral("1000003.3"), true},
        {narrower(">", total, 60), total, false}, // wider than the text, not than its padding
        {narrower("<", total, -200), QStringLiteral("Total ") + total, true}, // wraps at blanks
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format.toStdString() + " " + c.text.toStdString());
        Document doc;
        doc.setMargins(720, 720, 720, 720);
        doc.startDoc();
        doc.tableText(c.format + u';' + c.text);
        QStringList shown;
        for (const TextItem& i : doc.page(1).items) {
            EXPECT_FALSE(i.clipped);
            EXPECT_LE(TextMeasure(i.font).width(i.text), i.box.width() + 0.5);
            EXPECT_GE(i.box.left(), 720);
            EXPECT_LE(i.box.right(),
                      720 + c.format.mid(c.format.startsWith(u"<~") ? 2 : 1).toInt());
            EXPECT_EQ(i.font.size < normal.size, c.smaller);
            EXPECT_GE(i.font.size, 6);
            shown << i.text;
        }
        EXPECT_TRUE(shown.join(u' ') == c.text) << shown.join(u'/').toStdString();
    }
}

TEST_F(DocumentTest, ANoWrapCellTooWideEvenSmallIsClippedBetweenLetters) {
    Document doc;
    doc.setMargins(720, 720, 720, 720);
    doc.startDoc();
    const QString name = QStringLiteral("Bergeron Off-Field Supplies of the North");
    doc.tableText(QStringLiteral("<~1000;") + name);
    const TextItem& item = doc.page(1).items[0];
    ASSERT_TRUE(item.clipped);
    EXPECT_EQ(item.font.size, 6);
    // The dump shows the letters the page shows: only those wholly inside the box.
    const QString shown = doc.textDump().section(u'\n', 0, 0).trimmed();
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_TRUE(name.startsWith(shown)) << shown.toStdString();
    EXPECT_LE(TextMeasure(item.font).width(shown), item.box.width() + 0.5);
    qsizetype next = shown.size(); // the next letter would not fit wholly
    while (next < name.size() && name[next] == u' ')
        ++next;
    EXPECT_GT(TextMeasure(item.font).width(name.left(next + 1)), item.box.width());
}

TEST_F(DocumentTest, EmptyCellsAndSeveralRowsInOneCall) {
    Document doc;
    doc.startDoc();
    doc.tableText(kFormat + QStringLiteral("|||||;"));
    const double afterBlank = doc.currentY();
    doc.tableText(kFormat + QStringLiteral("A|B||||1.00;C|D||||2.00;"));
    EXPECT_GT(afterBlank, 720); // an empty row takes a line
    EXPECT_EQ(texts(doc.page(1)), (QStringList{"A", "B", "1.00", "C", "D", "2.00"}));
    EXPECT_LT(doc.page(1).items[0].box.top(), doc.page(1).items[3].box.top());
}

TEST_F(DocumentTest, ParagraphsWrapAcrossThePrintableWidth) {
    Document doc;
    doc.setMargins(360, 1000, 360, 1000);
    doc.setFontSize(9);
    doc.startDoc();
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("word%1 ").arg(i);
    doc.paragraph(text.trimmed());
    doc.paragraph(QString());
    doc.paragraph(QStringLiteral("after"));
    const Page& page = doc.page(1);
    ASSERT_GE(page.items.size(), 3);
    EXPECT_DOUBLE_EQ(page.items[0].box.left(), 360);
    EXPECT_DOUBLE_EQ(page.items[0].box.top(), 1000);
    EXPECT_DOUBLE_EQ(page.items[0].box.width(), 12240 - 720);
    EXPECT_EQ(page.items[0].font.size, 9);
    const double line = page.items[1].box.top() - page.items[0].box.top();
    const TextItem& after = page.items.last();
    EXPECT_EQ(after.text, QStringLiteral("after"));
    // The empty paragraph left an empty line.
    EXPECT_DOUBLE_EQ(after.box.top(), page.items[page.items.size() - 2].box.top() + 2 * line);
}

TEST_F(DocumentTest, PageStartHandlerRunsOncePerPageBeforeItsRows) {
    Document doc;
    int calls = 0;
    doc.setPageStartHandler([&](ReportPrinter& p) {
        ++calls;
        p.setFontBold(true);
        p.tableText(QStringLiteral("^10000;Heading %1").arg(calls));
        p.setFontBold(false);
    });
    doc.setFooter(QStringLiteral("left|Page %d|right"));
    doc.startDoc();
    EXPECT_EQ(calls, 1);
    for (int i = 1; i <= 150; ++i)
        doc.tableText(kFormat + QStringLiteral("V%1|Name|PO|1/2/2024|1.00|2.00;").arg(i));
    doc.endDoc();

    ASSERT_GE(doc.pageCount(), 3);
    EXPECT_EQ(calls, doc.pageCount());
    int rows = 0;
    for (int n = 1; n <= doc.pageCount(); ++n) {
        const Page& page = doc.page(n);
        ASSERT_FALSE(page.items.isEmpty());
        EXPECT_EQ(page.items[0].text, QStringLiteral("Heading %1").arg(n));
        EXPECT_TRUE(page.items[0].font.bold);
        EXPECT_DOUBLE_EQ(page.items[0].box.top(), 720);
        for (const TextItem& i : page.items) {
            EXPECT_LE(i.box.bottom(), 15840 - 720) << "page " << n;
            if (i.text.startsWith(QLatin1Char('V'))) {
                EXPECT_EQ(i.text, QStringLiteral("V%1").arg(++rows));
            }
        }
        ASSERT_EQ(page.footer.size(), 3);
        EXPECT_EQ(page.footer[0].text, QStringLiteral("left"));
        EXPECT_EQ(page.footer[1].text, QStringLiteral("Page %1").arg(n));
        EXPECT_EQ(page.footer[1].align, Align::Centre);
        EXPECT_EQ(page.footer[2].align, Align::Right);
        EXPECT_GE(page.footer[1].box.top(), 15840 - 720);
        EXPECT_LE(page.footer[1].box.bottom(), 15840);
    }
    EXPECT_EQ(rows, 150);
}

TEST_F(DocumentTest, FooterWithOnlyAPageNumber) {
    Document doc;
    doc.setFooter(QStringLiteral("|Page %d|"));
    doc.startDoc();
    ASSERT_EQ(doc.page(1).footer.size(), 1);
    EXPECT_EQ(doc.page(1).footer[0].text, QStringLiteral("Page 1"));
    EXPECT_EQ(doc.page(1).footer[0].align, Align::Centre);
}

TEST_F(DocumentTest, RowTallerThanAPageIsPlacedRatherThanLoopingOverPages) {
    Document doc;
    doc.setPageStartHandler([](ReportPrinter& p) { p.paragraph(QStringLiteral("header")); });
    doc.startDoc();
    doc.paragraph(QStringLiteral("first"));
    QString huge;
    for (int i = 0; i < 90; ++i)
        huge += QStringLiteral("line\n");
    doc.tableText(QStringLiteral("<3000;") + huge);
    EXPECT_EQ(doc.pageCount(), 2);
}

TEST_F(DocumentTest, AddedTableRepeatsItsHeaderOnEveryPage) {
    Document doc;
    doc.setFontSize(9);
    doc.startDoc();
    QString body;
    for (int i = 1; i <= 120; ++i)
        body += QStringLiteral("ITEM%1|desc|;").arg(i);
    doc.addTable(QStringLiteral("\n<~1800|<~2200|>~1200"),
                 QStringLiteral("Item ID|Description|Total"), body);
    ASSERT_EQ(doc.pageCount(), 2);
    for (int n = 1; n <= 2; ++n) {
        const TextItem& first = doc.page(n).items[0];
        EXPECT_EQ(first.text, QStringLiteral("Item ID"));
        EXPECT_TRUE(first.font.bold);
    }
    EXPECT_GT(doc.page(1).items[0].box.top(), 720); // the line feed left an empty line
    EXPECT_DOUBLE_EQ(doc.page(2).items[0].box.top(), 720);
    EXPECT_FALSE(doc.page(1).items[3].font.bold);
}

TEST_F(DocumentTest, AbandonDropsEverything) {
    Document doc;
    doc.startDoc();
    doc.paragraph(QStringLiteral("text"));
    doc.abandonDoc();
    EXPECT_EQ(doc.pageCount(), 0);
    EXPECT_TRUE(doc.textDump().isEmpty());
    QString error;
    EXPECT_FALSE(doc.writePdf(env.root() + QStringLiteral("/x.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(DocumentTest, FindsTextAcrossPagesCaseInsensitively) {
    Document doc;
    doc.setFooter(QStringLiteral("|Page %d|"));
    doc.startDoc();
    for (int i = 1; i <= 120; ++i)
        doc.tableText(QStringLiteral("<2000|>2000;Row %1|Amount %1;").arg(i));
    ASSERT_GE(doc.pageCount(), 2);

    const auto hit = doc.find(QStringLiteral("row 100"), 0);
    ASSERT_TRUE(hit.has_value());
    EXPECT_EQ(hit->page, 2);
    EXPECT_GT(hit->rect.width(), 0);
    EXPECT_NEAR(hit->rect.left(), 720 + 60, 1);

    // A match inside a right-aligned text: the bounds cover the matched part only.
    const auto part = doc.find(QStringLiteral("120"), 2, hit->rect.bottom());
    ASSERT_TRUE(part.has_value());
    EXPECT_EQ(part->page, 2);
    EXPECT_GT(part->rect.top(), hit->rect.top());

    // Searching on from the last match finds none (the preview's F3 walks the matches).
    EXPECT_FALSE(doc.find(QStringLiteral("Row 120"), part->page, part->rect.bottom()));
    EXPECT_FALSE(doc.find(QStringLiteral("no such text"), 1));
    EXPECT_FALSE(doc.find(QString(), 1));

    const auto footer = doc.find(QStringLiteral("page 2"), 1);
    ASSERT_TRUE(footer.has_value());
    EXPECT_EQ(footer->page, 2);
}

} // namespace
} // namespace vx::output
