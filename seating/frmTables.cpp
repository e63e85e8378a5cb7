#include "seating/frmTables.h"

#include "platform/twips.h"
#include "platform/ui/messages.h"
#include "records/modQVDatabase.h"
#include "seating/tablepictures.h"
#include "views/frmPreview.h"

#include <QAction>
#include <QLocale>
#include <QToolBar>

namespace {

struct ToolButton {
    const char* text;
    const char* key;
    const char* picture;
};

constexpr ToolButton kToolbar[] = {
    {"Open", "tlbOpen", "picOpen"},       {"Save", "tlbSave", "picSave"},
    {"Print", "tlbPrint", "picPrint"},    {"Preview", "tlbPreview", "picPreview"},
    {"Undo", "tlbUndo", "picUndo"},       {"Redo", "tlbRedo", "picRedo"},
    {"Circle", "tlbCircle", "picCircle"}, {"Square", "tlbSquare", "picSquare"},
};

constexpr const char* kImageKeys[] = {"picDelete", "picPreview", "picOpen",   "picPrint", "picSave",
                                      "picUndo",   "picRedo",    "picCircle", "picSquare"};

constexpr int kNodeLeft = 100, kNodeTop = 100, kNodeSide = 100;

}  // namespace

QWidget* frmTables::makeWidget(QWidget* parent)
{
    return new ui::ResizingFormWidget<frmTables, QWidget>(this, parent);
}

void frmTables::createControls()
{
    QWidget* w = widget();
    w->setWindowFlags(Qt::Window);
    w->setWindowTitle(QStringLiteral("Table Designer"));
    w->resize(twips::toPixels(12624), twips::toPixels(8064));

    for (const char* key : kImageKeys)
        ImageList1[key] = QPixmap::fromImage(tablepictures::toolPicture(key, 16));

    Toolbar1 = new QToolBar(w);
    Toolbar1->setObjectName("Toolbar1");
    Toolbar1->setGeometry(twips::rect(0, 0, 12624, 552));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (const ToolButton& b : kToolbar) {
        QAction* a = Toolbar1->addAction(QIcon(ImageList1.value(b.picture)), b.text);
        a->setObjectName(b.key);
        const QString key = b.key;
        QObject::connect(a, &QAction::triggered, w, [this, key] { ui::guarded([&] { Toolbar1_ButtonClick(key); }); });
    }

    ButtonBar2 = new diagram::ButtonBar(w);
    ButtonBar2->setObjectName("ButtonBar2");
    ButtonBar2->setGeometry(twips::rect(0, 600, 1572, 7332));
    QString group;
    int groupIndex = -1;
    for (const tablepictures::PaletteItem& item : tablepictures::paletteItems()) {
        if (item.group != group) {
            group = item.group;
            groupIndex = ButtonBar2->addGroup(group);
        }
        ButtonBar2->setLargeIcon(item.iconKey, QPixmap::fromImage(tablepictures::roomPicture(
                                                   item.key, diagram::ButtonBar::kIconSide)));
        ButtonBar2->addItem(groupIndex, item.caption, item.key, item.iconKey);
    }
    QObject::connect(ButtonBar2, &diagram::ButtonBar::ButtonClick, w,
                     [this](const QString& key) { ui::guarded([&] { ButtonBar2_ButtonClick(key); }); });

    AddFlow = new diagram::AddFlow(w);
    AddFlow->setObjectName("AddFlow");
    AddFlow->setGeometry(twips::rect(1560, 600, 10332, 7332));

    PrnFlow1 = std::make_unique<diagram::PrnFlow>();
    PrnFlow1->setPreviewer(report::ShowPagePreview);
}

void frmTables::releaseControls()
{
    Toolbar1 = nullptr;
    ButtonBar2 = nullptr;
    AddFlow = nullptr;
    PrnFlow1.reset();
    ImageList1.clear();
}

void frmTables::Form_Load()
{
    ResizeControls();
}

void frmTables::Form_Resize()
{
    ResizeControls();
}

void frmTables::ResizeControls()
{
    QWidget* w = widget();
    if (!w || !AddFlow || !ButtonBar2)
        return;
    // The window's own size, its frame included.
    const int H = twips::fromPixels(w->frameGeometry().height());
    const int W = twips::fromPixels(w->frameGeometry().width());
    if (H <= 1200 || W <= 1800)
        return;
    const int h = twips::toPixels(H - 1120);
    AddFlow->resize(twips::toPixels(W - 1720), h);
    ButtonBar2->resize(ButtonBar2->width(), h);
}

void frmTables::ButtonBar2_ButtonClick(const QString& key)
{
    const tablepictures::PaletteItem* item = tablepictures::findItem(key);
    if (!item || !AddFlow)
        return;
    const QString file = modQVDatabase::programFile(item->file);
    const QImage picture(file);
    // A node without its picture would be an invisible box on the diagram.
    if (picture.isNull()) {
        ui::MsgBox("The picture of this item could not be read: " + file, ui::vbExclamation, QString(), widget());
        return;
    }
    diagram::Node* node = AddFlow->addNode(kNodeLeft, kNodeTop, kNodeSide, kNodeSide);
    node->setPicture(picture);
    node->setPicturePosition(1);
    node->setDrawStyle(2);
}

void frmTables::Toolbar1_ButtonClick(const QString& key)
{
    // Open, Save, Circle and Square do nothing.
    if (key == QLatin1String("tlbPrint"))
        PrintLayout();
    else if (key == QLatin1String("tlbPreview"))
        PreviewLayout();
    else if (key == QLatin1String("tlbUndo"))
        AddFlow->Undo();
    else if (key == QLatin1String("tlbRedo"))
        AddFlow->Redo();
}

QString frmTables::layoutHeader(const QDate& day)
{
    return "||" + QLocale::c().toString(day, QStringLiteral("dd-MMM-yyyy"));
}

void frmTables::setUpPrint(bool preview)
{
    PrnFlow1->setFlow(AddFlow);
    PrnFlow1->setTitle(QStringLiteral("Table Layout"));
    PrnFlow1->setTextSize(8);
    PrnFlow1->setHeader(layoutHeader(today ? today() : QDate::currentDate()));
    PrnFlow1->setFooter(QStringLiteral("|- Page <PAGE> -|"));
    PrnFlow1->setForeColor(0xFF0000);
    PrnFlow1->setPreview(preview);
    PrnFlow1->PrintDocument();
}

void frmTables::PreviewLayout()
{
    setUpPrint(true);
}

void frmTables::PrintLayout()
{
    setUpPrint(false);
}
