#pragma once
// The files of a direct run, written while the report lays its document out: the PDF through a
// painting thread of its own (output/pdf_stream.h), the text dump page by page. Nothing is put in
// place until the document has ended: a run that ends without a document (nothing to report, a
// cancel, a lost server) leaves no file behind, and a file that existed stays as it was.

#include "output/document.h"
#include "output/pdf_stream.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace vx {

class DirectOutputs {
  public:
    // Empty paths: that file is not written.
    DirectOutputs(QString pdfPath, QString textPath);

    // Page `number` of `doc` is complete. Pages come in order; a page 1 after others means the
    // document started again, and what was written of the old one is dropped.
    void pageDone(const output::Document& doc, int number);
    // The document has ended: completes the files (the text first). False with `failedPath` and
    // `error` set when one could not be written; the PDF is not written after a failed text.
    bool finish(const output::Document& doc, QString* failedPath, QString* error);
    // Drops whatever was written.
    void abandon();

  private:
    void startPdf(const output::Document& doc);

    QString pdfPath_, textPath_;
    std::unique_ptr<output::PdfStream> pdf_;
    QString pdfError_; // why the PDF could not be started
    QByteArray text_;  // the text dump so far, in UTF-8
    int pages_ = 0;    // the pages handed over so far
};

} // namespace vx
