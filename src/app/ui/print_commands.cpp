#include "app/ui/print_commands.h"

#include <QPageSetupDialog>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/chart_document.h"
#include "app/ui/wait_cursor.h"
#include "base/reporter.h"
#include "export/atomic_file.h"
#include "export/qt_poster.h"

namespace arbolix {

ChartPrinting::ChartPrinting(ChartDocument& document, QWidget* window)
    : QObject(window), document_(document), window_(window),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

ChartPrinting::~ChartPrinting() = default;

void ChartPrinting::print() {
    QPrintDialog dialog(printer_.get(), window_);
    const int32_t pages = PosterPageCount(document_.settings().m_miseenpage);
    dialog.setMinMax(1, pages);
    dialog.setFromTo(1, pages);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() == QDialog::Accepted) printOn(*printer_);
}

void ChartPrinting::printDirect() {
    printer_->setPrintRange(QPrinter::AllPages);
    printOn(*printer_);
}

void ChartPrinting::preview() {
    makePreview()->exec();
}

void ChartPrinting::pageSetup() {
    QPageSetupDialog(printer_.get(), window_).exec();
}

std::unique_ptr<QPrintPreviewDialog> ChartPrinting::makePreview() {
    printer_->setPrintRange(QPrinter::AllPages);
    auto dialog = std::make_unique<QPrintPreviewDialog>(printer_.get(), window_);
    connect(dialog.get(), &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { printOn(*printer); });
    return dialog;
}

bool ChartPrinting::printOn(QPrinter& printer) {
    // Only a range chosen in the print dialog limits the pages.
    if (printer.printRange() != QPrinter::PageRange) printer.setPageRanges(QPageRanges());
    // The preview draws into pictures, whatever file the printer names.
    const QString target = printer.outputFileName();
    if (printer.paintEngine()->type() != QPaintEngine::Pdf || target.isEmpty()) return paint(printer);
    // A PDF file is written beside its target and put in its place once complete.
    AtomicFile file;
    bool done = file.open(target.toStdString());
    if (done) {
        printer.setOutputFileName(QString::fromStdString(file.temporaryPath()));
        done = paint(printer);
        printer.setOutputFileName(target);
        if (!done) return false;
        done = file.commit();
    }
    if (!done)
        document_.reporter().report(
            {"Erreur enregistrement du fichier : " + file.error().describe(), "arbolix",
             MessageIcon::Exclamation});
    return done;
}

bool ChartPrinting::paint(QPrinter& printer) {
    WaitCursor wait;
    QPainter painter;
    if (!painter.begin(&printer)) {
        document_.reporter().report({"Erreur StartDoc", "arbolix", MessageIcon::Exclamation});
        return false;
    }
    // Drawing writes the boxes' rectangles: the printed ones go to a copy, the window keeps its
    // own for the mouse.
    ChartTree tree = document_.tree();
    const ViewState& view = document_.view();
    const ChartToDraw chart{tree, document_.store(), document_.settings(),
                            ChartView{view.zoom, view.scrollX, view.scrollY}, document_.reporter()};
    PaintPoster(painter, printer, chart, document_.settings().m_miseenpage);
    return painter.end();
}

} // namespace arbolix
