#pragma once
// Printing the chart from the window: the print dialog with its page range, printing at once,
// the print preview and the printer's page setup. The chart prints as the poster of the print
// layout (pages across and down, assembly aid), with the view's zoom and scroll, on the sheets the
// printer gives at its own resolution; the window's zoom, scroll and boxes stay as they were.

#include <QObject>

#include <memory>

class QPrinter;
class QPrintPreviewDialog;
class QWidget;

namespace arbolix {

class ChartDocument;

class ChartPrinting final : public QObject {
    Q_OBJECT

public:
    ChartPrinting(ChartDocument& document, QWidget* window);
    ~ChartPrinting() override;

    // The printer every command works on, kept from one command to the next.
    QPrinter& printer() { return *printer_; }

    // "Imprimer...": the print dialog offers pages 1 .. pagesWide × pagesHigh, then the pages
    // chosen are printed.
    void print();
    // The whole poster on the current printer, without a dialog.
    void printDirect();
    // "Aperçu avant impression": every page of the poster in the preview dialog.
    void preview();
    // "Configuration de l'impression": the printer's paper, orientation and margins.
    void pageSetup();

    // Prints on `printer` the pages its range asks for (all of them without one). A PDF file is
    // written completely or not at all. False, after a message, when nothing could be printed.
    bool printOn(QPrinter& printer);
    // The preview dialog, not yet shown, on every page of the poster.
    std::unique_ptr<QPrintPreviewDialog> makePreview();

private:
    bool paint(QPrinter& printer);

    ChartDocument& document_;
    QWidget* window_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace arbolix
