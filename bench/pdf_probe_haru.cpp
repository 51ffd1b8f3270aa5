// The libharu candidate of the PDF writer probe: the same fonts files (found through fontconfig
// from the QRawFont of each layout font), loaded as embedded TrueType fonts in libharu's UTF-8
// encoding, and every text drawn where Qt places it: a text is cut into runs at each kerned pair
// (libharu has no kerning of its own) and each run starts at Qt's position of its first glyph.
#include "bench/pdf_probe.h"

#include "output/page_paint.h"

#include <QFile>
#include <QRawFont>
#include <fontconfig/fontconfig.h>
#include <hpdf.h>

#include <cmath>
#include <map>
#include <tuple>

namespace vx::bench {

namespace {

using output::FontSpec;
using output::kTwipsPerPoint;
using output::TextItem;

// The file fontconfig lists for the family and style Qt opened.
QString fontFile(const QRawFont& raw) {
    FcPattern* query = FcPatternCreate();
    FcPatternAddString(query, FC_FAMILY,
                       reinterpret_cast<const FcChar8*>(raw.familyName().toUtf8().constData()));
    FcPatternAddString(query, FC_STYLE,
                       reinterpret_cast<const FcChar8*>(raw.styleName().toUtf8().constData()));
    FcObjectSet* objects = FcObjectSetBuild(FC_FILE, nullptr);
    FcFontSet* found = FcFontList(nullptr, query, objects);
    QString file;
    FcChar8* name = nullptr;
    if (found && found->nfont > 0 &&
        FcPatternGetString(found->fonts[0], FC_FILE, 0, &name) == FcResultMatch)
        file = QString::fromUtf8(reinterpret_cast<const char*>(name));
    if (found)
        FcFontSetDestroy(found);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(query);
    return file;
}

struct HaruFont {
    QRawFont raw;
    HPDF_Font font = nullptr;
};

class HaruWriter : public output::PdfPageWriter {
  public:
    ~HaruWriter() override { abandon(); }

    bool begin(const QString& path, QSizeF pageSize, const output::PdfInfo& info,
               QString* error) override {
        pdf_ = HPDF_New(&HaruWriter::onError, this);
        if (!pdf_)
            return vx::output::pdfWriteFailed(error,
                                              QStringLiteral("libharu could not start a document"));
        HPDF_SetCompressionMode(pdf_, HPDF_COMP_ALL);
        HPDF_UseUTFEncodings(pdf_);
        HPDF_SetCurrentEncoder(pdf_, "UTF-8");
        HPDF_SetInfoAttr(pdf_, HPDF_INFO_TITLE, info.title.toUtf8().constData());
        HPDF_SetInfoAttr(pdf_, HPDF_INFO_AUTHOR, info.author.toUtf8().constData());
        HPDF_SetInfoAttr(pdf_, HPDF_INFO_CREATOR, info.creator.toUtf8().constData());
        path_ = path;
        pageSize_ = pageSize;
        return error_.isEmpty() || vx::output::pdfWriteFailed(error, error_);
    }

    void addPage(const output::Page& page) override {
        page_ = HPDF_AddPage(pdf_);
        HPDF_Page_SetWidth(page_, float(pageSize_.width() / kTwipsPerPoint));
        HPDF_Page_SetHeight(page_, float(pageSize_.height() / kTwipsPerPoint));
        HPDF_Page_BeginText(page_);
        current_ = nullptr;
        for (const TextItem& item : page.items)
            drawItem(item);
        for (const TextItem& item : page.footer)
            drawItem(item);
        HPDF_Page_EndText(page_);
    }

