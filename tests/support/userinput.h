#pragma once
// Typing and clicking as a user does, for tests that drive windows.

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

namespace testsupport {

// Types the text key by key. A letter beyond ASCII (é, ü) comes as the text
// of its key press, as a keyboard layout or input method sends it.
inline void keyClicks(QWidget* w, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Puts the focus into a control and types the text, key by key.
inline void type(QWidget* w, const QString& text)
{
    w->setFocus();
    keyClicks(w, text);
}

inline void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

// Turns the mouse wheel over a point of a widget by whole notches (away from
// the user for positive ones), as the window system sends it: the widget
// under the pointer gets it first, and what it does not take goes on to its
// parents.
inline void wheel(QWidget* w, QPoint at, int notches)
{
    QWidget* window = w->window();
    const QPoint inWindow = w->mapTo(window, at);
    QWidget* under = window->childAt(inWindow);
    if (!under)
        under = window;
    QWheelEvent e(under->mapFrom(window, inWindow), w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(under, &e);
}

// Shows a window and makes it the active one, as a user's window is, so that
// the focus moves and boxes are left as they would be.
inline bool showActive(QWidget* window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

// How the user comes into a box before typing over what it shows.
enum class Into { ClickStart, ClickMiddle, ClickEnd, Tab, SelectAll };

// Comes into a box of an active window as `how` says, types the text key by
// key (no text: Delete) and leaves the box with Tab.
inline void enter(QWidget* box, Into how, const QString& text)
{
    // A click lands on the part of the box under the pointer (the text of a
    // drop-down list).
    const auto clickAt = [box](int x) {
        QPoint at(x, box->height() / 2);
        QWidget* part = box->childAt(at);
        if (!part)
            part = box;
        QTest::mouseClick(part, Qt::LeftButton, {}, part->mapFrom(box, at));
    };
    switch (how) {
    case Into::ClickStart:
        clickAt(4);
        break;
    case Into::ClickMiddle:
        clickAt(box->width() / 3);
        break;
    case Into::ClickEnd:
        clickAt(box->width() * 2 / 3);
        break;
    case Into::Tab: {
        // From the control before it in the tab order.
        QWidget* before = box->previousInFocusChain();
        while (before != box
               && !((before->focusPolicy() & Qt::TabFocus) && before->isVisible() && before->isEnabled()))
            before = before->previousInFocusChain();
        before->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(before, Qt::Key_Tab);
        break;
    }
    case Into::SelectAll:
        clickAt(4);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        break;
    }
    QWidget* typedInto = QApplication::focusWidget();
    if (text.isEmpty())
        QTest::keyClick(typedInto, Qt::Key_Delete);
    keyClicks(typedInto, text);
    QTest::keyClick(typedInto, Qt::Key_Tab);
}

}  // namespace testsupport
