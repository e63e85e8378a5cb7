// The gift editor's picture: kept in the gift pictures folder, found there
// again, and never named when it cannot be kept.

#include "money_fixture.h"

#include "money/frmGift.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/picturebox.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>

#include <cstdlib>
#include <memory>

namespace {

const char* const kMissing = "There was a problem finding the image file for the gift.  Please re-set the image file.";
const char* const kNotAPicture = "The select item does not appear to be an image file type.  This program accepts "
                                 ".bmp, .jpg, .gif image file types.";

class GiftEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
    }
    frmGift& open(frmGift::Mode mode, qint64 key = 0)
    {
        return moneytest::openEditor(&frmGift::giftMode, mode, &frmGift::giftID, key);
    }
    QString pictures() const { return records::giftPictureFolder(); }
    QString outside(const QString& rel) const { return folder->file(rel); }
    // A small picture file (a bitmap, whatever its name says) of one colour.
    QString picture(const QString& path, Qt::GlobalColor colour)
    {
        QDir().mkpath(QFileInfo(path).path());
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    static QByteArray bytes(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The Image page, then Find, choosing `file` ("" closes the dialog).
    void find(frmGift& f, const QString& file)
    {
        QTest::mouseClick(f.TabStrip1, Qt::LeftButton, {}, f.TabStrip1->tabRect(1).center());
        dialogs.dialogs->files << file;
        click(f.cmdFind);
    }
    qint64 gift(const QString& image)
    {
        return insert("INSERT INTO GIFT (GIFT_NAME, GIFT_IMAGE) VALUES ('Vase', ?)", {image});
    }
    ui::ScriptedDialogsGuard dialogs;
};

TEST_F(GiftEditor, AddsAndEditsAGiftWithItsPicture)
{
    ASSERT_FALSE(QDir(pictures()).exists());
    frmGift& f = open(frmGift::Mode::Add);
    EXPECT_TRUE(f.frameGeneral->isVisibleTo(f.window()));
    EXPECT_FALSE(f.frameImage->isVisibleTo(f.window()));
    type(f.Text1[0], "Toaster");
    const QString chosen = picture(outside("/elsewhere/toaster.jpg"), Qt::red);
    find(f, chosen);
    EXPECT_TRUE(f.frameImage->isVisibleTo(f.window()));
    EXPECT_TRUE(f.Image1->hasPicture());
    EXPECT_EQ(f.imageName(), "toaster.jpg");
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());
    const qint64 key = cell("SELECT GIFT_ID FROM GIFT").toLongLong();
    const QString kept = pictures() + "/toaster.jpg";
    EXPECT_EQ(cell("SELECT GIFT_IMAGE FROM GIFT").toString(), kept);
    EXPECT_EQ(bytes(kept), bytes(chosen)) << "the folder is made and the picture copied";

    open(frmGift::Mode::Edit, key);
    EXPECT_TRUE(f.Image1->hasPicture());
    type(f.Text1[0], "Toaster, four slots");
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT GIFT_IMAGE FROM GIFT").toString(), kept);

    // The next gift starts without the first one's picture.
    open(frmGift::Mode::Add);
    EXPECT_FALSE(f.Image1->hasPicture());
    type(f.Text1[0], "Napkins");
    click(f.cmdSave);
    EXPECT_EQ(cell("SELECT GIFT_IMAGE FROM GIFT WHERE GIFT_NAME = 'Napkins'"), QVariant());
    EXPECT_EQ(QDir(pictures()).entryList(QDir::Files), QStringList{"toaster.jpg"});
    EXPECT_EQ(messages.msgs->texts(), QStringList());
}

