#pragma once
// The one way a chart becomes a file, for the window's export command and for arbolix-cli chart
// alike: the same request gives the same bytes whichever asks.

#include <string>

#include "export/export_file.h"
#include "export/export_progress.h"
#include "export/qt_chart_export.h"

namespace arbolix {

struct ExportRequest {
    PictureSize size;                // asked for, the height already resolved (> 0)
    ColourMode mode = kColour24Bits; // pictures only
    PosterLayout poster;             // PDF only
};

enum class ExportOutcome {
    Written,
    Failed,      // reported
    Cancelled,   // the progress stopped it: nothing written, nothing reported
    UnknownType, // the path names no kind of file (ExportFormatOfPath): nothing written or reported
};

// Writes the chart into the file the path's extension names (ExportFormatOfPath): a picture of
// ExportDrawingSize in the colour mode, an SVG drawing of the size asked, or a PDF poster. The
// progress, when given, is told the stages of a picture and may stop it until it is written;
// the drawings are written in one go. Whatever fails, an existing file at the path is kept.
ExportOutcome ExportChartFile(const ChartToDraw& chart, const ExportRequest& request,
                              const std::string& path, ExportProgress* progress = nullptr);

// The poster of the page layout in the settings ("Mise en page"), on A4.
PosterLayout PosterOfSettings(const ChartSettings& settings);

} // namespace arbolix
