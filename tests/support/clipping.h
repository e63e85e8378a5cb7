#pragma once
// What a user would find cut in a window: texts of labels, buttons, check
// boxes, frames, tabs and drop-down lists that do not fit the place they are
// given or run out of the control that holds them, and controls that overlap.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QToolButton>
#include <QWidget>

namespace testsupport {

namespace clipping {

// The room a text of these lines takes, one line of the control's font each.
inline QSize textSize(const QWidget* w, const QString& text)
{
    return w->fontMetrics().boundingRect(QRect(0, 0, 100000, 100000), Qt::TextShowMnemonic, text).size();
}

// Whether the area lies inside every control that holds it, up to the window
// or to a list that scrolls it into view.
inline bool insideParents(const QWidget* w, QRect area, const QWidget* window)
{
    for (const QWidget* p = w; p != window && p->parentWidget(); p = p->parentWidget()) {
        if (const QWidget* up = p->parentWidget()->parentWidget();
            up && qobject_cast<const QAbstractScrollArea*>(up) &&
            static_cast<const QAbstractScrollArea*>(up)->viewport() == p->parentWidget())
            return true;
        area.translate(p->pos());
        if (!p->parentWidget()->rect().contains(area))
            return false;
    }
    return true;
}

// The part of the control its text needs, or an empty rectangle when the
// text cannot be shown whole in it.
inline QRect neededArea(const QWidget* w)
{
    if (auto* l = qobject_cast<const QLabel*>(w)) {
        const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (l->wordWrap())
            return l->heightForWidth(l->width()) <= l->height() ? room : QRect();
        const QSize need = textSize(l, l->text());
        if (need.width() > room.width() || need.height() > room.height())
            return {};
        return QStyle::alignedRect(l->layoutDirection(), l->alignment(), need, room);
    }
    if (auto* b = qobject_cast<const QPushButton*>(w)) {
        // Its frame and margin as the style draws them; not the style's minimum width.
        const QSize text = textSize(b, b->text());
        const int frame = 2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        return text.width() + margin + frame <= b->width() && text.height() + frame <= b->height() ? b->rect()
                                                                                                  : QRect();
    }
    if (auto* b = qobject_cast<const QToolButton*>(w))
        return b->sizeHint().width() <= b->width() && b->sizeHint().height() <= b->height() ? b->rect() : QRect();
    if (auto* b = qobject_cast<const QAbstractButton*>(w)) {
        const QSize need = b->sizeHint();
        return need.width() <= b->width() && textSize(b, b->text()).height() <= b->height() ? b->rect() : QRect();
    }
    return w->rect();
}

}  // namespace clipping

inline QStringList clippedTexts(QWidget* window)
{
    QStringList cut;
    const auto check = [&](const QWidget* w, const QString& text, const QRect& area) {
        if (area.isEmpty() || !clipping::insideParents(w, area, window))
            cut << w->objectName() + ": " + text;
    };
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // Shown, and not a panel's control moved out of the window.
        if (!w->isVisibleTo(window) || w->visibleRegion().isEmpty())
            continue;
        if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            check(l, l->text(), clipping::neededArea(l));
        } else if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty()) {
            check(b, b->text(), clipping::neededArea(b));
        } else if (auto* g = qobject_cast<QGroupBox*>(w); g && !g->title().isEmpty()) {
            const int need = clipping::textSize(g, g->title()).width() + g->fontMetrics().height();
            check(g, g->title(), need <= g->width() ? g->rect() : QRect());
        } else if (auto* c = qobject_cast<QComboBox*>(w); c && !c->isEditable() && !c->currentText().isEmpty()) {
            QStyleOptionComboBox opt;
            opt.initFrom(c);
            const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
            const bool whole = c->fontMetrics().horizontalAdvance(c->currentText()) <= field.width();
            check(c, c->currentText(), whole ? field : QRect());
        } else if (auto* t = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < t->count(); ++i) {
                const QRect r = t->tabRect(i);
                const int need = clipping::textSize(t, t->tabText(i)).width() +
                                 t->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, t);
                const bool whole = r.width() >= need && r.left() >= 0 && r.right() < t->width();
                check(t, t->tabText(i), whole ? r : QRect());
            }
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
