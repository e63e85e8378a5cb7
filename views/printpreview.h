#pragma once
// The print-preview surface of a grid: the grid's report shown on the
// printer's pages, with print, page set-up, zoom and close commands. The
// report is read from the grid and laid out when the grid is put on the
// surface and at each refresh(); the pages shown are the pages printed.

#include "platform/grid/gridex.h"
#include "platform/print/printer.h"

#include <QPointer>
#include <QPrinter>
#include <QWidget>

#include <functional>
#include <memory>

class QPrintPreviewWidget;
class QStackedWidget;
class QToolButton;

namespace report {

class PagedReport;
class PageView;

using printing::PageRenderer;

// The argument of the surface's PrinterSetup event. A handler that sets
// `Accept` lets the printer set-up go ahead.
struct PrinterSetupArgs {
    bool Accept = false;
};

class GridPreview : public QWidget {
    Q_OBJECT
public:
    explicit GridPreview(QWidget* parent = nullptr);
    ~GridPreview() override;

    void setSource(grid::GridEX* grid);
    grid::GridEX* source() const { return source_; }
    // A document other than a grid's report.
    void setPages(PageRenderer render);
    QPrinter& printer() { return printer_; }
    int pageCount() const;

    // The commands of the surface's buttons.
    bool print();          // asks for the printer, then prints; false on cancel
    void printerSetup();
    void closePreview();
    void refresh();

    QToolButton* printButton() const { return btnPrint_; }
    QToolButton* setupButton() const { return btnSetup_; }
    QToolButton* closeButton() const { return btnClose_; }

signals:
    void Close();
    void PrinterSetup(report::PrinterSetupArgs* args);

private:
    void paintRequested(QPrinter* printer);
    bool paint(printing::Pages& pages);
    bool laidOutFor(QPagedPaintDevice& device) const;
    // The grid's report laid out for the device's paper, made anew.
    void layOut(QPagedPaintDevice& device);
    void refreshSoon();

    QPrinter printer_;
    QPointer<grid::GridEX> source_;
    QList<QMetaObject::Connection> sourceWatch_;
    bool refreshPending_ = false;
    PageRenderer pages_;
    // A grid's report knows where its pages begin; only the pages on screen
    // are laid out and drawn. Another document goes through the Qt preview.
    std::shared_ptr<const PagedReport> report_;
    int layoutMargins_[2] = {0, 0};
    QStackedWidget* stack_ = nullptr;
    PageView* pageView_ = nullptr;
    QPrintPreviewWidget* preview_ = nullptr;
    QToolButton* btnPrint_ = nullptr;
    QToolButton* btnSetup_ = nullptr;
    QToolButton* btnClose_ = nullptr;
};

// Shows the grid's print preview on a surface.
void PrintPreview(grid::GridEX& grid, GridPreview* surface);

// Asks for the printer, then prints the document; a printer that is not
// there, or a file that cannot be written, is said so. False on cancel or
// failure.
inline bool PrintDocument(QPrinter& printer, const PageRenderer& render, QWidget* owner = nullptr)
{
    return printing::printPages(printer, render, owner);
}

}  // namespace report
