#include "output/ui/page_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace vx::output {

namespace {

constexpr double kScreenDpi = 96;
const QColor kBackground(0x80, 0x80, 0x80);
const QColor kShadow(0x50, 0x50, 0x50);
// The search highlight: a translucent yellow box with a darker edge.
const QColor kHighlightFill(255, 215, 0, 90);
const QColor kHighlightEdge(200, 120, 0, 220);

} // namespace

// The area the scroll area moves: grey with the page in the middle.
class PageView::Canvas : public QWidget {
  public:
    explicit Canvas(PageView* view) : QWidget(view), view_(view) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), kBackground);
        const Document* doc = view_->document_;
        if (!doc || view_->page_ < 1 || view_->page_ > doc->pageCount())
            return;
        const QRect page = view_->canvasRect(QRectF(QPointF(0, 0), doc->pageSize()));
        painter.fillRect(page.translated(4, 4), kShadow);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.save();
        painter.translate(page.topLeft());
        painter.setClipRect(QRect(QPoint(0, 0), page.size()));
        doc->renderPage(painter, view_->page_, view_->scale());
        painter.restore();
        if (view_->highlightPage_ == view_->page_ && !view_->highlightRect_.isNull()) {
            painter.setPen(QPen(kHighlightEdge, 1));
            painter.setBrush(kHighlightFill);
            painter.drawRect(view_->canvasRect(view_->highlightRect_).adjusted(-2, -1, 2, 1));
        }
    }

  private:
    PageView* view_;
};

PageView::PageView(QWidget* parent) : QScrollArea(parent) {
    canvas_ = new Canvas(this);
    setWidget(canvas_);
    setWidgetResizable(false);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setBackgroundRole(QPalette::Dark);
    QPalette pal = palette();
    pal.setColor(QPalette::Dark, kBackground);
    setPalette(pal);
    setFocusPolicy(Qt::StrongFocus);
    resizeCanvas();
}

void PageView::setDocument(const Document* document) {
    document_ = document;
    clearHighlight();
    refresh();
}

void PageView::setPage(int page) {
    if (page_ == page)
        return;
    page_ = page;
    refresh();
    verticalScrollBar()->setValue(0);
}

void PageView::setZoom(int percent) {
    percent = std::clamp(percent, kMinZoom, kMaxZoom);
    if (percent == zoom_)
        return;
    // Keep the point at the middle of the view in place.
    const QPointF middle(horizontalScrollBar()->value() + viewport()->width() / 2.0,
                         verticalScrollBar()->value() + viewport()->height() / 2.0);
    const double ratio = double(percent) / zoom_;
    zoom_ = percent;
    resizeCanvas();
    horizontalScrollBar()->setValue(int(middle.x() * ratio - viewport()->width() / 2.0));
    verticalScrollBar()->setValue(int(middle.y() * ratio - viewport()->height() / 2.0));
    emit zoomChanged(zoom_);
}

double PageView::scale() const {
    return kScreenDpi / kTwipsPerInch * zoom_ / 100.0;
}

void PageView::setHighlight(int page, const QRectF& rect) {
    highlightPage_ = page;
    highlightRect_ = rect;
    canvas_->update();
}

void PageView::clearHighlight() {
    setHighlight(0, QRectF());
}

QRect PageView::canvasRect(const QRectF& rect) const {
    const double s = scale();
    return QRectF(kGap + rect.left() * s, kGap + rect.top() * s, rect.width() * s,
                  rect.height() * s)
        .toAlignedRect();
}

void PageView::ensureRectVisible(const QRectF& rect) {
    const QRect r = canvasRect(rect);
    ensureVisible(r.center().x(), r.center().y(), r.width() / 2 + 3 * kGap,
                  r.height() / 2 + 3 * kGap);
}

void PageView::refresh() {
    resizeCanvas();
    canvas_->update();
}

void PageView::resizeCanvas() {
    QSize size(2 * kGap, 2 * kGap);
    if (document_ && document_->pageCount() > 0) {
        const QSizeF page = document_->pageSize() * scale();
        size += QSize(int(std::ceil(page.width())), int(std::ceil(page.height())));
    }
    canvas_->resize(size);
}

void PageView::wheelEvent(QWheelEvent* event) {
    // Ctrl + wheel zooms in steps of 10 %, as most viewers do.
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0)
            setZoom(zoom_ + 10 * steps);
        event->accept();
        return;
    }
    QScrollArea::wheelEvent(event);
}

} // namespace vx::output