TEST_F(GiftEditor, TakesPicturesByTheirLastThreeLetters)
{
    frmGift& f = open(frmGift::Mode::Add);
    for (const char* taken : {"/p/CAKE.JPG", "/p/cake.gif", "/p/cake.Bmp", "/p/cakegif"})
        EXPECT_TRUE(f.isPicture(taken)) << taken;
    EXPECT_EQ(messages.msgs->texts(), QStringList());
    find(f, "");  // the dialog closed: nothing chosen, nothing said
    EXPECT_EQ(messages.msgs->texts(), QStringList());
    find(f, picture(outside("/p/cake.jpeg"), Qt::blue));
    find(f, picture(outside("/p/cake.png"), Qt::blue));
    EXPECT_EQ(messages.msgs->texts(), QStringList({kNotAPicture, kNotAPicture}));
    QFile text(outside("/p/notes.jpg"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not a picture");
    text.close();
    find(f, text.fileName());
    EXPECT_EQ(messages.msgs->texts().last(),
              "The picture in this file could not be read.  Please choose another file.");
    // A GIF of 20,000 x 20,000 pixels, a kind that is not read small.
    QFile huge(outside("/p/poster.gif"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(QByteArray::fromHex("474946383961204e204e0000002c00000000204e204e80000000ffffff0202440100" "3b"));
    huge.close();
    find(f, huge.fileName());
    EXPECT_EQ(messages.msgs->texts().last(),
              "The picture in this file is too large to be shown: 20,000 x 20,000 pixels, more than the 268 million "
              "a picture may have.  Please choose a smaller picture.");
    EXPECT_FALSE(f.Image1->hasPicture());
    EXPECT_TRUE(f.imagePath().isEmpty());
}

TEST_F(GiftEditor, TakesPhotosOfManyMegapixelsAsChosen)
{
    // Phone photos of 35, 48 and 108 megapixels, and one standing upright.
    const QSize sizes[] = {{6828, 5120}, {8000, 6000}, {12000, 9000}, {3000, 12000}};
    frmGift& f = open(frmGift::Mode::Add);
    type(f.Text1[0], "Photo frame");
    const QSize room = f.Image1->contentsRect().size();
    for (const QSize& size : sizes) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        const QString chosen = outside(QString("/camera/IMG_%1.jpg").arg(size.width()));
        {
            // A black photo; the untouched zero pages cost no memory.
            const qsizetype bytes = qsizetype(size.width()) * 3 * size.height();
            std::unique_ptr<uchar, decltype(&std::free)> black(static_cast<uchar*>(std::calloc(bytes, 1)), &std::free);
            ASSERT_TRUE(black);
            QDir().mkpath(QFileInfo(chosen).path());
            ASSERT_TRUE(QImage(black.get(), size.width(), size.height(), size.width() * 3, QImage::Format_RGB888)
                            .save(chosen, "JPG", 30));
        }
        find(f, chosen);
        EXPECT_EQ(messages.msgs->texts(), QStringList());
        ASSERT_TRUE(f.Image1->hasPicture());
        EXPECT_EQ(f.imagePath(), chosen);
        // Shown whole in the box, as large as the box allows.
        const QSize shown = f.Image1->picture().size();
        EXPECT_TRUE(shown.width() <= room.width() && shown.height() <= room.height()) << shown.width();
        EXPECT_TRUE(shown.width() >= room.width() - 1 || shown.height() >= room.height() - 1) << shown.width();
    }
    click(f.cmdSave);
    // The photo kept is the file chosen, not the picture shown.
    const QString kept = cell("SELECT GIFT_IMAGE FROM GIFT").toString();
    EXPECT_EQ(QFileInfo(kept).fileName(), "IMG_3000.jpg");
    EXPECT_EQ(bytes(kept), bytes(outside("/camera/IMG_3000.jpg")));
}

TEST_F(GiftEditor, KeepsEveryPictureAndFindsOnesNamedByAnotherCopy)
{
    const QString cake = picture(pictures() + "/cake.jpg", Qt::red);
    const QByteArray cakeBytes = bytes(cake);
    const QString otherCake = picture(outside("/camera/cake.jpg"), Qt::green);
    const qint64 first = gift(cake);
    const struct {
        const char* what;
        QString stored;  // GIFT_IMAGE before
        QString chosen;  // picked with Find, or none
        QString after;   // GIFT_IMAGE after the save
        bool message;    // the missing-picture message at load
    } cases[] = {
        {"the file already in the folder", cake, cake, cake, false},
        {"another picture of a taken name", "", otherCake, pictures() + "/cake (2).jpg", false},
        {"the same picture again", "", otherCake, pictures() + "/cake (2).jpg", false},
        {"a path of another copy", "C:\\Program Files\\Nuptaro\\data\\images\\gifts\\cake.jpg", "", cake, false},
        {"a picture that is nowhere", "C:\\Nuptaro\\data\\images\\gifts\\gone.jpg", "",
         "C:\\Nuptaro\\data\\images\\gifts\\gone.jpg", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        messages.msgs->shown.clear();
        const qint64 key = gift(c.stored);
        frmGift& f = open(frmGift::Mode::Edit, key);
        EXPECT_EQ(messages.msgs->texts(), c.message ? QStringList{kMissing} : QStringList());
        EXPECT_EQ(f.Image1->hasPicture(), !c.message && !c.stored.isEmpty());
        if (!c.chosen.isEmpty())
            find(f, c.chosen);
        click(f.cmdSave);
        EXPECT_EQ(cell("SELECT GIFT_IMAGE FROM GIFT WHERE GIFT_ID = ?", {key}).toString(), c.after);
        EXPECT_EQ(bytes(cake), cakeBytes) << "never overwritten";
        EXPECT_EQ(cell("SELECT GIFT_IMAGE FROM GIFT WHERE GIFT_ID = ?", {first}).toString(), cake);
    }
    EXPECT_EQ(bytes(pictures() + "/cake (2).jpg"), bytes(otherCake));
    EXPECT_EQ(QDir(pictures()).entryList(QDir::Files), QStringList({"cake (2).jpg", "cake.jpg"}));
}

TEST_F(GiftEditor, APictureThatCannotBeKeptIsNeverNamed)
{
    const QString chosen = picture(outside("/camera/bowl.gif"), Qt::yellow);
    // A save the database refuses leaves no copy behind.
    refuse("GIFT");
    frmGift& f = open(frmGift::Mode::Add);
    type(f.Text1[0], "Bowl");
    find(f, chosen);
    click(f.cmdSave);
    EXPECT_TRUE(f.isLoaded());
    EXPECT_FALSE(QFile::exists(pictures() + "/bowl.gif"));
    db().Execute("DROP TRIGGER refuse_GIFT_INSERT");
    db().Execute("DROP TRIGGER refuse_GIFT_UPDATE");

    // A copy that fails is said, and the gift is saved without the picture.
    messages.msgs->shown.clear();
    QDir(pictures()).removeRecursively();
    QFile blocker(pictures());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());
    ASSERT_EQ(messages.msgs->texts().size(), 1);
    EXPECT_TRUE(messages.msgs->texts()[0].startsWith(
        "The picture could not be copied into the gift pictures folder, so the gift was saved without it."));
    EXPECT_EQ(cell("SELECT GIFT_IMAGE FROM GIFT WHERE GIFT_NAME = 'Bowl'"), QVariant());
}

}  // namespace
