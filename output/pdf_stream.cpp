#include "output/pdf_stream.h"

#include <algorithm>

namespace vx::output {

PdfStream::PdfStream(std::unique_ptr<PdfPageWriter> writer, int maxQueued)
    : writer_(std::move(writer)), maxQueued_(static_cast<size_t>(std::max(1, maxQueued))) {}

PdfStream::~PdfStream() {
    abandon();
}

bool PdfStream::begin(const QString& path, QSizeF pageSize, const PdfInfo& info, QString* error) {
    if (started())
        return false;
    begun_ = beginOk_ = finishOk_ = closing_ = dropping_ = false;
    thread_ = std::thread([this, path, pageSize, info] { run(path, pageSize, info); });
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return begun_; });
    if (beginOk_)
        return true;
    lock.unlock();
    thread_.join();
    if (error)
        *error = error_;
    return false;
}

void PdfStream::run(const QString& path, QSizeF pageSize, const PdfInfo& info) {
    QString why;
    const bool ok = writer_->begin(path, pageSize, info, &why);
    {
        std::lock_guard lock(mutex_);
        begun_ = true;
        beginOk_ = ok;
        error_ = why;
    }
    changed_.notify_all();
    if (!ok)
        return;
    paint();
    bool dropped = false;
    {
        std::lock_guard lock(mutex_);
        dropped = dropping_;
    }
    if (dropped) {
        writer_->abandon();
        return;
    }
    why.clear();
    const bool written = writer_->finish(&why);
    std::lock_guard lock(mutex_);
    finishOk_ = written;
    error_ = why;
}

void PdfStream::add(const Page& page) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return queue_.size() < maxQueued_ || dropping_; });
    if (dropping_ || closing_)
        return;
    queue_.push_back(page);
    changed_.notify_all();
}

void PdfStream::paint() {
    for (;;) {
        Page page;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return !queue_.empty() || closing_ || dropping_; });
            if (dropping_ || queue_.empty())
                return; // dropped, or closed with every page painted
            page = std::move(queue_.front());
            queue_.pop_front();
            changed_.notify_all();
        }
        writer_->addPage(page);
    }
}

void PdfStream::stop() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

bool PdfStream::finish(QString* error) {
    if (!started()) {
        if (error)
            *error = QStringLiteral("The PDF file was not started.");
        return false;
    }
    stop();
    if (!finishOk_ && error)
        *error = error_;
    return finishOk_;
}

void PdfStream::abandon() {
    if (!started())
        return;
    {
        std::lock_guard lock(mutex_);
        dropping_ = true;
        queue_.clear();
    }
    stop();
}

} // namespace vx::output
