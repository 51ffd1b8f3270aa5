#pragma once
// Where to hand cairo's PDF surface (cairo 1.16) each glyph so that a PDF viewer draws it where
// it is meant to stand.
//
// Cairo writes each glyph's width into the PDF cut down to a whole thousandth of an em, but moves
// on by the exact advance when it works out the positioning adjustments between the glyphs of a
// run. A viewer moves by the written width, so falls behind by up to a thousandth of an em per
// glyph: 2 twips at the end of a 20-character text in 10 points. That shortfall of a glyph is
// its slack; handing cairo each glyph further on by the slack of the glyphs before it in the same
// run puts it back in place. A run is what cairo writes from one fixed position (a text matrix
// or a move): this class follows cairo's own rules for starting one, and for the written-out
// piece ("buffer") of a run that its rule for a jump measures from.

#include <cstddef>

namespace vx::output {

struct GlyphMetrics {
    double advance = 0; // without kerning, in the units of the positions (twips)
    double slack = 0;   // advance less the width cairo writes
};

class CairoGlyphRuns {
  public:
    // A new text object: cairo starts one on every page.
    void newPage() { open_ = false; }
    // The next glyphs are of `face` (any value that tells one font file from another), at
    // `size` (the em, in twips) on `baseline`.
    void startText(const void* face, double size, double baseline);
    // Where to hand cairo the next glyph, meant to stand at `target`.
    double place(double target, const GlyphMetrics& glyph);

  private:
    void flush();

    bool open_ = false;
    bool restart_ = false; // the next glyph starts a run
    const void* face_ = nullptr;
    double size_ = 0, baseline_ = 0;
    double slack_ = 0;      // of the run's glyphs so far
    double bufferEnd_ = 0;  // where cairo takes its buffer to end: its start plus the advances
    double end_ = 0;        // where the last glyph ends
    std::size_t count_ = 0; // glyphs in the buffer
};

} // namespace vx::output
