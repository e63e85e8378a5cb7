#include "records/frmAddType.h"

#include "records/editing.h"
#include "records/notices.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

// Twips to pixels.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

}  // namespace

void frmAddType::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Modify Types");
    // The design places in twips, a little roomier where today's fonts need it.
    w->setFixedSize(4710 / 15, 2280 / 15);
    txtItem = new QLineEdit(w);
    txtItem->setObjectName("txtItem");
    txtItem->setMaxLength(editing::kWholeColumn);
    txtItem->setGeometry(twips(120, 120, 1452, 288));
    cmdAdd = new QPushButton("Add >>", w);
    cmdAdd->setObjectName("cmdAdd");
    cmdAdd->setGeometry(twips(1800, 120, 1040, 372));
    Command1 = new QPushButton("<< Delete", w);
    Command1->setObjectName("Command1");
    Command1->setGeometry(twips(1800, 600, 1040, 372));
    cmdClose = new QPushButton("Close", w);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(twips(1800, 1320, 1040, 372));
    for (QPushButton* b : {cmdAdd, Command1, cmdClose})
        b->setAutoDefault(false);
    lstItems = new QListWidget(w);
    lstItems->setObjectName("lstItems");
    lstItems->setSelectionMode(QAbstractItemView::SingleSelection);
    lstItems->setSortingEnabled(false);
    lstItems->setGeometry(twips(2900, 120, 1692, 2040));
    Label1 = new QLabel("Enter the addition above and press add.  Highlight item to the right and  press delete.", w);
    Label1->setObjectName("Label1");
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setGeometry(twips(120, 600, 1560, 1600));

    QObject::connect(cmdAdd, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdAdd_Click(); }); });
    QObject::connect(txtItem, &QLineEdit::returnPressed, w, [this] { ui::guarded([this] { cmdAdd_Click(); }); });
    QObject::connect(Command1, &QPushButton::clicked, w, [this] { ui::guarded([this] { Command1_Click(); }); });
    QObject::connect(cmdClose, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdClose_Click(); }); });
}

void frmAddType::releaseControls()
{
    txtItem = nullptr;
    cmdAdd = nullptr;
    Command1 = nullptr;
    cmdClose = nullptr;
    lstItems = nullptr;
    Label1 = nullptr;
    keys_.clear();
}

void frmAddType::Form_Load()
{
    mode_ = curMode;
    from_ = fromForm;
    LoadList();
    window()->raise();
}

void frmAddType::LoadList()
{
    lstItems->clear();
    keys_.clear();
    const records::LookupList& list = records::lookupList(mode_);
    window()->setWindowTitle(QString::fromLatin1(list.caption));
    editing::readList(
        [&] {
            for (const records::LookupEntry& e : records::loadLookupEntries(list)) {
                lstItems->addItem(e.display());
                keys_.push_back(e.key);
            }
        },
        window());
}

void frmAddType::cmdAdd_Click()
{
    const QString text = txtItem->text();
    if (!text.isEmpty()) {
        // A refused entry stays typed for another try.
        if (!editing::saveAll([&] { records::addLookupEntry(records::lookupList(mode_), text); }, window()))
            return;
    }
    txtItem->clear();
    LoadList();
}

void frmAddType::Command1_Click()
{
    const int row = lstItems->currentRow();
    if (row >= 0 && row < keys_.size() && lstItems->item(row)->isSelected())
        editing::saveAll([&] { records::deleteLookupEntry(records::lookupList(mode_), keys_[row]); }, window());
    LoadList();
}

void frmAddType::cmdClose_Click()
{
    Unload();
}

void frmAddType::Form_Unload(bool&)
{
    // The opener fills its lists again; one that is closed fills them
    // afresh when it next loads.
    emit records::notices().lookupListClosed(from_, mode_);
}
