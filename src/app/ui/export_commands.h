#pragma once
// The window's two export commands on the chart document: "Exporter image" (pictures, SVG and
// PDF) and "Sauver en VML". The files are written by the same functions as arbolix-cli's, so a
// file made either way is the same for the same settings and size.
//
// The dialogs they open, the save dialog and the progress indication can be replaced (tests).

#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "export/export_file.h"
#include "export/export_progress.h"
#include "export/qt_chart_file.h"

class QWidget;

namespace arbolix {

class ChartDocument;

// What a save dialog asks.
struct SaveFileQuestion {
    QString title;
    QString folder; // where it opens; "" for the current folder
    std::span<const SaveFilter> filters;
};
struct SaveFileAnswer {
    QString path;   // "" when no file was chosen
    int filter = 0; // the file type chosen, an index into the question's filters
};

class ExportCommands {
public:
    // `viewSize` gives the chart window's inner size, whose proportions a picture of height 0
    // takes.
    ExportCommands(QWidget& window, ChartDocument& document, std::function<QSize()> viewSize);

    // "Exporter image": the picture properties, then the file; the picture, SVG drawing or PDF
    // poster is written in the format the file's extension names. The size asked is kept in the
    // profile (m_largeur, m_hauteur) once the properties are confirmed, the file's folder
    // ("save_bmp") once a file is chosen; the size drawn replaces the size asked in memory only,
    // so that the dialog shows it next time. Cancelled when a dialog or the progress is
    // cancelled.
    ExportOutcome exportPicture();
    // "Sauver en VML": refused for a zoomed view; the size, then the file ("save_vml" keeps it).
    // Written, Failed (reported), or Cancelled (a dialog cancelled or the view zoomed).
    ExportOutcome saveVml();

    // The colour mode of the last confirmed properties (0 at start; kept while the program runs).
    ColourMode colourMode() const { return mode_; }

    // The dialogs, each run modally over the window unless replaced.
    std::function<bool(QWidget* parent, int32_t& width, int32_t& height, int32_t& mode)>
        askPictureProperties;
    std::function<std::optional<int>(QWidget* parent)> askVmlSize;
    std::function<SaveFileAnswer(QWidget* parent, const SaveFileQuestion& question)> askFile;
    // The progress shown while a picture larger than 4096 pixels on a side is made: a window
    // with a bar and "Annuler" unless replaced.
    std::function<std::unique_ptr<ExportProgress>(QWidget* parent)> makeProgress;

private:
    std::optional<QString> chooseFile(const QString& title, const char* folderKey,
                                      std::span<const SaveFilter> filters);
    ExportOutcome writeChart(const ExportRequest& request, const std::string& path);

    QWidget& window_;
    ChartDocument& document_;
    std::function<QSize()> viewSize_;
    ColourMode mode_ = kColourMonochrome;
};

// The standard save dialog: the file types, opening in the folder, confirming before replacing a
// file; a name typed without extension gets the one of the file type shown.
SaveFileAnswer AskSaveFile(QWidget* parent, const SaveFileQuestion& question);

} // namespace arbolix
