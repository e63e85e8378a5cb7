// Texts too long for their designed places, in a window shown as a user
// sees it: each control grows on the side its text is aligned to, into free
// room only, wraps where it has none, or makes its frame grow; and goes back
// to its design when its text fits again.

#include "support/clipping.h"

#include "platform/ui/textfit.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

namespace {

const QString kLong = "Too many guests for this table select a larger size.";

QLabel* label(QWidget* p, const QString& text, QRect at, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(text, p);
    l->setGeometry(at);
    l->setAlignment(align);
    return l;
}

void button(QWidget* p, QRect at) { (new QPushButton("OK", p))->setGeometry(at); }

struct Case {
    const char* what;
    std::function<QWidget*(QWidget* page)> make;  // the control under test, and its neighbours
    std::function<bool(const QRect& designed, const QRect& now, QWidget* c)> expect;
};

const Case kCases[] = {
    {"a right-aligned caption grows left",
     [](QWidget* p) { return label(p, "Received At Event:", {200, 20, 60, 17}, Qt::AlignRight | Qt::AlignVCenter); },
     [](QRect d, QRect r, QWidget*) { return r.right() == d.right() && r.left() < d.left(); }},
    {"a centred warning grows both ways",
     [](QWidget* p) { return label(p, kLong, {150, 20, 200, 17}, Qt::AlignCenter); },
     [](QRect d, QRect r, QWidget*) { return r.left() < d.left() && r.right() > d.right(); }},
    {"a caption with a neighbour beside it wraps onto another line",
     [](QWidget* p) {
         button(p, {130, 20, 80, 25});
         return label(p, kLong, {20, 20, 100, 17});
     },
     [](QRect d, QRect r, QWidget* c) {
         return static_cast<QLabel*>(c)->wordWrap() && r.left() == d.left() && r.height() > d.height();
     }},
    {"a caption over a control by design is not stopped by it",
     [](QWidget* p) {
         button(p, {20, 30, 300, 40});
         return label(p, "Table of the Bride's University Friends", {20, 20, 60, 17});
     },
     [](QRect d, QRect r, QWidget*) { return r.top() == d.top() && r.width() > d.width(); }},
    {"an option at the edge of its picture box makes the box and its frame grow",
     [](QWidget* p) {
         auto* frame = new QGroupBox("# of Seats for Table", p);
         frame->setGeometry(20, 20, 120, 45);
         auto* box = new QWidget(frame);
         box->setGeometry(8, 15, 100, 25);
         auto* o = new QRadioButton("16", box);
         o->setGeometry(80, 2, o->sizeHint().width(), o->sizeHint().height());
         return o;
     },
     [](QRect, QRect, QWidget* c) {
         return c->parentWidget()->width() > 100 && c->parentWidget()->parentWidget()->width() > 120;
     }},
    {"a toolbar too low for captions under its icons shows them beside",
     [](QWidget* p) {
         auto* t = new QToolBar(p);
         t->setGeometry(0, 0, 400, 37);
         t->setIconSize(QSize(16, 16));
         t->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
         QPixmap icon(16, 16);
         icon.fill(Qt::darkBlue);
         for (const char* text : {"Open", "Preview", "Square"})
             t->addAction(QIcon(icon), text);
         return t;
     },
     [](QRect d, QRect r, QWidget* c) {
         return r == d && static_cast<QToolBar*>(c)->toolButtonStyle() == Qt::ToolButtonTextBesideIcon;
     }},
};

TEST(TextFit, EachControlGrowsIntoFreeRoomOrWrapsAndComesBackWhenItsTextFits)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        QDialog window;
        window.resize(400, 200);
        auto* page = new QWidget(&window);
        page->setGeometry(0, 0, 400, 200);
        QWidget* control = c.make(page);
        const QRect designed = control->geometry();
        QList<QWidget*> beside;
        for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != control && !w->geometry().intersects(designed))
                beside << w;

        ui::keepTextsWhole(&window);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QCoreApplication::processEvents();
        EXPECT_EQ(testsupport::clippedTexts(&window), QStringList());
        EXPECT_TRUE(c.expect(designed, control->geometry(), control));
        for (QWidget* w : beside)
            EXPECT_FALSE(w->geometry().intersects(control->geometry())) << "covers its neighbour";

        // A short text again: its designed place, one line; a long one is
        // fitted again before it is painted.
        if (auto* l = qobject_cast<QLabel*>(control)) {
            l->setText("Event:");
            QCoreApplication::processEvents();
            EXPECT_EQ(l->geometry(), designed);
            EXPECT_FALSE(l->wordWrap());
            l->setText(kLong + ' ' + kLong);
            QCoreApplication::processEvents();
            EXPECT_EQ(testsupport::clippedTexts(&window), QStringList());
        }
    }
}

}  // namespace
