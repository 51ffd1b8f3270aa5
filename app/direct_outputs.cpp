#include "app/direct_outputs.h"

#include "platform/atomic_file.h"

namespace vx {

DirectOutputs::DirectOutputs(QString pdfPath, QString textPath)
    : pdfPath_(std::move(pdfPath)), textPath_(std::move(textPath)) {}

void DirectOutputs::startPdf(const output::Document& doc) {
    pdf_ =
        std::make_unique<output::PdfStream>(output::makePdfPageWriter(output::defaultPdfEngine()));
    pdfError_.clear();
    if (!pdf_->begin(pdfPath_, doc.pageSize(), doc.pdfInfo(), &pdfError_))
        pdf_.reset();
}

void DirectOutputs::pageDone(const output::Document& doc, int number) {
    if (number != pages_ + 1) {
        abandon();
        if (number != 1)
            return; // not a page of this document's sequence: nothing is made of it
    }
    pages_ = number;
    if (!textPath_.isEmpty()) {
        if (number > 1)
            text_ += '\f';
        text_ += doc.pageText(number).toUtf8();
    }
    if (pdfPath_.isEmpty())
        return;
    if (number == 1)
        startPdf(doc);
    if (pdf_)
        pdf_->add(doc.page(number));
}

bool DirectOutputs::finish(const output::Document& doc, QString* failedPath, QString* error) {
    // Pages the events did not hand over (a document produced without listeners) come now.
    for (int n = pages_ + 1; n <= doc.pageCount(); ++n)
        pageDone(doc, n);
    const auto fail = [&](const QString& path, const QString& why) {
        abandon();
        *failedPath = path;
        *error = why;
        return false;
    };
    if (!textPath_.isEmpty() && !writeFileAtomically(textPath_, text_, 0644, true, error))
        return fail(textPath_, *error);
    text_.clear();
    if (pdfPath_.isEmpty())
        return true;
    if (!pdf_)
        return fail(pdfPath_,
                    pdfError_.isEmpty() ? QStringLiteral("The document has no pages.") : pdfError_);
    QString why;
    const bool written = pdf_->finish(&why);
    pdf_.reset();
    return written || fail(pdfPath_, why);
}

void DirectOutputs::abandon() {
    if (pdf_)
        pdf_->abandon();
    pdf_.reset();
    text_.clear();
    pages_ = 0;
}

} // namespace vx
