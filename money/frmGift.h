#pragma once
// The gift editor: a gift received, with the event, the store, its value,
// the giver and a picture, on two pages. Adds a GIFT row or edits one; a
// chosen picture is copied into the gift pictures folder.

#include "money/moneyedit.h"
#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabBar;

namespace ui {
class PictureBox;
}

class frmGift : public editing::RecordEditor<ui::Form<frmGift, QDialog>> {
public:
    frmGift() : RecordEditor("frmGift") { keepWhileOpen(giftMode, giftID); }

    // Written by the opener; kept between openings.
    Mode giftMode = Mode::Add;
    qint64 giftID = 0;    // the gift to edit

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
    void TabStrip1_Click();
    void cmdFind_Click();
    void cmdAddStore_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    // Fills the store list again (the lookup editor calls it too).
    void GetStores();
    // Whether a path names a picture the program takes (by its last three
    // letters); says so when it does not.
    bool isPicture(const QString& curPath);

    QTabBar* TabStrip1 = nullptr;
    QGroupBox* frameGeneral = nullptr;
    QGroupBox* frameImage = nullptr;
    std::array<QWidget*, 2> Text1{};     // description (several lines), value
    std::array<QComboBox*, 3> Combo1{};  // event, store, giver
    QPushButton* cmdAddStore = nullptr;
    QPushButton* cmdFind = nullptr;
    QLabel* lblPreview = nullptr;
    ui::PictureBox* Image1 = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The picture of this opening: the file chosen with Find ("" when none)
    // and the name it is kept under.
    const QString& imagePath() const { return imagePath_; }
    const QString& imageName() const { return imageName_; }

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void ClearFields();
    bool LoadGift();
    bool save() override;
    void GetEvents();
    void GetGuests();
    money::BoxColumns boxes() const;
    Mode mode_ = Mode::Add;
    qint64 key_ = 0;
    QString imagePath_, imageName_;
};
