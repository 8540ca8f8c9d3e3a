#pragma once
// The chart printed as a poster on any paged device: a printer (the window's printing and its
// preview) or a PDF writer (the PDF poster). The sheets come from the device's printable area
// and resolution, and every page from PosterPageOf, so that a preview shows what a PDF holds.

#include <QPageRanges>

#include <cstdint>
#include <vector>

#include "chart/print_layout.h"
#include "export/qt_chart_export.h"

class QPagedPaintDevice;
class QPainter;
class QPaintDevice;

namespace arbolix {

// The sheets of the layout on the device's printable area, at its resolution.
PosterSheets SheetsOnDevice(const QPaintDevice& device, const PageLayout& layout);

// The pages of a poster of `count` pages that the ranges ask for, in order; all of them when the
// ranges are empty.
std::vector<int32_t> PagesToPrint(const QPageRanges& ranges, int32_t count);

// Draws the pages the device's page ranges ask for (all of them when it has none) with `painter`,
// open on `device`, one per sheet. The painter's state is kept.
void PaintPoster(QPainter& painter, QPagedPaintDevice& device, const ChartToDraw& chart,
                 const PageLayout& layout);

} // namespace arbolix
