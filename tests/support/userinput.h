#pragma once
// Typing and clicking as a user does, for tests that drive windows.

#include <QAbstractButton>
#include <QTest>
#include <QWidget>

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

}  // namespace testsupport
