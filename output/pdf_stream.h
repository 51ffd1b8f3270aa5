#pragma once
// A PDF file written while its document is still being laid out: each page, once complete, is
// handed to a second thread that paints it into the file, so layout and painting use both cores.
// At most `maxQueued` pages wait between the two (the layout waits when the painter falls
// behind), so memory stays flat however long the document. The pages are painted one after
// another in their order by one writer, so the file does not depend on how fast either side is.
// The writer is used on the painting thread only, from begin to finish or abandon: Qt's font
// engines belong to the thread that made them.

#include "output/pdf_writer.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace vx::output {

class PdfStream {
  public:
    explicit PdfStream(std::unique_ptr<PdfPageWriter> writer, int maxQueued = 32);
    ~PdfStream(); // abandons a file not finished
    PdfStream(const PdfStream&) = delete;
    PdfStream& operator=(const PdfStream&) = delete;

    // Starts the file and the painting thread; false with `error` set when the file cannot be
    // started (no thread is started then).
    bool begin(const QString& path, QSizeF pageSize, const PdfInfo& info, QString* error);
    bool started() const { return thread_.joinable(); }
    // Queues a complete page for painting; waits while `maxQueued` pages are waiting already.
    void add(const Page& page);
    // Waits for the queued pages to be painted and completes the file; false with `error` set
    // when the file could not be completed.
    bool finish(QString* error);
    // Stops painting and drops the file; what was at its path before stays.
    void abandon();

  private:
    void run(const QString& path, QSizeF pageSize, const PdfInfo& info);
    void paint();
    void stop();

    std::unique_ptr<PdfPageWriter> writer_;
    const size_t maxQueued_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Page> queue_;
    bool closing_ = false;  // no more pages will come
    bool dropping_ = false; // the pages still queued are not painted
    bool begun_ = false;    // the writer's begin has returned
    bool beginOk_ = false;
    bool finishOk_ = false;
    QString error_; // from the writer's begin or finish
    std::thread thread_;
};

} // namespace vx::output
