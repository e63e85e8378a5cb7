#pragma once
// The print preview window shared by the main window's reports and the
// event editor's lists. The caller hides itself while the preview is open;
// closing the preview brings the caller back.

#include "platform/ui/forms.h"
#include "views/datamode.h"
#include "views/printpreview.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class frmPreview : public ui::Form<frmPreview, QWidget> {
public:
    frmPreview();

    // The caller's key: "Menu", "Decorations", "Music" or "Playscript" for
    // the event editor, a view key for the main window.
    QString curMode;
    report::GridPreview* gridPreview = nullptr;

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void Form_Resize();
    void gridPreview_Close();
    void gridPreview_PrinterSetup(report::PrinterSetupArgs* args);

    // True for the keys of the event editor's lists.
    static bool isEventEditorKey(const QString& mode);

    // The window a document's preview brings back on closing, in place of
    // the one the key names.
    QPointer<QWidget> returnTo;

protected:
    void createControls() override;
    void releaseControls() override;
};

namespace report {

// The window the reports return to, and its grid: the main window unless a
// test sets another.
QWidget* mainWindow();
grid::GridEX* mainGrid();
void setMainWindow(QWidget* w);

// Hands a grid to the preview window as every caller does: margins, the
// preview on the window's surface, the page header, the return key, then
// shows the preview in place of the caller and hides the caller.
void ShowGridPreview(grid::GridEX& grid, QWidget& caller, int marginTwips, const QString& header,
                     const QString& returnKey);

// Shows a document's pages in the preview in place of the caller, which
// comes back when the preview closes. `title` names the printed document.
void ShowPagePreview(const PageRenderer& render, QWidget& caller, const QString& title);

// The main window's report of the shown view: the grid keeps its size on
// screen; the views of one card per record print their cards in columns.
void PrintGridReport(grid::GridEX& GridEX1, QWidget& mainWindow, views::DataMode curDataMode);

}  // namespace report
