#include "records/frmSynchronize.h"

#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"
#include "records/notices.h"
#include "records/synchro.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>

namespace {
// 15 twips to the pixel.
int px(int twips) { return (twips + 7) / 15; }

void place(QWidget* w, int left, int top, int width, int height) { w->setGeometry(px(left), px(top), px(width), px(height)); }

// A text that wraps within its place, from its top left.
QLabel* instruction(const char* name, const QString& text, QWidget* parent, int left, int top, int width, int height)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(label, left, top, width, height);
    return label;
}

const char* kFilterSave = "Nuptaro Data (*.qvd)|*qvd";
const char* kFilterOpen = "Nuptaro Data (*.qvd)|*.qvd";
}  // namespace

frmSynchronize::frmSynchronize() : Form("frmSynchronize") {}

void frmSynchronize::createControls()
{
    QDialog* self = window();
    self->setObjectName("frmSynchronize");
    self->setWindowTitle("Synchronize Databases");
    self->setFixedSize(px(5652), px(4380));

    Label1 = instruction(
        "Label1",
        "If your data needs to be synchronized with another user, prepare the database to be sent.  Select the "
        "location to save the copy of the database.  Once the database is saved, you need to send it via e-mail or "
        "copy it to a removable media to be physically sent to the other user.  ",
        self, 360, 360, 3492, 1332);

    cmdPrepare = new QPushButton("Prepare", self);
    cmdPrepare->setObjectName("cmdPrepare");
    place(cmdPrepare, 4200, 360, 1092, 372);

    // The exchange is between two copies; a third copy's replica is refused.
    Label3 = instruction("Label3",
                         "A wedding is kept in step between two copies: this one and the one it exchanges replicas "
                         "with.  A replica from a third copy is refused.",
                         self, 360, 1812, 3612, 348);

    Label2 = instruction(
        "Label2",
        "If you have received another database to be synchronized with your data, press synchronize.  You will be "
        "asked for the location of the database file which you have received from the other user.",
        self, 360, 2280, 3612, 972);

    cmdSynchronize = new QPushButton("Synchronize", self);
    cmdSynchronize->setObjectName("cmdSynchronize");
    place(cmdSynchronize, 4200, 2280, 1092, 372);

    lblProgress = new QLabel(self);
    lblProgress->setObjectName("lblProgress");
    place(lblProgress, 600, 3480, 3132, 252);

    ProgressBar1 = new QProgressBar(self);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    place(ProgressBar1, 600, 3720, 3252, 252);

    cmdCancel = new QPushButton("Close", self);
    cmdCancel->setObjectName("cmdCancel");
    place(cmdCancel, 4320, 3600, 972, 372);

    QObject::connect(cmdPrepare, &QPushButton::clicked, self, [this] { cmdPrepare_Click(); });
    QObject::connect(cmdSynchronize, &QPushButton::clicked, self, [this] { cmdSynchronize_Click(); });
    QObject::connect(cmdCancel, &QPushButton::clicked, self, [this] { cmdCancel_Click(); });
    fitTexts();
}

void frmSynchronize::fitTexts()
{
    // The places were drawn for a smaller font than today's. A label grows
    // down to its text and what stands below it moves down as much; a
    // button grows to its caption; the window grows with them.
    QDialog* self = window();
    const QList<QWidget*> all = {Label1, cmdPrepare, Label3, Label2, cmdSynchronize, lblProgress, ProgressBar1,
                                 cmdCancel};
    int grownBy = 0;
    for (QLabel* label : {Label1, Label3, Label2}) {
        const int need = label->heightForWidth(label->width());
        if (need <= label->height())
            continue;
        const int bottom = label->geometry().bottom();
        const int more = need - label->height();
        label->resize(label->width(), need);
        for (QWidget* w : all)
            if (w->y() > bottom)
                w->move(w->x(), w->y() + more);
        grownBy += more;
    }
    int width = self->width();
    for (QPushButton* b : {cmdPrepare, cmdSynchronize, cmdCancel}) {
        const QSize hint = b->sizeHint();
        b->resize(qMax(b->width(), hint.width()), qMax(b->height(), hint.height()));
        width = qMax(width, b->geometry().right() + px(360));
    }
    self->setFixedSize(width, self->height() + grownBy);
}

