// Texts too long for their designed places, in a window shown as a user
// sees it: each control grows to the side its text is aligned to, into the
// free room only, wraps where it has none, or makes its frame grow; and goes
// back to its design when its text fits again.

#include "support/clipping.h"

#include "platform/ui/textfit.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolBar>

namespace {

const QString kLong = "Too many guests for this table select a larger size.";

struct Case {
    const char* what;
    // Makes the control under test (and its neighbours) in the page.
    std::function<QWidget*(QWidget* page)> make;
    // What its place became, from the designed one.
    std::function<bool(const QRect& designed, const QRect& now, QWidget* c)> expect;
};

QLabel* label(QWidget* p, const QString& text, QRect at, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = new QLabel(text, p);
    l->setGeometry(at);
    l->setAlignment(align);
    return l;
}

QWidget* block(QWidget* p, QRect at)
{
    auto* w = new QPushButton("OK", p);
    w->setGeometry(at);
    return w;
}

const Case kCases[] = {
    {"a left-aligned caption grows right",
     [](QWidget* p) { return label(p, "Tables - Seating Assignments", {20, 20, 60, 17}); },
     [](QRect d, QRect r, QWidget*) { return r.left() == d.left() && r.right() > d.right() && r.height() == d.height(); }},
    {"a right-aligned caption grows left",
     [](QWidget* p) { return label(p, "Received At Event:", {200, 20, 60, 17}, Qt::AlignRight | Qt::AlignVCenter); },
     [](QRect d, QRect r, QWidget*) { return r.right() == d.right() && r.left() < d.left(); }},
    {"a centred warning grows both ways",
     [](QWidget* p) { return label(p, kLong, {150, 20, 200, 17}, Qt::AlignCenter); },
     [](QRect d, QRect r, QWidget*) { return r.left() < d.left() && r.right() > d.right(); }},
    {"a caption with a neighbour beside it wraps onto another line",
     [](QWidget* p) {
         block(p, {130, 20, 80, 25});
         return label(p, kLong, {20, 20, 100, 17});
     },
     [](QRect d, QRect r, QWidget* c) {
         return static_cast<QLabel*>(c)->wordWrap() && r.left() == d.left() && r.height() > d.height();
     }},
    {"a caption overlapping a control by design is not stopped by it",
     [](QWidget* p) {
         block(p, {20, 30, 300, 40});
         return label(p, "Table of the Bride's University Friends", {20, 20, 60, 17});
     },
     [](QRect d, QRect r, QWidget*) { return r.top() == d.top() && r.width() > d.width(); }},
    {"a button grows into the free side",
     [](QWidget* p) {
         block(p, {20, 20, 60, 25});
         auto* b = new QPushButton("Delete Subguest", p);
         b->setGeometry(84, 20, 60, 25);
         return b;
     },
     [](QRect d, QRect r, QWidget*) { return r.right() > d.right(); }},
    {"a check box grows right",
     [](QWidget* p) {
         auto* c = new QCheckBox("Show Planning Wizard on Startup?", p);
         c->setGeometry(20, 20, 60, 19);
         return c;
     },
     [](QRect d, QRect r, QWidget*) { return r.left() == d.left() && r.right() > d.right(); }},
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
    {"a frame's caption grows the frame",
     [](QWidget* p) {
         auto* g = new QGroupBox("Event Has Playscript?", p);
         g->setGeometry(20, 20, 50, 40);
         return g;
     },
     [](QRect d, QRect r, QWidget*) { return r.left() == d.left() && r.width() > d.width(); }},
    {"a toolbar too low for captions under its icons shows them beside",
     [](QWidget* p) {
         auto* t = new QToolBar(p);
         t->setGeometry(0, 0, 400, 37);
         t->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
         t->setIconSize(QSize(16, 16));
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
        QList<QWidget*> others;
        for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (w != control && !w->geometry().intersects(designed))
                others << w;

        ui::keepTextsWhole(&window);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QCoreApplication::processEvents();
        EXPECT_EQ(testsupport::clippedTexts(&window), QStringList());
        EXPECT_TRUE(c.expect(designed, control->geometry(), control)) << control->geometry().x() << ","
                                                                     << control->geometry().width();
        for (QWidget* w : others)
            EXPECT_FALSE(w->geometry().intersects(control->geometry())) << "covers its neighbour";

        // A short text again: the designed place, on one line.
        if (auto* l = qobject_cast<QLabel*>(control)) {
            l->setText("Event:");
            QCoreApplication::processEvents();
            EXPECT_EQ(l->geometry(), designed);
            EXPECT_FALSE(l->wordWrap());
            // And a long one set while the window is open is fitted before it is painted.
            l->setText(kLong + ' ' + kLong);
            QCoreApplication::processEvents();
            EXPECT_EQ(testsupport::clippedTexts(&window), QStringList());
        }
    }
}

}  // namespace
