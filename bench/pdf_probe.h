#pragma once
// The PDF writer probe (vantrex-pdf-probe): the bench report's pages written through each
// candidate writer, timed, and the files checked with poppler's tools.

#include "output/document.h"
#include "output/pdf_writer.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace vx::bench {

// The libharu candidate (bench/pdf_probe_haru.cpp, built when libharu is installed).
std::unique_ptr<output::PdfPageWriter> makeHaruPdfWriter();

// What poppler's tools say of one PDF file.
struct PdfChecks {
    QString title, author, creator;
    int pages = 0;
    qint64 bytes = 0;
    QStringList fonts;          // "name type emb sub uni" per font
    bool fontsEmbedded = false; // every font embedded as a subset
    QString text;               // pdftotext -layout
};
PdfChecks checkPdf(const QString& path);

// The words of a pdftotext text, in order.
QStringList wordsOf(const QString& text);

// The largest distance, in twips, between the edges of the same words of the first `pages`
// pages of two PDF files (pdftotext -bbox): horizontal and vertical. -1 when the files do not
// hold the same words.
struct WordShift {
    double x = -1, y = -1;
};
WordShift compareWordBoxes(const QString& a, const QString& b, int pages);

// The largest distance, in twips, between a glyph as Qt's text layout places it and as the
// kerned advances of QRawFont place it, over every distinct text of `doc`; and how many texts.
struct ShapeCheck {
    double maxShift = 0;
    qsizetype texts = 0;
};
ShapeCheck compareShaping(const output::Document& doc);

// The bytes of a PDF with its creation and modification times blanked.
QByteArray withoutTimes(QByteArray pdf);

} // namespace vx::bench
