// PDF files through Qt's own PDF engine (QPdfWriter), painted as the preview paints.
#include "output/page_paint.h"
#include "output/pdf_writer.h"

#include <QPdfWriter>
#include <QSaveFile>
#include <memory>

namespace vx::output {

namespace {

class QtPdfWriter : public PdfPageWriter {
  public:
    bool begin(const QString& path, QSizeF pageSize, const PdfInfo& info, QString* error) override {
        file_ = std::make_unique<QSaveFile>(path);
        if (!file_->open(QIODevice::WriteOnly))
            return pdfWriteFailed(error, file_->errorString());
        info_ = info;
        pageSize_ = pageSize;
        ends_ = std::make_unique<EndsKeepingDevice>(*file_);
        ends_->open(QIODevice::WriteOnly);
        writer_ = std::make_unique<QPdfWriter>(ends_.get());
        writer_->setTitle(info.title);
        writer_->setCreator(info.creator);
        writer_->setPageSize(
            QPageSize(pageSize / kTwipsPerInch, QPageSize::Inch, QString(), QPageSize::FuzzyMatch));
        writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
        scale_ = writer_->resolution() / double(kTwipsPerInch);
        if (!painter_.begin(writer_.get()))
            return pdfWriteFailed(error, QStringLiteral("The PDF file could not be started."));
        return true;
    }

    void addPage(const Page& page) override {
        if (pages_++ > 0)
            writer_->newPage();
        paintPage(painter_, page, pageSize_, scale_);
    }

    bool finish(QString* error) override {
        painter_.end();
        writer_.reset();
        file_->write(pdfAuthorUpdate(ends_->head(), ends_->tail(), ends_->written(), info_));
        // commit() does not notice a write that fails while it empties the file's buffer (it
        // would put a cut-off PDF in place of the old one): the buffer is emptied and checked
        // first.
        const bool ok = file_->flush() && file_->commit();
        if (!ok)
            pdfWriteFailed(error, file_->errorString());
        file_.reset();
        return ok;
    }

    void abandon() override {
        if (painter_.isActive())
            painter_.end();
        writer_.reset();
        if (file_)
            file_->cancelWriting();
        file_.reset();
    }

  private:
    std::unique_ptr<QSaveFile> file_;
    std::unique_ptr<EndsKeepingDevice> ends_;
    std::unique_ptr<QPdfWriter> writer_;
    QPainter painter_;
    PdfInfo info_;
    QSizeF pageSize_;
    double scale_ = 1;
    int pages_ = 0;
};

} // namespace

std::unique_ptr<PdfPageWriter> makePdfPageWriter(PdfEngine engine) {
    switch (engine) {
    case PdfEngine::Qt:
        return std::make_unique<QtPdfWriter>();
    case PdfEngine::Cairo:
        return makeCairoPdfPageWriter();
    }
    return std::make_unique<QtPdfWriter>();
}

PdfEngine defaultPdfEngine() {
    // Cairo writes the same pages in a fraction of Qt's time (bench/README.md, "Choosing the PDF
    // writer"); Qt's own engine stays at hand.
    if (qEnvironmentVariable("VANTREX_PDF_ENGINE")
            .compare(QLatin1String("qt"), Qt::CaseInsensitive) == 0)
        return PdfEngine::Qt;
    return PdfEngine::Cairo;
}

} // namespace vx::output
