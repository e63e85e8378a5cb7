#pragma once
// Typing and clicking as a user does, for tests that drive windows.

#include <QAbstractButton>
#include <QTest>
#include <QWidget>

namespace testsupport {

// Puts the focus into a control and types the text, key by key.
inline void type(QWidget* w, const QString& text)
{
    w->setFocus();
    QTest::keyClicks(w, text);
}

inline void click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton); }

}  // namespace testsupport
