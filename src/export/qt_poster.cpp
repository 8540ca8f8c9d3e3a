#include "export/qt_poster.h"

#include <QPagedPaintDevice>
#include <QPainter>

#include "chart/qt_canvas.h"
#include "fills/qt_flags.h"

namespace arbolix {

PosterSheets SheetsOnDevice(const QPaintDevice& device, const PageLayout& layout) {
    return MakePosterSheets(layout, device.width(), device.height(), device.logicalDpiX(),
                            device.logicalDpiY());
}

std::vector<int32_t> PagesToPrint(const QPageRanges& ranges, int32_t count) {
    std::vector<int32_t> pages;
    for (int32_t page = 1; page <= count; ++page)
        if (ranges.isEmpty() || ranges.contains(page)) pages.push_back(page);
    return pages;
}

void PaintPoster(QPainter& painter, QPagedPaintDevice& device, const ChartToDraw& chart,
                 const PageLayout& layout) {
    const PosterSheets sheets = SheetsOnDevice(device, layout);
    bool first = true;
    for (const int32_t page : PagesToPrint(device.pageRanges(), PosterPageCount(sheets))) {
        if (!first) device.newPage();
        first = false;
        // Each page clips the one surface to its own sheet: a PDF would show what lies beyond the
        // printable area in the paper's margins.
        painter.save();
        painter.setClipRect(QRect(0, 0, device.width(), device.height()));
        {
            QtCanvas canvas(painter);
            canvas.setFlagPainter([](QPainter& p, int32_t flag, const QRect& target) {
                DrawFlag(p, flag, QRectF(target));
            });
            DrawPosterPage(canvas, chart.tree, chart.store, chart.settings, chart.view, sheets,
                           page, chart.reporter);
        }
        painter.restore();
    }
}

} // namespace arbolix
