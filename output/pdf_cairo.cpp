// PDF files through cairo's PDF surface. Every text is drawn as the glyphs Qt places for it: the
// glyph indices and the kerned advances come from the QRawFont of the item's layout font, and
// cairo draws them from the same font file (found through fontconfig and checked against the
// file Qt opened), so the glyphs stand where the preview and QPdfWriter put them. The text goes
// in with its characters (cairo_show_text_glyphs), so that it stays extractable, and cairo embeds
// the subset of each font the document uses.
//
// Threads: a writer uses no widget and no painter; its fonts, caches and cairo objects are its
// own, and cairo and fontconfig guard what they share. It can run on any thread (one thread at
// a time), such as a worker thread that paints pages while the main thread lays them out, as long
// as the application object exists (QRawFont needs Qt's font database).
#include "output/page_paint.h"
#include "output/pdf_writer.h"

#include <QDateTime>
#include <QHash>
#include <QRawFont>
#include <QSaveFile>
#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace vx::output {

namespace {

template <class T, void (*Destroy)(T*)> struct Deleter {
    void operator()(T* p) const { Destroy(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, Deleter<cairo_surface_t, cairo_surface_destroy>>;
using Context = std::unique_ptr<cairo_t, Deleter<cairo_t, cairo_destroy>>;
using FontFace =
    std::unique_ptr<cairo_font_face_t, Deleter<cairo_font_face_t, cairo_font_face_destroy>>;
using ScaledFont =
    std::unique_ptr<cairo_scaled_font_t, Deleter<cairo_scaled_font_t, cairo_scaled_font_destroy>>;
using Pattern = std::unique_ptr<FcPattern, Deleter<FcPattern, FcPatternDestroy>>;
using FontSet = std::unique_ptr<FcFontSet, Deleter<FcFontSet, FcFontSetDestroy>>;
using ObjectSet = std::unique_ptr<FcObjectSet, Deleter<FcObjectSet, FcObjectSetDestroy>>;

// A text laid out once in one font: its glyphs with their x from the text's start and their
// slack (see Font), its UTF-8 and one cluster per character, and its width.
struct Shaped {
    std::vector<unsigned long> glyphs;
    std::vector<double> x, slack;
    QByteArray utf8;
    std::vector<cairo_text_cluster_t> clusters;
    double width = 0;
};

// Enough for the names, dates and totals a report repeats, as for the layout's measures.
constexpr qsizetype kMaxKeptShapes = 20000;

// Cairo (1.16) writes each glyph's width into the PDF cut down to a whole thousandth of an em,
// but moves on by the exact advance when it works out the kerning and positioning adjustments
// between the glyphs of a run. A viewer, which moves by the written width, so falls behind by up
// to a thousandth of an em per glyph: 2 twips at the end of a 20-character text in 10 points.
// The slack of a glyph is that shortfall in twips; the writer adds the slack of the glyphs before
// in the same run to the position it hands cairo, so that the glyphs land where Qt puts them.
struct Font {
    QRawFont raw;
    ScaledFont scaled;
    double ascent = 0;
    std::vector<double> slack; // by glyph index
    QHash<QString, Shaped> shaped;
};

// The slack of every glyph of `raw` (its 'hmtx' advances against the widths cairo writes).
std::vector<double> glyphSlack(const QRawFont& raw) {
    const QByteArray hhea = raw.fontTable("hhea"), hmtx = raw.fontTable("hmtx");
    const auto u16 = [](const QByteArray& t, qsizetype at) {
        return at + 1 < t.size() ? (uchar(t[at]) << 8 | uchar(t[at + 1])) : 0;
    };
    const int metrics = hhea.size() >= 36 ? u16(hhea, 34) : 0;
    const double upem = raw.unitsPerEm(), px = raw.pixelSize();
    std::vector<double> slack;
    for (int g = 0; g < metrics && 4 * g + 1 < hmtx.size(); ++g) {
        const double em = u16(hmtx, 4 * g) / upem;
        slack.push_back((em - double(long(em * 1000)) / 1000) * px);
    }
    return slack; // the glyphs past the last metric share its advance
}

// The 'head' table of the face: it holds the font's checksum, revision and dates, so two faces
// with the same one are the same font file.
QByteArray headTable(FT_Face face) {
    FT_ULong length = 0;
    if (FT_Load_Sfnt_Table(face, TTAG_head, 0, nullptr, &length) != 0)
        return QByteArray();
    QByteArray table(qsizetype(length), '\0');
    if (FT_Load_Sfnt_Table(face, TTAG_head, 0, reinterpret_cast<FT_Byte*>(table.data()), &length) !=
        0)
        return QByteArray();
    return table;
}

class CairoPdfWriter : public PdfPageWriter {
  public:
    ~CairoPdfWriter() override { abandon(); }

    bool begin(const QString& path, QSizeF pageSize, const PdfInfo& info, QString* error) override {
        file_ = std::make_unique<QSaveFile>(path);
        if (!file_->open(QIODevice::WriteOnly))
            return pdfWriteFailed(error, file_->errorString());
        // Twips to points: 20 twips make a point.
        surface_.reset(cairo_pdf_surface_create_for_stream(&CairoPdfWriter::write, this,
                                                           pageSize.width() / kTwipsPerPoint,
                                                           pageSize.height() / kTwipsPerPoint));
        const auto meta = [&](cairo_pdf_metadata_t what, const QString& text) {
            cairo_pdf_surface_set_metadata(surface_.get(), what, text.toUtf8().constData());
        };
        meta(CAIRO_PDF_METADATA_TITLE, info.title);
        meta(CAIRO_PDF_METADATA_AUTHOR, info.author);
        meta(CAIRO_PDF_METADATA_CREATOR, info.creator);
        meta(CAIRO_PDF_METADATA_CREATE_DATE,
             QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")));
        cr_.reset(cairo_create(surface_.get()));
        cairo_scale(cr_.get(), 1.0 / kTwipsPerPoint, 1.0 / kTwipsPerPoint);
        if (cairo_status(cr_.get()) != CAIRO_STATUS_SUCCESS) {
            const QString why = QString::fromUtf8(cairo_status_to_string(cairo_status(cr_.get())));
            abandon();
            return pdfWriteFailed(error,
                                  QStringLiteral("The PDF file could not be started: ") + why);
        }
        pageSize_ = pageSize;
        return true;
    }

    void addPage(const Page& page) override {
        cairo_t* cr = cr_.get();
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_rectangle(cr, 0, 0, pageSize_.width(), pageSize_.height());
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0, 0, 0);
        current_ = nullptr;
        run_.open = false;
        for (const TextItem& item : page.items)
            drawItem(item);
        for (const TextItem& item : page.footer)
            drawItem(item);
        cairo_show_page(cr);
    }

    bool finish(QString* error) override {
        cr_.reset();
        cairo_surface_finish(surface_.get());
        const cairo_status_t status = cairo_surface_status(surface_.get());
        surface_.reset();
        fonts_.clear();
        faces_.clear();
        QString why = fontError_;
        if (why.isEmpty() && (writeFailed_ || status != CAIRO_STATUS_SUCCESS))
            why = writeFailed_ ? file_->errorString()
                               : QString::fromUtf8(cairo_status_to_string(status));
        // The buffer is emptied and checked before commit(), which does not notice a write that
        // fails while it empties it (it would put a cut-off PDF in place of the old one).
        if (why.isEmpty() && !(file_->flush() && file_->commit()))
            why = file_->errorString();
        if (!why.isEmpty())
            file_->cancelWriting();
        file_.reset();
        return why.isEmpty() || pdfWriteFailed(error, why);
    }

    void abandon() override {
        // Destroying the surface finishes the file: what it writes then goes nowhere.
        discard_ = true;
        cr_.reset();
        surface_.reset();
        fonts_.clear();
        faces_.clear();
        if (file_)
            file_->cancelWriting();
        file_.reset();
    }

  private:
    static cairo_status_t write(void* closure, const unsigned char* data, unsigned int length) {
        auto* self = static_cast<CairoPdfWriter*>(closure);
        if (self->discard_)
            return CAIRO_STATUS_SUCCESS;
        if (self->file_->write(reinterpret_cast<const char*>(data), length) != qint64(length)) {
            self->writeFailed_ = true;
            return CAIRO_STATUS_WRITE_ERROR;
        }
        return CAIRO_STATUS_SUCCESS;
    }

    void drawItem(const TextItem& item);
    Font* font(const FontSpec& spec);
    cairo_font_face_t* faceFor(const QRawFont& raw);
    const Shaped& shape(Font& font, const QString& text);

    std::unique_ptr<QSaveFile> file_;
    Surface surface_;
    Context cr_;
    QSizeF pageSize_;
    std::map<std::tuple<QString, double, bool>, std::unique_ptr<Font>> fonts_;
    std::map<std::pair<QString, QString>, FontFace> faces_; // by family and style
    Font* current_ = nullptr;                               // the font set on the context
    // Where cairo stands in its run of glyphs (see Font).
    struct Run {
        bool open = false;
        double size = 0, baseline = 0;
        double slack = 0; // of the run's glyphs so far, in twips
        double end = 0;   // where cairo takes the run's last glyph to end
    } run_;
    std::vector<cairo_glyph_t> glyphs_; // reused for every item
    QString fontError_;
    bool writeFailed_ = false;
    bool discard_ = false;
};

void CairoPdfWriter::drawItem(const TextItem& item) {
    QString text = item.text;
    double left = item.box.left();
    if (item.clipped) {
        // Only the letters that fit wholly, each where it stands in the whole text.
        const VisiblePart part = visiblePart(item);
        text = part.text;
        left += part.left;
    }
    if (text.isEmpty())
        return;
    Font* f = font(item.font);
    if (!f)
        return;
    const Shaped& s = shape(*f, text);
    if (!item.clipped)
        left = textLeft(item, s.width);
    const double baseline = item.box.top() + f->ascent;
    // Cairo starts a new run (places the first glyph exactly) on a new page, for a new font size,
    // on another baseline and for a jump of more than 10 em; otherwise the glyphs go on in the
    // run before, and so does its slack.
    const double px = f->raw.pixelSize();
    if (!run_.open || run_.size != px || run_.baseline != baseline ||
        std::abs(left + run_.slack - run_.end) > 10 * px)
        run_ = Run{true, px, baseline, 0, 0};
    glyphs_.resize(s.glyphs.size());
    for (size_t i = 0; i < s.glyphs.size(); ++i) {
        glyphs_[i] = cairo_glyph_t{s.glyphs[i], left + s.x[i] + run_.slack, baseline};
        run_.slack += s.slack[i];
    }
    run_.end = glyphs_.back().x + (s.width - s.x.back());
    if (current_ != f) {
        cairo_set_scaled_font(cr_.get(), f->scaled.get());
        current_ = f;
    }
    cairo_show_text_glyphs(cr_.get(), s.utf8.constData(), int(s.utf8.size()), glyphs_.data(),
                           int(glyphs_.size()), s.clusters.data(), int(s.clusters.size()),
                           cairo_text_cluster_flags_t(0));
}

const Shaped& CairoPdfWriter::shape(Font& font, const QString& text) {
    if (const auto it = font.shaped.constFind(text); it != font.shaped.constEnd())
        return *it;
    if (font.shaped.size() >= kMaxKeptShapes)
        font.shaped.clear();
    Shaped s;
    const QList<quint32> ids = font.raw.glyphIndexesForString(text);
    // Kerned design advances: what Qt's shaping gives this font with kerning on and no hinting.
    const QList<QPointF> advances = font.raw.advancesForGlyphIndexes(
        ids, QRawFont::KernedAdvances | QRawFont::UseDesignMetrics);
    for (qsizetype i = 0; i < ids.size(); ++i) {
        s.glyphs.push_back(ids[i]);
        s.x.push_back(s.width);
        s.width += advances[i].x();
        const size_t last = font.slack.empty() ? 0 : font.slack.size() - 1;
        s.slack.push_back(font.slack.empty() ? 0 : font.slack[std::min<size_t>(ids[i], last)]);
    }
    s.utf8 = text.toUtf8();
    // One cluster per character when every character has a glyph of its own (always so for the
    // scripts of a report); otherwise the whole text is one cluster.
    qsizetype chars = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text[i].isLowSurrogate())
            ++chars;
    if (chars == ids.size()) {
        for (qsizetype i = 0; i < text.size(); ++i) {
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            const int bytes = int(text.mid(i, pair ? 2 : 1).toUtf8().size());
            s.clusters.push_back(cairo_text_cluster_t{bytes, 1});
            i += pair ? 1 : 0;
        }
    } else {
        s.clusters.push_back(cairo_text_cluster_t{int(s.utf8.size()), int(ids.size())});
    }
    return *font.shaped.insert(text, std::move(s));
}

Font* CairoPdfWriter::font(const FontSpec& spec) {
    auto& f = fonts_[{spec.family, spec.size, spec.bold}];
    if (f)
        return f->scaled ? f.get() : nullptr;
    f = std::make_unique<Font>();
    f->raw = QRawFont::fromFont(layoutFont(spec));
    cairo_font_face_t* face = f->raw.isValid() ? faceFor(f->raw) : nullptr;
    if (!face) {
        if (fontError_.isEmpty())
            fontError_ = QStringLiteral("The font \"%1\" could not be embedded.").arg(spec.family);
        return nullptr;
    }
    f->ascent = f->raw.ascent();
    f->slack = glyphSlack(f->raw);
    cairo_matrix_t size, ctm;
    cairo_matrix_init_scale(&size, f->raw.pixelSize(), f->raw.pixelSize());
    cairo_get_matrix(cr_.get(), &ctm);
    std::unique_ptr<cairo_font_options_t, Deleter<cairo_font_options_t, cairo_font_options_destroy>>
        options(cairo_font_options_create());
    cairo_font_options_set_hint_style(options.get(), CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options.get(), CAIRO_HINT_METRICS_OFF);
    f->scaled.reset(cairo_scaled_font_create(face, &size, &ctm, options.get()));
    return f.get();
}

// The cairo face of the font file Qt opened for `raw`: the file fontconfig lists under the same
// family and style whose 'head' table is the one Qt reads, so that glyph indices mean the same.
cairo_font_face_t* CairoPdfWriter::faceFor(const QRawFont& raw) {
    auto& face = faces_[{raw.familyName(), raw.styleName()}];
    if (face)
        return face.get();
    const QByteArray wanted = raw.fontTable("head");
    const Pattern query(FcPatternCreate());
    FcPatternAddString(query.get(), FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(raw.familyName().toUtf8().constData()));
    FcPatternAddString(query.get(), FC_STYLE,
                       reinterpret_cast<const FcChar8*>(raw.styleName().toUtf8().constData()));
    const ObjectSet objects(FcObjectSetBuild(FC_FILE, FC_INDEX, nullptr));
    const FontSet found(FcFontList(nullptr, query.get(), objects.get()));
    for (int i = 0; found && i < found->nfont; ++i) {
        FontFace candidate(cairo_ft_font_face_create_for_pattern(found->fonts[i]));
        cairo_matrix_t unit;
        cairo_matrix_init_identity(&unit);
        std::unique_ptr<cairo_font_options_t,
                        Deleter<cairo_font_options_t, cairo_font_options_destroy>>
            options(cairo_font_options_create());
        const ScaledFont probe(
            cairo_scaled_font_create(candidate.get(), &unit, &unit, options.get()));
        FT_Face ft = cairo_ft_scaled_font_lock_face(probe.get());
        const bool same = ft && !wanted.isEmpty() && headTable(ft) == wanted;
        if (ft)
            cairo_ft_scaled_font_unlock_face(probe.get());
        if (same) {
            face = std::move(candidate);
            return face.get();
        }
    }
    return nullptr;
}

} // namespace

std::unique_ptr<PdfPageWriter> makeCairoPdfPageWriter() {
    return std::make_unique<CairoPdfWriter>();
}

} // namespace vx::output
