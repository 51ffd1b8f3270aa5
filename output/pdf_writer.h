#pragma once
// PDF files written a page at a time, as the pages are laid out, so that a long document needs
// neither all its pages at once nor a second pass over them.
//
// Contract: begin() once, then addPage() for every page in order, then finish() or abandon().
// Nothing appears at `path` until finish() succeeds: a file that existed is replaced whole or
// kept as it was, never left half-written. The pages written show what the preview draws
// (the same items at the same places in the same fonts), their text stays extractable in reading
// order, the fonts are embedded (subsets) and the document information names the title, the
// author and the creator. A writer is used by one thread at a time; errors are returned, never
// thrown.

#include "output/page_layout.h"
#include "output/pdf_info.h"

#include <QSizeF>
#include <QString>
#include <memory>

namespace vx::output {

class PdfPageWriter {
  public:
    virtual ~PdfPageWriter() = default;
    // Starts the file at `path`; `pageSize` in twips. False with `error` set when it cannot.
    virtual bool begin(const QString& path, QSizeF pageSize, const PdfInfo& info,
                       QString* error) = 0;
    virtual void addPage(const Page& page) = 0;
    // Completes the file and puts it in place. False with `error` set when that failed.
    virtual bool finish(QString* error) = 0;
    // Drops the file being written; what was at `path` before stays.
    virtual void abandon() = 0;
};

// The PDF engines this program can write with; bench/README.md has the measurements that chose
// the default. Qt: QPdfWriter, painted with paintPage. Cairo: cairo's PDF surface with the glyphs
// Qt places (output/pdf_cairo.cpp); usable on a worker thread.
enum class PdfEngine { Qt, Cairo };

std::unique_ptr<PdfPageWriter> makePdfPageWriter(PdfEngine engine);
// Cairo, unless the environment says VANTREX_PDF_ENGINE=qt.
PdfEngine defaultPdfEngine();

// The cairo writer itself, for makePdfPageWriter.
std::unique_ptr<PdfPageWriter> makeCairoPdfPageWriter();

// For the writers: sets `*error` (when asked for) to `why` and gives false.
inline bool pdfWriteFailed(QString* error, const QString& why) {
    if (error)
        *error = why;
    return false;
}

} // namespace vx::output
