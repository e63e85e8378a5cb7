#pragma once
// The print preview window shared by the main window's reports and the
// event editor's lists. The caller hides itself while the preview is open;
// closing the preview brings the caller back.

#include "platform/ui/forms.h"
#include "views/datamode.h"
#include "views/printpreview.h"

#include <QPointer>
#include <QWidget>

class frmPreview : public ui::Form<frmPreview, QWidget> {
public:
    frmPreview();

    report::GridPreview* gridPreview = nullptr;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Form_Resize();
    void gridPreview_Close();
    void gridPreview_PrinterSetup(report::PrinterSetupArgs* args);

    // The window that asked for the preview, hidden while it is open and
    // brought back when it closes: in the preview's place and window state,
    // or as it was.
    QPointer<QWidget> returnTo;
    bool returnInPlace = true;

protected:
    void createControls() override;
    void releaseControls() override;
};

namespace report {

// How the window that asked for a preview comes back when it closes.
enum class ComesBack {
    InPreviewsPlace,  // at the preview's place and size, or in its window state
    AsItWas,          // a dialog of its own size, where it was
};

// Hands a grid to the preview window as every caller does: margins, the
// preview on the window's surface, the page header, then shows the preview
// in place of the caller and hides the caller. The printer set-up turns on
// this grid's print settings.
void ShowGridPreview(grid::GridEX& grid, QWidget& caller, int marginTwips, const QString& header,
                     ComesBack back = ComesBack::InPreviewsPlace);

// Shows a document's pages in the preview in place of the caller, which
// comes back when the preview closes. `title` names the printed document.
void ShowPagePreview(const PageRenderer& render, QWidget& caller, const QString& title);

// The main window's report of the shown view: the grid keeps its size on
// screen; the views of one card per record print their cards in columns.
void PrintGridReport(grid::GridEX& GridEX1, QWidget& mainWindow, views::DataMode curDataMode);

}  // namespace report
