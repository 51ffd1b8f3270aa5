#include "output/pdf_cairo_fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>

namespace vx::output {

namespace {

// Enough for the names, dates and totals a report repeats, as for the layout's measures.
constexpr qsizetype kMaxKeptShapes = 20000;

// The advance and the slack (pdf_cairo_runs.h) of every glyph of `raw`, from its 'hmtx' table:
// cairo writes the width of a glyph as the whole thousandths of an em of its advance.
std::vector<GlyphMetrics> glyphMetrics(const QRawFont& raw) {
    const QByteArray hhea = raw.fontTable("hhea"), hmtx = raw.fontTable("hmtx");
    const auto u16 = [](const QByteArray& t, qsizetype at) {
        return at + 1 < t.size() ? (uchar(t[at]) << 8 | uchar(t[at + 1])) : 0;
    };
    const int count = hhea.size() >= 36 ? u16(hhea, 34) : 0;
    const double upem = raw.unitsPerEm(), px = raw.pixelSize();
    std::vector<GlyphMetrics> metrics;
    for (int g = 0; g < count && 4 * g + 1 < hmtx.size(); ++g) {
        const double em = u16(hmtx, 4 * g) / upem;
        metrics.push_back({em * px, (em - double(long(em * 1000)) / 1000) * px});
    }
    return metrics; // the glyphs past the last entry share its advance
}

// The 'head' table of a face: it holds the font's checksum, revision and dates, so two faces
// with the same one are the same font file.
QByteArray headTable(FT_Face face) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, TTAG_head, 0, nullptr, &length) != 0)
        return QByteArray();
    QByteArray table(qsizetype(length), '\0');
    auto* bytes = reinterpret_cast<FT_Byte*>(table.data());
    return FT_Load_Sfnt_Table(face, TTAG_head, 0, bytes, &length) == 0 ? table : QByteArray();
}

std::shared_ptr<cairo_font_options_t> unhinted() {
    std::shared_ptr<cairo_font_options_t> options(cairo_font_options_create(),
                                                  cairo_font_options_destroy);
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    return options;
}

} // namespace

CairoFont* CairoFonts::font(const FontSpec& spec) {
    auto& f = fonts_[{spec.family, spec.size, spec.bold}];
    if (f)
        return f->scaled ? f.get() : nullptr;
    f = std::make_unique<CairoFont>();
    f->raw = QRawFont::fromFont(layoutFont(spec));
    const auto face = f->raw.isValid() ? faceFor(f->raw) : nullptr;
    if (!face) {
        if (error_.isEmpty())
            error_ = QStringLiteral("The font \"%1\" could not be embedded.").arg(spec.family);
        return nullptr;
    }
    f->file = face.get();
    f->ascent = f->raw.ascent();
    f->size = f->raw.pixelSize();
    f->metrics = glyphMetrics(f->raw);
    cairo_matrix_t size;
    cairo_matrix_init_scale(&size, f->size, f->size);
    f->scaled.reset(cairo_scaled_font_create(face.get(), &size, &ctm_, unhinted().get()),
                    cairo_scaled_font_destroy);
    return f.get();
}

// The cairo face of the font file Qt opened for `raw`: the file fontconfig lists under the same
// family and style whose 'head' table is the one Qt reads, so that glyph indices mean the same.
std::shared_ptr<cairo_font_face_t> CairoFonts::faceFor(const QRawFont& raw) {
    auto& face = faces_[{raw.familyName(), raw.styleName()}];
    if (face)
        return face;
    const QByteArray wanted = raw.fontTable("head");
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(raw.familyName().toUtf8().constData()));
    FcPatternAddString(query, FC_STYLE,
                       reinterpret_cast<const FcChar8*>(raw.styleName().toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr);
    FcFontSet* found = FcFontList(nullptr, query, objects);
    for (int i = 0; found && i < found->nfont && !face; ++i) {
        std::shared_ptr<cairo_font_face_t> candidate(
            cairo_ft_font_face_create_for_pattern(found->fonts[i]), cairo_font_face_destroy);
        cairo_matrix_t unit;
        cairo_matrix_init_identity(&unit);
        cairo_scaled_font_t* probe =
            cairo_scaled_font_create(candidate.get(), &unit, &unit, unhinted().get());
        if (FT_Face ft = cairo_ft_scaled_font_lock_face(probe)) {
            if (!wanted.isEmpty() && headTable(ft) == wanted)
                face = candidate;
            cairo_ft_scaled_font_unlock_face(probe);
        }
        cairo_scaled_font_destroy(probe);
    }
    if (found)
        FcFontSetDestroy(found);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(query);
    return face;
}

const ShapedText& CairoFonts::shape(CairoFont& font, const QString& text) {
    if (const auto it = font.shaped.constFind(text); it != font.shaped.constEnd())
        return *it;
    if (font.shaped.size() >= kMaxKeptShapes)
        font.shaped.clear();
    ShapedText s;
    const QList<quint32> ids = font.raw.glyphIndexesForString(text);
    // Kerned design advances: what Qt's shaping gives this font with kerning on and no hinting.
    const QList<QPointF> advances = font.raw.advancesForGlyphIndexes(
        ids, QRawFont::KernedAdvances | QRawFont::UseDesignMetrics);
    for (qsizetype i = 0; i < ids.size(); ++i) {
        s.glyphs.push_back(ids[i]);
        s.x.push_back(s.width);
        s.width += advances[i].x();
        const size_t last = font.metrics.empty() ? 0 : font.metrics.size() - 1;
        s.metrics.push_back(font.metrics.empty() ? GlyphMetrics{advances[i].x(), 0}
                                                 : font.metrics[std::min<size_t>(ids[i], last)]);
    }
    s.utf8 = text.toUtf8();
    // One cluster per character when every character has a glyph of its own (always so for the
    // scripts of a report); otherwise the whole text is one cluster.
    qsizetype chars = 0;
    for (const QChar c : text)
        chars += c.isLowSurrogate() ? 0 : 1;
    if (chars == ids.size()) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            s.clusters.push_back({int(text.mid(i, pair ? 2 : 1).toUtf8().size()), 1});
            i += pair ? 1 : 0;
        }
    } else {
        s.clusters.push_back({int(s.utf8.size()), int(ids.size())});
    }
    return *font.shaped.insert(text, std::move(s));
}

} // namespace vx::output
