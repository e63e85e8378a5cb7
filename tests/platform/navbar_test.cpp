// The navigation bar: groups and items by key, clicks, hosted controls handed
// back alive, and the picture store.

#include "platform/navbar/explorerbar.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

using namespace navbar;

namespace {

QWidget* childNamed(QWidget* root, const QString& accessible)
{
    for (QWidget* w : root->findChildren<QWidget*>())
        if (w->accessibleName() == accessible && w->isVisible())
            return w;
    return nullptr;
}

TEST(NavbarPictures, SeventyEightDistinctPicturesAndStoreCountsFromOne)
{
    QSet<QByteArray> seen;
    for (int n = 0; n < kPictureCount; ++n) {
        const QImage img = barPicture(n).toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(img.size(), QSize(24, 24)) << n;
        int opaque = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                opaque += qAlpha(img.pixel(x, y)) > 0;
        EXPECT_GT(opaque, 60) << "picture " << n << " is nearly empty";
        const QByteArray bytes(reinterpret_cast<const char*>(img.constBits()), int(img.sizeInBytes()));
        EXPECT_FALSE(seen.contains(bytes)) << "picture " << n << " repeats an earlier one";
        seen.insert(bytes);

        EXPECT_EQ(storePicture(n + 1).toImage(), barPicture(n).toImage()) << n;
    }
    for (int n : {-1, kPictureCount, 500})
        EXPECT_TRUE(barPicture(n).isNull()) << n;
    EXPECT_TRUE(storePicture(0).isNull());
}

TEST(NavbarBar, GroupsAndItemsByKey)
{
    ExplorerBar bar;
    Group* a = bar.addGroup("A", "  Alpha");
    Group* b = bar.addGroup("B", "  Beta");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(bar.addGroup("A", "again"), nullptr) << "group keys are unique";
    EXPECT_EQ(bar.groupKeys(), QStringList({"A", "B"}));

    Item* one = a->addItem("ONE", "One", 3);
    ASSERT_TRUE(one);
    EXPECT_EQ(b->addItem("ONE", "dup"), nullptr) << "item keys are unique in the whole bar";
    Item* two = b->addItem("TWO", "Two");
    EXPECT_EQ(two->picture(), kNoPicture);
    EXPECT_EQ(two->spacing(), kDefaultSpacing);
    EXPECT_EQ(two->kind(), ItemCommand);
    EXPECT_EQ(bar.findItem("TWO"), two);
    EXPECT_EQ(bar.findItem("ONE")->group(), a);
    // Keys compare exactly.
    EXPECT_EQ(bar.findItem("one"), nullptr);
    EXPECT_FALSE(bar.groupExists("a"));

    bar.removeGroup("A");
    EXPECT_EQ(bar.groupKeys(), QStringList({"B"}));
    EXPECT_EQ(bar.findItem("ONE"), nullptr);
    EXPECT_NE(a = bar.addGroup("A", "  Alpha"), nullptr) << "a removed key can be used again";
    EXPECT_NE(a->addItem("ONE", "One"), nullptr);
    bar.removeGroup("NOPE");  // absent: nothing happens
    EXPECT_EQ(bar.groupKeys(), QStringList({"B", "A"}));
    bar.clear();
    EXPECT_EQ(bar.groupCount(), 0);
}

TEST(NavbarBar, ClicksRaiseTheItemKeyAndMayRebuildTheBar)
{
    ExplorerBar bar;
    bar.resize(200, 400);
    bar.show();
    Group* g = bar.addGroup("G", "  Group");
    g->addItem("FIRST", "First item", 0);
    g->addItem("SECOND", "Second item", 1);
    QSignalSpy keys(&bar, &ExplorerBar::itemClicked);

    // A handler that rebuilds the bar from inside the click, as a change of
    // mode does; the clicked item must not vanish under the bar.
    QString seen;
    QObject::connect(&bar, &ExplorerBar::itemClick, &bar, [&](Item* it) {
        seen = it->key();
        bar.removeGroup("G");
        bar.addGroup("G", "  Group")->addItem("FIRST", "First item", 0);
    });
    QCoreApplication::processEvents();
    QWidget* second = childNamed(&bar, "Second item");
    ASSERT_TRUE(second);
    QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(20, 8));
    ASSERT_EQ(keys.count(), 1);
    EXPECT_EQ(keys.at(0).at(0).toString(), "SECOND");
    EXPECT_EQ(seen, "SECOND");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.group("G")->itemKeys(), QStringList({"FIRST"}));

    bar.clickItem("FIRST");
    bar.clickItem("MISSING");
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys.at(1).at(0).toString(), "FIRST");
}

