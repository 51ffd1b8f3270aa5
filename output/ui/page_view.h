#pragma once
// The preview pane of the print preview window: one page of a document, drawn at a zoom on a
// grey background inside a scroll area, with an optional highlight over found text.
//
// 100 % shows the page at 96 dots per inch: a twip is 96 / 1440 pixels times zoom / 100.

#include "output/document.h"

#include <QRectF>
#include <QScrollArea>

namespace vx::output {

class PageView : public QScrollArea {
    Q_OBJECT
  public:
    static constexpr int kMinZoom = 10;
    static constexpr int kMaxZoom = 300;
    // Grey around the page, in pixels.
    static constexpr int kGap = 16;

    explicit PageView(QWidget* parent = nullptr);

    // The document shown (nullptr: none); the view does not own it.
    void setDocument(const Document* document);
    const Document* document() const { return document_; }

    // The page shown, from 1; 0 when there is none.
    void setPage(int page);
    int page() const { return page_; }

    // Percent; kept within kMinZoom..kMaxZoom. zoomChanged is emitted when the value changes.
    void setZoom(int percent);
    int zoom() const { return zoom_; }

    // Pixels per twip at the present zoom.
    double scale() const;

    // Marks `rect` (twips) on page `page`; drawn whenever that page is shown.
    void setHighlight(int page, const QRectF& rect);
    void clearHighlight();
    int highlightPage() const { return highlightPage_; }
    QRectF highlightRect() const { return highlightRect_; }
    // Scrolls so that `rect` (twips, on the page shown) is in view.
    void ensureRectVisible(const QRectF& rect);
    // Where `rect` (twips) lies on the canvas that the scroll area moves, in pixels.
    QRect canvasRect(const QRectF& rect) const;

    // Redraws after the document changed.
    void refresh();

  signals:
    void zoomChanged(int percent);

  protected:
    void wheelEvent(QWheelEvent* event) override;

  private:
    class Canvas;
    void resizeCanvas();

    Canvas* canvas_ = nullptr;
    const Document* document_ = nullptr;
    int page_ = 0;
    int zoom_ = 100;
    int highlightPage_ = 0;
    QRectF highlightRect_;
};

} // namespace vx::output
