#include "money/frmGift.h"

#include "money/giftpictures.h"
#include "platform/twips.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/messages.h"
#include "platform/ui/picturebox.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>

namespace {

const char* const kNotAPicture = "The select item does not appear to be an image file type.  This program accepts "
                                 ".bmp, .jpg, .gif image file types.";
const char* const kPictureMissing =
    "There was a problem finding the image file for the gift.  Please re-set the image file.";
const char* const kPictureUnreadable = "The picture in this file could not be read.  Please choose another file.";

// Why a picture file is not shown: too large, or not readable (`otherwise`).
QString unshown(const ui::PictureBox::Reading& r, const char* otherwise)
{
    if (!r.tooLarge.isValid())
        return otherwise;
    const QLocale l;
    return QString("The picture in this file is too large to be shown: %1 x %2 pixels, more than the %3 million a "
                   "picture may have.  Please choose a smaller picture.")
        .arg(l.toString(r.tooLarge.width()), l.toString(r.tooLarge.height()),
             l.toString(ui::PictureBox::kMaxPixels / 1000000));
}

}  // namespace

void frmGift::createControls()
{
    using editing::makeButton;
    using editing::makeLabel;
    using twips::rect;
    QDialog* w = window();
    w->setWindowTitle("Gift(s) Received");
    w->setFixedSize(twips::toPixels(6600), twips::toPixels(4680));

    TabStrip1 = money::makeTabStrip(w, rect(120, 120, 6360, 360), {{"General", "tabGeneral"}, {"Image", "tabImage"}});
    frameGeneral = money::makePage(w, "frameGeneral", "General", rect(120, 480, 6360, 3540));
    frameImage = money::makePage(w, "frameImage", "Image", rect(120, 480, 6360, 3540));

    QGroupBox* g = frameGeneral;
    const char* labels[] = {"Gift Description:", "Received At Event:", "Store From:", "Gift Value:", "Received From:"};
    const int tops[] = {360, 1260, 1680, 2100, 2520};
    for (int i = 0; i < 5; ++i)
        makeLabel(g, QString(), labels[i], rect(180, tops[i] + 30, 1680, 255));
    Text1[0] = editing::makeTextBox(g, "Text1(0)", true, rect(1920, tops[0], 4260, 780));
    Combo1[0] = editing::makeListBox(g, "Combo1(0)", rect(1920, tops[1], 3540, 315));
    Combo1[1] = editing::makeListBox(g, "Combo1(1)", rect(1920, tops[2], 3540, 315));
    cmdAddStore = makeButton(g, "cmdAddStore", "Edit", rect(5520, tops[2], 660, 315), [this] { cmdAddStore_Click(); });
    Text1[1] = editing::makeTextBox(g, "Text1(1)", false, rect(1920, tops[3], 1500, 300));
    Combo1[2] = editing::makeListBox(g, "Combo1(2)", rect(1920, tops[4], 3540, 315));

    QGroupBox* p = frameImage;
    cmdFind = makeButton(p, "cmdFind", "Find", rect(180, 360, 1140, 375), [this] { cmdFind_Click(); });
    lblPreview = makeLabel(p, "Label1", "Preview:", rect(1500, 390, 1200, 255));
    Image1 = new ui::PictureBox(p);
    Image1->setObjectName("Image1");
    Image1->setGeometry(rect(1500, 690, 4680, 2700));

    cmdSave = makeButton(w, "cmdSave", "Save", rect(4020, 4140, 1140, 375), [this] { cmdSave_Click(); });
    cmdCancel = makeButton(w, "cmdCancel", "Cancel", rect(5340, 4140, 1140, 375), [this] { cmdCancel_Click(); });
    editing::chainTabOrder(
        {Text1[0], Combo1[0], Combo1[1], cmdAddStore, Text1[1], Combo1[2], cmdFind, cmdSave, cmdCancel});

    QObject::connect(TabStrip1, &QTabBar::currentChanged, w, [this] { ui::guarded([this] { TabStrip1_Click(); }); });
    editing::refillAfterLookupEdits(*this, [this](records::Lookup) { GetStores(); });
}

void frmGift::releaseControls()
{
    TabStrip1 = nullptr;
    frameGeneral = frameImage = nullptr;
    Text1.fill(nullptr);
    Combo1.fill(nullptr);
    cmdAddStore = cmdFind = cmdSave = cmdCancel = nullptr;
    lblPreview = nullptr;
    Image1 = nullptr;
}

money::BoxColumns frmGift::boxes() const
{
    // In the order the columns are written.
    return {{"GIFT_NAME", Text1[0]},
            {"GIFT_EVENT", Combo1[0]},
            {"GIFT_WHOFROM", Combo1[2]},
            {"GIFT_VALUE", Text1[1]},
            {"GIFT_STORE", Combo1[1]}};
}