void frmSynchronize::releaseControls()
{
    Label1 = Label2 = Label3 = lblProgress = nullptr;
    cmdPrepare = cmdSynchronize = cmdCancel = nullptr;
    ProgressBar1 = nullptr;
}

void frmSynchronize::Show()
{
    FormBase::Show(ui::vbModal, ui::mainForm());
}

void frmSynchronize::Form_Load()
{
    lblProgress->hide();
    ProgressBar1->hide();
}

void frmSynchronize::cmdCancel_Click()
{
    Unload();
}

void frmSynchronize::showProgress(const QString& text, int percent)
{
    if (!text.isEmpty())
        lblProgress->setText(text);
    ProgressBar1->setValue(percent);
    if (window() && window()->isVisible())
        window()->repaint();
}

QString frmSynchronize::askWithDialog(const FileRequest& r, QWidget* owner)
{
    // The filter's display part carries its pattern in parentheses.
    const QString filter = r.filter.section('|', 0, 0);
    if (r.save) {
        const QString folder = r.folder.isEmpty() ? QDir::homePath() : r.folder;
        return QFileDialog::getSaveFileName(owner, QString(), folder + '/' + r.fileName, filter);
    }
    return QFileDialog::getOpenFileName(owner, QString(), r.folder, filter);
}

QString frmSynchronize::ask(const FileRequest& r)
{
    return chooseFile ? chooseFile(r) : askWithDialog(r, window());
}

void frmSynchronize::cmdPrepare_Click()
{
    lblProgress->setText(QString());
    lblProgress->show();
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    try {
        synchro::Prepare(modQVDatabase::gConn, [this](const QString& t, int p) { showProgress(t, p); });
    } catch (const synchro::Failure& f) {
        Form_Load();
        ui::MsgBox(f.message(), ui::vbExclamation | ui::vbOKOnly, QString(), window());
        return;
    }
    lblProgress->hide();
    ProgressBar1->hide();
    SaveReplicaAs();
}

void frmSynchronize::SaveReplicaAs()
{
    // The home folder stands in for "My Computer".
    const QString chosen = ask({true, QDir::homePath(), kFilterSave, "synchro.qvd"});
    if (chosen.isEmpty())
        return;
    try {
        synchro::SaveReplica(modQVDatabase::gConn, chosen);
    } catch (const synchro::Failure& f) {
        ui::MsgBox(f.message(), ui::vbExclamation | ui::vbOKOnly, QString(), window());
        return;
    }
    ui::MsgBox("The replica of the database has been created.  Send it to the user to synchronize.",
               ui::vbInformation, "Information", window());
}

void frmSynchronize::cmdSynchronize_Click()
{
    const QString chosen = ask({false, QString(), kFilterOpen, QString()});
    if (chosen.isEmpty())
        return;
    ProgressBar1->setValue(0);
    ProgressBar1->show();
    synchro::Merged merged;
    auto merge = [&](synchro::SameNumber same) {
        merged = synchro::Synchronize(modQVDatabase::gConn, chosen,
                                      [this](const QString&, int p) { showProgress(QString(), p); }, same);
    };
    try {
        try {
            merge(synchro::SameNumber::Refuse);
        } catch (const synchro::SameCopyNumber& same) {
            const QString question = same.message() + "\n\nGive this copy of the database a new number and synchronize now?";
            if (ui::MsgBox(question, ui::vbYesNo | ui::vbQuestion, QString(), window()) != ui::vbYes) {
                Form_Load();
                return;
            }
            merge(synchro::SameNumber::Renumber);
        }
    } catch (const synchro::Failure& f) {
        Form_Load();
        ui::MsgBox(f.message(), ui::vbExclamation | ui::vbOKOnly, QString(), window());
        return;
    }
    ProgressBar1->hide();
    lblProgress->setText(QString("Successfully synchronized %1 items.").arg(merged.items));
    lblProgress->show();
    // What the main window shows may have changed under it.
    emit records::notices().replicaMerged();
    const QString summary = synchro::mergeSummary(merged);
    ui::MsgBox(summary.isEmpty() ? QString("Synchronization complete.") : "Synchronization complete.\n\n" + summary,
               ui::vbOKOnly, QString(), window());
}
