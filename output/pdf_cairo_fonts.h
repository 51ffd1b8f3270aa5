#pragma once
// The fonts of the cairo PDF writer (output/pdf_cairo.cpp): for each layout font, the QRawFont
// Qt draws it with and a cairo font of the same font file, and its texts laid out as Qt lays
// them out (glyph indices and kerned design advances from the QRawFont), each once.

#include "output/page_layout.h"
#include "output/pdf_cairo_runs.h"

#include <QHash>
#include <QRawFont>
#include <cairo.h>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace vx::output {

// A text laid out in one font: its glyphs with their x from the text's start and their metrics,
// its UTF-8 and one cluster per character, and its width (twips).
struct ShapedText {
    std::vector<unsigned long> glyphs;
    std::vector<double> x;
    std::vector<GlyphMetrics> metrics;
    QByteArray utf8;
    std::vector<cairo_text_cluster_t> clusters;
    double width = 0;
};

struct CairoFont {
    QRawFont raw;
    std::shared_ptr<cairo_scaled_font_t> scaled;
    const void* file = nullptr;        // the same for every size of one font file
    double ascent = 0, size = 0;       // twips
    std::vector<GlyphMetrics> metrics; // by glyph index
    QHash<QString, ShapedText> shaped;
};

// The fonts of one writer, for the text space `ctm` (the writer's twips to points).
class CairoFonts {
  public:
    explicit CairoFonts(const cairo_matrix_t& ctm) : ctm_(ctm) {}
    // The font for `spec`; nullptr when its file cannot be found (`error()` says which).
    CairoFont* font(const FontSpec& spec);
    const ShapedText& shape(CairoFont& font, const QString& text);
    QString error() const { return error_; }

  private:
    std::shared_ptr<cairo_font_face_t> faceFor(const QRawFont& raw);

    cairo_matrix_t ctm_;
    std::map<std::tuple<QString, double, bool>, std::unique_ptr<CairoFont>> fonts_;
    std::map<std::pair<QString, QString>, std::shared_ptr<cairo_font_face_t>> faces_;
    QString error_;
};

} // namespace vx::output
