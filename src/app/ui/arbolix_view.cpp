#include "app/ui/arbolix_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "app/ui/wait_cursor.h"
#include "chart/chart_renderer.h"
#include "chart/print_layout.h"
#include "chart/qt_canvas.h"
#include "chart/text_fitting.h"
#include "fills/qt_flags.h"

namespace arbolix {

namespace {

} // namespace

CArbolixView::CArbolixView(ChartDocument& document, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document) {
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()}) {
        bar->setSingleStep(1);
        bar->setPageStep(1);
    }
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { scrolled(Qt::Horizontal, value); });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value) { scrolled(Qt::Vertical, value); });
    updateScrollBars();
}

bool CArbolixView::zoomIn() {
    rememberWindowSize();
    if (!ZoomIn(document_.view(), document_.tree(), document_.settings())) return false;
    chartChanged();
    return true;
}

bool CArbolixView::zoomOut() {
    if (!ZoomOut(document_.view())) return false;
    chartChanged();
    return true;
}

void CArbolixView::defaultZoom() {
    DefaultZoom(document_.view());
    chartChanged();
}

void CArbolixView::chartChanged() {
    updateScrollBars();
    viewport()->update();
}

QSizeF CArbolixView::drawingSize() const {
    const PageTile tile = ScreenTile(viewport()->width(), viewport()->height());
    const ChartTree& tree = document_.tree();
    ChartMetrics metrics = ChartMetrics::Of(tree, document_.settings(), document_.view().zoom);
    if (tree.ancestorCount == 0) metrics.extentX = tree.descendantExtentX;
    const DrawingArea area = FitDrawingSize(tile.drawingWidth, tile.drawingHeight, metrics);
    return {area.width, area.height};
}

void CArbolixView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    painter.fillRect(event->rect(), palette().color(QPalette::Base));
    if (!document_.hasChart()) return;
    const PageTile tile = ScreenTile(viewport()->width(), viewport()->height());
    QtCanvas canvas(painter);
    canvas.setFlagPainter([](QPainter& p, int32_t flag, const QRect& target) { DrawFlag(p, flag, QRectF(target)); });
    const ViewState& view = document_.view();
    DrawChart(canvas, document_.tree(), document_.store(), document_.settings(),
              ChartView{view.zoom, view.scrollX, view.scrollY}, tile.drawingWidth, tile.drawingHeight, tile.origin,
              document_.reporter());
}

void CArbolixView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    rememberWindowSize();
    viewport()->update();
}

// How far the chart may be zoomed depends on how large its boxes are in the window.
void CArbolixView::rememberWindowSize() {
    const PageTile tile = ScreenTile(viewport()->width(), viewport()->height());
    ViewState& view = document_.view();
    view.windowWidth = tile.drawingWidth;
    view.windowHeight = tile.drawingHeight;
}

// Scrolling is done here, by whole half windows, not by the pixel offsets of the base class.
void CArbolixView::scrollContentsBy(int, int) {}

void CArbolixView::scrolled(Qt::Orientation orientation, int value) {
    if (settingBars_) return;
    ViewState& view = document_.view();
    const QSizeF size = drawingSize();
    if (orientation == Qt::Horizontal) {
        const int64_t dx = ScrollPixels(view.scrollX, value, size.width());
        view.scrollX = value;
        if (dx != 0) viewport()->scroll(static_cast<int>(dx), 0);
        else viewport()->update();
    } else {
        const int64_t dy = ScrollPixels(view.scrollY, value, size.height());
        view.scrollY = value;
        if (dy != 0) viewport()->scroll(0, static_cast<int>(dy));
        else viewport()->update();
    }
}

void CArbolixView::updateScrollBars() {
    const ViewState& view = document_.view();
    const int maximum = static_cast<int>(std::min<int64_t>(view.scrollMax(), INT32_MAX));
    settingBars_ = true;
    horizontalScrollBar()->setRange(0, maximum);
    verticalScrollBar()->setRange(0, maximum);
    horizontalScrollBar()->setValue(static_cast<int>(view.scrollX));
    verticalScrollBar()->setValue(static_cast<int>(std::min<int64_t>(view.scrollY, INT32_MAX)));
    settingBars_ = false;
}

void CArbolixView::setScrollPositions(int64_t x, int64_t y) {
    ViewState& view = document_.view();
    view.scrollX = static_cast<int32_t>(x);
    view.scrollY = y;
    view.clampScroll();
    chartChanged();
}

void CArbolixView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    if (event->button() == Qt::LeftButton && control) {
        const std::optional<BoxHit> hit = HitTest(document_.tree(), point.x(), point.y());
        if (!hit) return;
        {
            WaitCursor wait;
            if (!document_.reroot(*hit)) return;
        }
        chartChanged();
        if (onRerooted) onRerooted();
    } else if (event->button() == Qt::LeftButton) {
        // The quarter is chosen at the zoom clicked on; the positions apply to the doubled chart.
        rememberWindowSize();
        const std::optional<ScrollPosition> target =
            ClickZoomTarget(document_.view(), document_.tree(), document_.settings(), point.x(),
                            point.y(), viewport()->width(), viewport()->height());
        if (!target || !ZoomIn(document_.view(), document_.tree(), document_.settings())) return;
        setScrollPositions(target->x, target->y);
    } else if (event->button() == Qt::RightButton && control) {
        const std::optional<BoxHit> hit = HitTest(document_.tree(), point.x(), point.y());
        if (hit && onPersonCard) onPersonCard(hit->xref);
    } else if (event->button() == Qt::RightButton) {
        zoomOut();
    }
}

void CArbolixView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    emit statusText(QString::fromStdString(StatusTextAt(document_.tree(), point.x(), point.y())));
    QAbstractScrollArea::mouseMoveEvent(event);
}

// The wheel moves by half windows (Shift: across); with Ctrl it zooms.
void CArbolixView::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    const int steps = wheelRemainder_ / 120;
    wheelRemainder_ %= 120;
    event->accept();
    if (steps == 0) return;
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        for (int i = 0; i < std::abs(steps); ++i) steps > 0 ? zoomIn() : zoomOut();
        return;
    }
    QScrollBar* bar = event->modifiers().testFlag(Qt::ShiftModifier) || event->angleDelta().y() == 0
                          ? horizontalScrollBar()
                          : verticalScrollBar();
    bar->setValue(bar->value() - steps);
}

} // namespace arbolix