TEST(NavbarBar, HostedControlsAreHandedBackAliveAndHidden)
{
    QWidget window;
    QWidget home;
    auto* viaHome = new QLabel("month", &window);
    auto* viaParent = new QLabel("tasks", &window);
    QPointer<QWidget> watchHome(viaHome), watchParent(viaParent);

    struct Case {
        const char* how;
        std::function<void(ExplorerBar&)> takeAway;
    };
    const Case cases[] = {
        {"remove group", [](ExplorerBar& b) { b.removeGroup("CTRL"); }},
        {"clear", [](ExplorerBar& b) { b.clear(); }},
        {"replace control", [](ExplorerBar& b) {
             b.findItem("M")->setControl(nullptr);
             b.findItem("T")->setControl(nullptr);
         }},
        {"bar destroyed", [](ExplorerBar&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        {
            auto bar = std::make_unique<ExplorerBar>(&window);
            bar->setControlHome(nullptr);
            Group* g = bar->addGroup("CTRL", "  Date Control");
            Item* m = g->addItem("M", "Month Control", kNoPicture, ItemControl);
            Item* t = g->addItem("T", "Task Control", kNoPicture, ItemControl);
            bar->setControlHome(&home);
            m->setControl(viaHome);
            // Without a home the control goes back where it came from.
            bar->setControlHome(nullptr);
            t->setControl(viaParent);
            bar->setControlHome(&home);
            bar->show();
            EXPECT_TRUE(bar->isAncestorOf(viaHome));
            EXPECT_TRUE(viaHome->isVisibleTo(bar.get()));
            // A command item does not take a control.
            bar->addGroup("X", "  X")->addItem("CMD", "Cmd")->setControl(viaHome);
            EXPECT_EQ(bar->findItem("CMD")->control(), nullptr);

            c.takeAway(*bar);
            if (std::string(c.how) != "bar destroyed") {
                EXPECT_FALSE(bar->isAncestorOf(viaHome));
                EXPECT_FALSE(bar->isAncestorOf(viaParent));
            }
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(watchHome && watchParent) << "a hosted control was deleted";
        EXPECT_EQ(viaHome->parentWidget(), &home);
        EXPECT_EQ(viaParent->parentWidget(), &home) << "the home, when set, takes every control";
        EXPECT_TRUE(viaHome->isHidden());
        EXPECT_TRUE(viaParent->isHidden());
        viaHome->setParent(&window);
        viaParent->setParent(&window);
    }
}

TEST(NavbarBar, ControlGoesBackToItsFormerParentWhenNoHomeIsSet)
{
    QWidget window;
    auto* box = new QLabel("box", &window);
    QPointer<QWidget> watch(box);
    {
        ExplorerBar bar;
        bar.addGroup("G", "  G")->addItem("C", "Control", kNoPicture, ItemControl)->setControl(box);
        EXPECT_EQ(bar.findItem("C")->control(), box);
        bar.removeGroup("G");
    }
    ASSERT_TRUE(watch);
    EXPECT_EQ(box->parentWidget(), &window);
    EXPECT_TRUE(box->isHidden());
}

TEST(NavbarBar, CollapsingFollowsTheGroupSetting)
{
    ExplorerBar bar;
    Group* open = bar.addGroup("OPEN", "  Open");
    Group* fixed = bar.addGroup("FIXED", "  Fixed");
    fixed->setCollapsible(false);
    open->setCollapsed(true);
    fixed->setCollapsed(true);
    EXPECT_TRUE(open->collapsed());
    EXPECT_FALSE(fixed->collapsed()) << "a group without the setting never folds away";
    // Switching the setting off unfolds a folded group.
    open->setCollapsible(false);
    EXPECT_FALSE(open->collapsed());
}

TEST(NavbarBar, RedrawAndPictures)
{
    ExplorerBar bar;
    EXPECT_TRUE(bar.picture(0).isNull()) << "no pictures until a store is given";
    bar.setPictureStore(&PictureStore::standard());
    EXPECT_EQ(bar.picture(77).toImage(), barPicture(77).toImage());
    EXPECT_TRUE(bar.picture(78).isNull());
    bar.setRedraw(false);
    EXPECT_FALSE(bar.updatesEnabled());
    bar.setRedraw(true);
    EXPECT_TRUE(bar.updatesEnabled());
}

}  // namespace
