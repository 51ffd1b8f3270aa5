#pragma once
// A fixed-width text field of a record buffer: always exactly `width` characters. Assigning a
// value stores it left-justified, padded with blanks or cut to the width (widths count Unicode
// characters; nothing is cut inside a character). A field never assigned holds NUL characters.

#include <QString>

namespace vx::tables {

class FixedText {
  public:
    explicit FixedText(int width = 1) : width_(width), text_(width, QChar(0)) {}
    FixedText& operator=(const QString& value) {
        text_ = fit(value, width_);
        return *this;
    }
    const QString& str() const { return text_; }
    operator const QString&() const { return text_; }
    int width() const { return width_; }
    // The value without leading and trailing blanks.
    QString trimmed() const { return text_.trimmed(); }
    // Back to the never-assigned state.
    void clear() { text_ = QString(width_, QChar(0)); }

    // `value` left-justified in `width` characters.
    static QString fit(const QString& value, int width);

  private:
    int width_;
    QString text_;
};

inline bool operator==(const FixedText& a, const QString& b) {
    return a.str() == b;
}

} // namespace vx::tables