void frmGift::Form_Load()
{
    mode_ = giftMode;
    key_ = giftID;
    imagePath_.clear();
    imageName_.clear();
    money::showPage({frameGeneral, frameImage}, frameGeneral);
    GetEvents();
    GetStores();
    GetGuests();
    ClearFields();
    if (mode_ == Mode::Edit && !LoadGift()) {
        Unload();
        return;
    }
    boxesSaved();
    window()->raise();
}

void frmGift::GetEvents()
{
    money::fillBox(Combo1[0], "SELECT EVENT_NAME FROM EVENT");
}

void frmGift::GetStores()
{
    if (Combo1[1])
        money::fillBox(Combo1[1], "SELECT GIFTSTORE_NAME FROM GIFTSTORE", "Stores");
}

void frmGift::GetGuests()
{
    money::fillNameBox(Combo1[2], "SELECT SUBGUEST_FNAME, SUBGUEST_LNAME FROM SUBGUEST ORDER BY SUBGUEST_LNAME, "
                                  "SUBGUEST_FNAME");
}

void frmGift::ClearFields()
{
    for (QWidget* t : Text1)
        editing::setBoxText(t, QString());
}

bool frmGift::LoadGift()
{
    QString stored;
    record_.boxes = [this] { return money::shownIn(boxes()); };
    if (!editing::openRecord(record_, "GIFT", key_, [&](ado::Recordset& rs) {
            money::showColumns(rs, boxes());
            stored = rs.value("GIFT_IMAGE").toString();
        }, window()))
        return false;
    if (stored.isEmpty())
        return true;
    const QString file = money::storedPictureFile(stored);
    const ui::PictureBox::Reading read = file.isEmpty() ? ui::PictureBox::Reading() : Image1->readPicture(file);
    if (!read.shown) {
        ui::MsgBox(unshown(read, kPictureMissing), ui::vbOKOnly, QString(), window());
        return true;
    }
    // A picture kept elsewhere stays named where it is; one in the pictures
    // folder is named there afresh when the gift is saved.
    imageName_ = money::keptName(file);
    return true;
}

void frmGift::TabStrip1_Click()
{
    const int tab = TabStrip1->currentIndex() + 1;
    if (tab == 1)
        money::showPage({frameGeneral, frameImage}, frameGeneral);
    else if (tab == 2)
        money::showPage({frameGeneral, frameImage}, frameImage);
}

bool frmGift::isPicture(const QString& curPath)
{
    const QString ending = curPath.right(3).toUpper();
    if (ending == "BMP" || ending == "JPG" || ending == "GIF")
        return true;
    ui::MsgBox(kNotAPicture, ui::vbOKOnly, QString(), window());
    return false;
}

void frmGift::cmdFind_Click()
{
    const QString path = ui::GetOpenFile(QString(), "Pictures (*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif", QString(),
                                         QString(), window());
    // Closing the dialog chooses nothing.
    if (path.isEmpty() || !isPicture(path))
        return;
    if (const ui::PictureBox::Reading read = Image1->readPicture(path); !read.shown) {
        ui::MsgBox(unshown(read, kPictureUnreadable), ui::vbOKOnly, QString(), window());
        return;
    }
    imagePath_ = path;
    imageName_ = QFileInfo(path).fileName();
    changedBeyondBoxes();
}

void frmGift::cmdAddStore_Click()
{
    editing::editLookupList(*this, records::Lookup::Stores, true);
}

bool frmGift::save()
{
    money::KeptPicture kept;
    const auto outcome = editing::saveRecord(record_, "GIFT", mode_ == Mode::Add, [&](ado::Recordset& rs) {
        money::storeColumns(rs, boxes());
        QString name = imageName_;
        if (!imagePath_.isEmpty()) {
            kept = money::keepPicture(imagePath_, imageName_);
            // A picture that could not be kept leaves the stored one.
            name = kept.ok ? kept.name : QString();
        }
        if (!name.isEmpty())
            rs.setValue("GIFT_IMAGE", money::picturePath(name));
    }, window());
    if (outcome != editing::SaveOutcome::Saved)
        money::dropPicture(kept);
    if (outcome == editing::SaveOutcome::Refused)
        return false;
    if (outcome == editing::SaveOutcome::Saved && !imagePath_.isEmpty() && !kept.ok)
        ui::MsgBox("The picture could not be copied into the gift pictures folder, so the gift was saved "
                   "without it.\n\n" + kept.error,
                   ui::vbExclamation | ui::vbOKOnly, QString(), window());
    return true;
}

void frmGift::cmdSave_Click()
{
    if (save())
        closeAsIs();
}

void frmGift::cmdCancel_Click()
{
    closeAsIs();
}

void frmGift::Form_Unload(bool&)
{
    money::refreshMain(records::MainList::Gifts);
}
