#pragma once
// What a user would find cut in a window: texts of labels and buttons that
// do not fit the place they are given, and controls that overlap.

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace testsupport {

inline QStringList clippedTexts(QWidget* window)
{
    QStringList cut;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            const QRect room = l->contentsRect();
            const bool fits = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                            : l->fontMetrics().horizontalAdvance(l->text()) <= room.width();
            if (!fits)
                cut << l->objectName() + ": " + l->text();
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
            if (b->sizeHint().width() > b->width() || b->sizeHint().height() > b->height())
                cut << b->objectName() + ": " + b->text();
        }
    }
    return cut;
}

// Pairs of sibling controls whose places overlap.
inline QStringList overlaps(const QList<QWidget*>& controls)
{
    QStringList out;
    for (int i = 0; i < controls.size(); ++i)
        for (int j = i + 1; j < controls.size(); ++j)
            if (controls[i]->geometry().intersects(controls[j]->geometry()))
                out << controls[i]->objectName() + "/" + controls[j]->objectName();
    return out;
}

}  // namespace testsupport
