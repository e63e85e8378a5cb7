#include "views/frmPreview.h"

#include "platform/ado/ignoring.h"
#include "platform/grid/gridex.h"

#include <QEvent>
#include <QPointer>

namespace {

class ResizeWatcher : public QObject {
public:
    explicit ResizeWatcher(frmPreview* f, QObject* parent) : QObject(parent), f_(f) {}
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Resize || e->type() == QEvent::WindowStateChange)
            f_->Form_Resize();
        return QObject::eventFilter(o, e);
    }

private:
    frmPreview* f_;
};

}  // namespace

frmPreview::frmPreview() : Form(QStringLiteral("frmPreview")) {}

void frmPreview::createControls()
{
    QWidget* w = widget();
    w->setWindowFlags(Qt::Window);
    w->setWindowTitle(QStringLiteral("Print Preview"));
    gridPreview = new report::GridPreview(w);
    QObject::connect(gridPreview, &report::GridPreview::Close, w, [this] { gridPreview_Close(); });
    QObject::connect(gridPreview, &report::GridPreview::PrinterSetup, w,
                     [this](report::PrinterSetupArgs* a) { gridPreview_PrinterSetup(a); });
    w->installEventFilter(new ResizeWatcher(this, w));
}

void frmPreview::releaseControls()
{
    gridPreview = nullptr;
}

void frmPreview::Form_Load()
{
    Form_Resize();
}

void frmPreview::Form_Resize()
{
    QWidget* w = widget();
    if (!w || !gridPreview || w->isMinimized())
        return;
    gridPreview->setGeometry(0, 0, w->width(), w->height());
}

void frmPreview::gridPreview_Close()
{
    Unload();
}

void frmPreview::gridPreview_PrinterSetup(report::PrinterSetupArgs* args)
{
    if (args)
        args->Accept = true;
    // The grid the caller handed over; a document other than a grid has none.
    if (grid::GridEX* g = gridPreview ? gridPreview->source() : nullptr)
        g->setPrintOptions(true);
}

namespace {

// Back in the preview's place and state, or as it was.
void bringBack(QWidget* caller, QWidget* preview, bool inPlace)
{
    if (preview && inPlace) {
        const Qt::WindowStates st = preview->windowState();
        if (st & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
            caller->setWindowState(st & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
        } else {
            caller->setWindowState(Qt::WindowNoState);
            caller->setGeometry(preview->geometry());
        }
    }
    caller->show();
    caller->raise();
    caller->activateWindow();
}

}  // namespace

void frmPreview::Form_Unload(bool&)
{
    // Errors are ignored here: the preview must close whatever happens.
    ado::ignoringErrors([&] {
        QWidget* me = widget();
        // A caller that has gone meanwhile is not made again.
        if (QWidget* caller = returnTo.data()) {
            returnTo = nullptr;
            bringBack(caller, me, returnInPlace);
        }
        if (me)
            me->hide();
    });
}

namespace report {

namespace {

// The preview loaded in the caller's place, in its normal state; null when
// it cannot be loaded.
frmPreview* previewOver(QWidget& caller, const QString& docName)
{
    frmPreview& f = frmPreview::instance();
    f.Load();
    if (!f.isLoaded())
        return nullptr;
    QWidget* w = f.widget();
    w->setWindowState(Qt::WindowNoState);
    w->setGeometry(caller.geometry());
    f.gridPreview->printer().setDocName(docName);
    return &f;
}

}  // namespace

void ShowGridPreview(grid::GridEX& grid, QWidget& caller, int marginTwips, const QString& header, ComesBack back)
{
    grid.setPageMargins(marginTwips, marginTwips);
    frmPreview* f = previewOver(caller, QString());
    if (!f)
        return;
    // The header first: the report is laid out once, when the grid is put on the surface.
    grid.setPageHeader(header);
    PrintPreview(grid, f->gridPreview);
    f->returnTo = &caller;
    f->returnInPlace = back == ComesBack::InPreviewsPlace;
    f->Show(ui::vbModeless);
    caller.hide();
}

void ShowPagePreview(const PageRenderer& render, QWidget& caller, const QString& title)
{
    frmPreview* f = previewOver(caller, title);
    if (!f)
        return;
    f->gridPreview->setPages(render);
    f->returnTo = &caller;
    f->returnInPlace = true;
    f->Show(ui::vbModeless);
    caller.hide();
}

}  // namespace report
