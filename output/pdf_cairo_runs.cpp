#include "output/pdf_cairo_runs.h"

#include <cmath>

namespace vx::output {

namespace {

// Cairo writes its buffer of glyphs out when it holds this many.
constexpr std::size_t kBufferSize = 200;
// A jump from the buffer's end further than this many em starts a new run.
constexpr double kMaxJump = 10;

} // namespace

void CairoGlyphRuns::startText(const void* face, double size, double baseline) {
    if (!open_ || size != size_) { // a new text object or text matrix
        open_ = true;
        restart_ = true;
        face_ = face;
        size_ = size;
        baseline_ = baseline;
        return;
    }
    if (face != face_) { // another font: the buffer is written out, the run goes on
        face_ = face;
        flush();
    }
    if (baseline != baseline_) { // another line: a move to its first glyph
        baseline_ = baseline;
        restart_ = true;
    }
}

double CairoGlyphRuns::place(double target, const GlyphMetrics& glyph) {
    double x = target + slack_;
    if (restart_ || std::abs(x - bufferEnd_) > kMaxJump * size_) {
        restart_ = false;
        slack_ = 0;
        x = target;
        bufferEnd_ = x;
        count_ = 0;
    }
    bufferEnd_ += glyph.advance;
    end_ = x + glyph.advance;
    slack_ += glyph.slack;
    if (++count_ == kBufferSize)
        flush();
    return x;
}

void CairoGlyphRuns::flush() {
    bufferEnd_ = end_;
    count_ = 0;
}

} // namespace vx::output