    bool finish(QString* error) override {
        // libharu keeps the whole document until it is saved: it is saved beside the target and
        // then put in its place.
        const QString temp = path_ + QStringLiteral(".haru-part");
        if (error_.isEmpty())
            HPDF_SaveToFile(pdf_, QFile::encodeName(temp).constData());
        HPDF_Free(pdf_);
        pdf_ = nullptr;
        if (!error_.isEmpty()) {
            QFile::remove(temp);
            return vx::output::pdfWriteFailed(error, error_);
        }
        QFile::remove(path_);
        if (!QFile::rename(temp, path_))
            return vx::output::pdfWriteFailed(error,
                                              QStringLiteral("the file could not be put in place"));
        return true;
    }

    void abandon() override {
        if (pdf_)
            HPDF_Free(pdf_);
        pdf_ = nullptr;
    }

  private:
    static void onError(HPDF_STATUS error, HPDF_STATUS detail, void* self) {
        auto* w = static_cast<HaruWriter*>(self);
        if (w->error_.isEmpty())
            w->error_ = QStringLiteral("libharu error 0x%1 (%2)").arg(error, 0, 16).arg(detail);
    }

    HaruFont* font(const FontSpec& spec) {
        auto& f = fonts_[{spec.family, spec.size, spec.bold}];
        if (f.font)
            return &f;
        f.raw = QRawFont::fromFont(output::layoutFont(spec));
        const QString file = fontFile(f.raw);
        const auto key = file.toUtf8();
        if (!loaded_.count(key)) // libharu loads a file once per document
            loaded_[key] = HPDF_LoadTTFontFromFile(pdf_, key.constData(), HPDF_TRUE);
        if (const char* name = loaded_[key])
            f.font = HPDF_GetFont(pdf_, name, "UTF-8");
        return f.font ? &f : nullptr;
    }

    void drawItem(const TextItem& item) {
        QString text = item.text;
        double left = item.box.left();
        if (item.clipped) {
            const output::VisiblePart part = output::visiblePart(item);
            text = part.text;
            left += part.left;
        }
        HaruFont* f = text.isEmpty() ? nullptr : font(item.font);
        if (!f)
            return;
        const QList<quint32> ids = f->raw.glyphIndexesForString(text);
        const auto kerned = f->raw.advancesForGlyphIndexes(ids, QRawFont::KernedAdvances |
                                                                    QRawFont::UseDesignMetrics);
        const auto plain = f->raw.advancesForGlyphIndexes(ids, QRawFont::UseDesignMetrics);
        double width = 0;
        for (const QPointF& a : kerned)
            width += a.x();
        if (!item.clipped)
            left = output::textLeft(item, width);
        if (current_ != f) {
            HPDF_Page_SetFontAndSize(page_, f->font, float(f->raw.pixelSize() / kTwipsPerPoint));
            current_ = f;
        }
        const double baseline = pageSize_.height() - item.box.top() - f->raw.ascent();
        // Runs of glyphs between kerned pairs, each at Qt's position of its first glyph.
        double x = left;
        qsizetype start = 0;
        for (qsizetype i = 0; i < ids.size() && ids.size() == text.size(); ++i) {
            const bool last = i + 1 == ids.size();
            if (last || std::abs(kerned[i].x() - plain[i].x()) > 1e-6) {
                HPDF_Page_TextOut(page_, float(x / kTwipsPerPoint),
                                  float(baseline / kTwipsPerPoint),
                                  text.mid(start, i + 1 - start).toUtf8().constData());
                for (qsizetype j = start; j <= i; ++j)
                    x += kerned[j].x();
                start = i + 1;
            }
        }
    }

    HPDF_Doc pdf_ = nullptr;
    HPDF_Page page_ = nullptr;
    QString path_, error_;
    QSizeF pageSize_;
    std::map<std::tuple<QString, double, bool>, HaruFont> fonts_;
    std::map<QByteArray, const char*> loaded_;
    HaruFont* current_ = nullptr;
};

} // namespace

std::unique_ptr<output::PdfPageWriter> makeHaruPdfWriter() {
    return std::make_unique<HaruWriter>();
}

} // namespace vx::bench
