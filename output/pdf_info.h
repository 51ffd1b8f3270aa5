#pragma once
// The document properties of a saved PDF (title, author, creator). Qt's PDF writer fills in the
// title and the creator but has no author field, so the author is added after the PDF is
// written, as an incremental update: a new version of the information dictionary, its
// cross-reference section and a new trailer appended to the file, as PDF allows for edits.

#include <QByteArray>
#include <QIODevice>
#include <QString>

namespace vx::output {

struct PdfInfo {
    QString title, author, creator;
};

// Writes through to `out` and keeps the first and the last kKept bytes written and their count,
// so that a PDF streamed to disk can be read back where its information dictionary and its
// trailer are.
class EndsKeepingDevice : public QIODevice {
  public:
    static constexpr qsizetype kKept = 4096;
    explicit EndsKeepingDevice(QIODevice& out) : out_(out) {}
    bool isSequential() const override { return true; }
    QByteArray head() const { return head_; }
    QByteArray tail() const { return tail_.right(kKept); }
    qint64 written() const { return written_; }

  protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

  private:
    QIODevice& out_;
    QByteArray head_, tail_;
    qint64 written_ = 0;
};

// The bytes to append to a PDF of `size` bytes, whose first and last bytes are `head` and
// `tail`, so that its information dictionary also names `author`. The dictionary the PDF has is
// kept (when it lies within `head`); otherwise the new one holds the title and the creator of
// `info`. Empty when `tail` holds no trailer to update.
QByteArray pdfAuthorUpdate(const QByteArray& head, const QByteArray& tail, qint64 size,
                           const PdfInfo& info);

} // namespace vx::output
