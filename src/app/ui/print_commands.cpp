#include "app/ui/print_commands.h"

#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

#include "app/chart_document.h"
#include "app/ui/wait_cursor.h"
#include "base/reporter.h"
#include "export/qt_poster.h"

namespace arbolix {

ChartPrinting::ChartPrinting(ChartDocument& document, QWidget* window)
    : QObject(window), document_(document), window_(window),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

ChartPrinting::~ChartPrinting() = default;

void ChartPrinting::print() {
    QPrintDialog dialog(printer_.get(), window_);
    dialog.setMinMax(1, PosterPageCount(document_.settings().m_miseenpage));
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
    const QString target = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || target.isEmpty()) return paint(printer);
    // A PDF file is written beside its target and put in its place once complete.
    QTemporaryFile temporary(target + QStringLiteral(".XXXXXX"));
    if (!temporary.open()) {
        document_.reporter().report({"Erreur enregistrement du fichier : " + target.toStdString() +
                                         " : " + temporary.errorString().toStdString(),
                                     "arbolix", MessageIcon::Exclamation});
        return false;
    }
    temporary.close();
    printer.setOutputFileName(temporary.fileName());
    const bool painted = paint(printer);
    printer.setOutputFileName(target);
    if (!painted) return false;
    std::error_code error;
    std::filesystem::rename(temporary.fileName().toStdString(), target.toStdString(), error);
    if (!error) return true;
    document_.reporter().report(
        {"Erreur enregistrement du fichier : " + target.toStdString() + " : " + error.message(),
         "arbolix", MessageIcon::Exclamation});
    return false;
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
