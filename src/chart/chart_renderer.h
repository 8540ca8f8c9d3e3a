#pragma once
// Draws the whole chart onto any canvas: the window, a printed page, a picture in memory.

#include <cstdint>

#include "base/settings.h"
#include "chart/canvas.h"
#include "chart/chart_pass.h"
#include "data/person_store.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;
class FlagRasterizer;

// One pass over the chart: the background, every box with its fill, flag, texts and years, the
// "brique" decoration and the links. `drawingWidth` × `drawingHeight` pixels show the whole
// chart at zoom 1; `origin` is the visible area, its top-left corner the start of the drawing.
// Boxes outside it get only their rectangle, and links that cannot reach it are left out, so that
// a window on part of a large chart draws little more than what it shows. Every node's box
// rectangle is written for hit testing. A picture fill whose file cannot be read loses its file
// name in `settings`.
void DrawChart(Canvas& canvas, ChartTree& tree, const PersonStore& store, ChartSettings& settings,
               const ChartView& view, int64_t drawingWidth, int64_t drawingHeight, const Rect& origin,
               Reporter& reporter);

// The same pass on a device that shows only `visible`, a part of `origin` (a printed sheet of a
// poster whose surface is `origin`): only the boxes whose drawing may reach `visible` get their
// contents, which changes nothing on the device.
void DrawChart(Canvas& canvas, ChartTree& tree, const PersonStore& store, ChartSettings& settings,
               const ChartView& view, int64_t drawingWidth, int64_t drawingHeight,
               const Rect& origin, const Rect& visible, Reporter& reporter);

} // namespace arbolix
