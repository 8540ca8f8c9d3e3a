#pragma once
// The chart window: draws the chart of the document, zooms by powers of two, scrolls by half
// windows, and answers the mouse (click to zoom on a quarter, Ctrl+click to re-root, names under
// the pointer).

#include <QAbstractScrollArea>

#include <functional>

#include "app/chart_document.h"

namespace arbolix {

class CArbolixView final : public QAbstractScrollArea {
    Q_OBJECT
public:
    CArbolixView(ChartDocument& document, QWidget* parent = nullptr);

    // The zoom commands; false when refused.
    bool zoomIn();
    bool zoomOut();
    void defaultZoom();
    // After the document changed (a new chart, a new root, a setting): scroll bars and drawing.
    void chartChanged();
    // The drawing size the chart gets in the window, as the scroll steps use it.
    QSizeF drawingSize() const;

    // Ctrl+right-click on a box: the person's xref (the person card).
    std::function<void(int32_t xref)> onPersonCard;
    // A re-root (Ctrl+left-click) changed the chart.
    std::function<void()> onRerooted;

signals:
    void statusText(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void scrolled(Qt::Orientation orientation, int value);
    void updateScrollBars();
    void rememberWindowSize();
    void setScrollPositions(int64_t x, int64_t y);

    ChartDocument& document_;
    bool settingBars_ = false;
    int wheelRemainder_ = 0;
};

} // namespace arbolix
