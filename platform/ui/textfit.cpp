#include "platform/ui/textfit.h"

#include "platform/ui/picturebox.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>

namespace ui {

namespace {

// Where the window put a control, where it was last put here, and whether
// a label wraps because it is fitted (not by its design).
const char* const kDesigned = "textFitDesigned";
const char* const kApplied = "textFitApplied";
const char* const kWrapped = "textFitWrapped";
const char* const kFitter = "textFitter";

constexpr int kUnbounded = 1 << 20;

// A widget whose children the window places itself, in twips: the window,
// its frames, picture boxes and pages. Controls made of parts (lists, grids,
// trees, the navigation bar) place their own parts.
bool isContainer(const QWidget* w)
{
    if (w->layout())
        return false;
    if (w->isWindow())
        return true;
    if (qobject_cast<const QAbstractScrollArea*>(w->parentWidget()))
        return false;  // a viewport and its bars
    const QByteArray cls = w->metaObject()->className();
    return cls == "QWidget" || cls == "QFrame" || qobject_cast<const QGroupBox*>(w) ||
           dynamic_cast<const PictureBox*>(w);
}

// Whether a container may grow within its own container to make room.
bool canGrow(const QWidget* w)
{
    return !w->isWindow() && w->parentWidget() && isContainer(w->parentWidget()) &&
           (qobject_cast<const QGroupBox*>(w) || dynamic_cast<const PictureBox*>(w) ||
            w->metaObject()->className() == QByteArray("QFrame") ||
            w->metaObject()->className() == QByteArray("QWidget"));
}

QSize textSize(const QFontMetrics& fm, const QString& text, int flags = 0)
{
    return fm.boundingRect(QRect(0, 0, kUnbounded, kUnbounded), flags, text).size();
}

bool isPlainLabel(const QLabel* l)
{
    return l->textFormat() == Qt::PlainText ||
           (l->textFormat() == Qt::AutoText && !Qt::mightBeRichText(l->text()));
}

// Room a label's frame, margin and indent take round its text.
QSize labelPadding(const QLabel* l)
{
    const QRect c = l->contentsRect();
    int h = l->width() - c.width() + 2 * l->margin();
    if (l->indent() > 0)
        h += l->indent();
    return {h, l->height() - c.height() + 2 * l->margin()};
}

int wrappedHeight(const QLabel* l, int width)
{
    const QSize pad = labelPadding(l);
    const int room = std::max(1, width - pad.width());
    return l->fontMetrics().boundingRect(QRect(0, 0, room, kUnbounded), Qt::TextWordWrap, l->text()).height() +
           pad.height();
}

// The size a control needs to show its text whole on the lines it has, and
// the side it grows to: the text's alignment in it.
struct Need {
    QSize size;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop;
    bool wraps = false;  // a label that may take further lines
};

bool needOf(QWidget* c, Need& n)
{
    if (auto* l = qobject_cast<QLabel*>(c)) {
        if (l->text().isEmpty() || !isPlainLabel(l))
            return false;
        const QSize pad = labelPadding(l);
        n.size = textSize(l->fontMetrics(), l->text()) + pad;
        n.align = l->alignment();
        n.wraps = l->text().contains(QLatin1Char(' '));
        return true;
    }
    if (auto* b = qobject_cast<QPushButton*>(c)) {
        if (b->text().isEmpty())
            return false;
        const QSize text = textSize(b->fontMetrics(), b->text(), Qt::TextShowMnemonic);
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        n.size = QSize(text.width() + icon + 2 * margin, text.height() + 4);
        n.align = Qt::AlignCenter;
        return true;
    }
    if (qobject_cast<QCheckBox*>(c) || qobject_cast<QRadioButton*>(c) || qobject_cast<QToolButton*>(c)) {
        auto* b = static_cast<QAbstractButton*>(c);
        if (b->text().isEmpty())
            return false;
        n.size = QSize(b->sizeHint().width(), qobject_cast<QToolButton*>(c)
                                                  ? b->sizeHint().height()
                                                  : textSize(b->fontMetrics(), b->text()).height());
        return true;
    }
    if (auto* g = qobject_cast<QGroupBox*>(c)) {
        if (g->title().isEmpty())
            return false;
        n.size = QSize(textSize(g->fontMetrics(), g->title(), Qt::TextShowMnemonic).width() + g->fontMetrics().height(),
                       0);
        return true;
    }
    if (auto* box = qobject_cast<QComboBox*>(c)) {
        if (box->isEditable() || box->currentText().isEmpty())
            return false;
        QStyleOptionComboBox opt;
        opt.initFrom(box);
        opt.editable = false;
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
        const int text = box->fontMetrics().horizontalAdvance(box->currentText()) + 4;
        n.size = QSize(box->width() + std::max(0, text - field.width()), 0);
        return true;
    }
    return false;
}

// A toolbar whose captions do not fit under its icons shows them beside.
void fitToolBar(QToolBar* bar)
{
    if (bar->toolButtonStyle() != Qt::ToolButtonTextUnderIcon || bar->sizeHint().height() <= bar->height())
        return;
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    if (bar->sizeHint().height() > bar->height() || bar->sizeHint().width() > bar->width())
        bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
}

QRect designedRect(const QWidget* c)
{
    const QVariant applied = c->property(kApplied);
    if (applied.isValid() && applied.toRect() == c->geometry())
        return c->property(kDesigned).toRect();
    // Never fitted, or moved by its window since: where it is now is its design.
    return c->geometry();
}

void place(QWidget* c, const QRect& designed, const QRect& r)
{
    c->setProperty(kDesigned, designed);
    c->setProperty(kApplied, r);
    if (c->geometry() != r)
        c->setGeometry(r);
}

// The rectangle `from` grown towards `want` (a width and a height) into the
// free room of its container: the container's own area less the places of
// the controls beside it. Controls that overlap `from` by design do not
// stop it. Alignment says which side grows first.
QRect grown(const QWidget* c, const QRect& from, QSize want, Qt::Alignment align)
{
    const QWidget* p = c->parentWidget();
    QList<QRect> others;
    for (const QObject* o : p->children()) {
        auto* s = qobject_cast<const QWidget*>(o);
        if (s && s != c && !s->isWindow() && !s->isHidden() && !s->geometry().intersects(from))
            others << s->geometry();
    }
    const QRect bounds = p->rect();
    QRect r = from;

    const int dx = want.width() - r.width();
    if (dx > 0) {
        int right = bounds.right(), left = bounds.left();
        for (const QRect& o : others)
            if (o.bottom() >= r.top() && o.top() <= r.bottom()) {
                if (o.left() > r.right())
                    right = std::min(right, o.left() - 1);
                else if (o.right() < r.left())
                    left = std::max(left, o.right() + 1);
            }
        const int freeR = std::max(0, right - r.right()), freeL = std::max(0, r.left() - left);
        int takeR = 0, takeL = 0;
        if (align & Qt::AlignRight) {
            takeL = std::min(dx, freeL);
            takeR = std::min(dx - takeL, freeR);
        } else if (align & Qt::AlignHCenter) {
            takeL = std::min(dx / 2, freeL);
            takeR = std::min(dx - takeL, freeR);
            takeL = std::min(dx - takeR, freeL);
        } else {
            takeR = std::min(dx, freeR);
            takeL = std::min(dx - takeR, freeL);
        }
        r.adjust(-takeL, 0, takeR, 0);
    }

    const int dy = want.height() - r.height();
    if (dy > 0) {
        int bottom = bounds.bottom(), top = bounds.top();
        for (const QRect& o : others)
            if (o.right() >= r.left() && o.left() <= r.right()) {
                if (o.top() > r.bottom())
                    bottom = std::min(bottom, o.top() - 1);
                else if (o.bottom() < r.top())
                    top = std::max(top, o.bottom() + 1);
            }
        const int freeD = std::max(0, bottom - r.bottom()), freeU = std::max(0, r.top() - top);
        int takeD = 0, takeU = 0;
        if (align & Qt::AlignBottom) {
            takeU = std::min(dy, freeU);
            takeD = std::min(dy - takeU, freeD);
        } else if (align & Qt::AlignVCenter) {
            takeU = std::min(dy / 2, freeU);
            takeD = std::min(dy - takeU, freeD);
            takeU = std::min(dy - takeD, freeU);
        } else {
            takeD = std::min(dy, freeD);
            takeU = std::min(dy - takeD, freeU);
        }
        r.adjust(0, -takeU, 0, takeD);
    }
    return r;
}

// Grows a container by as much as its control lacks, on the control's side;
// its own container grows first where it lacks the room.
bool makeRoom(QWidget* container, const QRect& wanted)
{
    if (!canGrow(container))
        return false;
    const QRect inside = container->rect();
    const int left = std::max(0, inside.left() - wanted.left()), right = std::max(0, wanted.right() - inside.right());
    const int down = std::max(0, wanted.bottom() - inside.bottom());
    if (!left && !right && !down)
        return false;
    const QRect designed = designedRect(container);
    const QRect now = container->geometry();
    const QRect want = now.adjusted(-left, 0, right, down);
    const Qt::Alignment side = left && !right ? Qt::AlignRight : Qt::AlignLeft;
    QRect r = grown(container, now, want.size(), side);
    if (r.size() != want.size() && makeRoom(container->parentWidget(), want))
        r = grown(container, now, want.size(), side);
    if (r == now)
        return false;
    place(container, designed, r);
    // The controls inside keep their places on the page when it grows leftwards.
    const QPoint shift(now.left() - r.left(), 0);
    if (!shift.isNull())
        for (QObject* o : container->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) {
                const QRect d = designedRect(w).translated(shift);
                place(w, d, w->geometry().translated(shift));
            }
    return true;
}

void fitControl(QWidget* c)
{
    if (auto* bar = qobject_cast<QToolBar*>(c)) {
        fitToolBar(bar);
        return;
    }
    Need n;
    if (!needOf(c, n))
        return;
    auto* label = qobject_cast<QLabel*>(c);
    const bool fitWrapped = c->property(kWrapped).toBool();
    const bool designWraps = label && label->wordWrap() && !fitWrapped;
    const QRect d = designedRect(c);
    const auto setWrap = [&](bool on) {
        if (!label || designWraps)
            return;
        c->setProperty(kWrapped, on);
        if (label->wordWrap() != on)
            label->setWordWrap(on);
    };
    const auto fits = [&](const QRect& r) {
        if (designWraps)
            return wrappedHeight(label, r.width()) <= r.height();
        return n.size.width() <= r.width() && n.size.height() <= r.height();
    };
    const QSize want(std::max(n.size.width(), d.width()), std::max(n.size.height(), d.height()));

    if (fits(d)) {
        setWrap(false);
        place(c, d, d);
        // Part of it out of its frame: the frame grows.
        const QRect inside = c->parentWidget()->rect();
        if (d.intersects(inside) && !inside.contains(d))
            makeRoom(c->parentWidget(), d);
        return;
    }
    // Onto further lines inside its own place.
    if (label && n.wraps && !designWraps && wrappedHeight(label, d.width()) <= d.height()) {
        setWrap(true);
        place(c, d, d);
        return;
    }
    // Wider, on the lines it has.
    QRect r = grown(c, d, designWraps ? QSize(want.width(), d.height()) : want, n.align);
    if (!fits(r) && !(label && n.wraps) && makeRoom(c->parentWidget(), d.united(QRect(d.topLeft(), want))))
        r = grown(c, d, want, n.align);
    if (fits(r) || !label || !(n.wraps || designWraps)) {
        setWrap(false);
        place(c, d, r);
        return;
    }
    // Wrapped at the width it could get, growing down.
    const int height = wrappedHeight(label, r.width());
    QRect tall = grown(c, QRect(r.left(), d.top(), r.width(), d.height()), QSize(r.width(), height), n.align);
    if (tall.height() < height && makeRoom(c->parentWidget(), QRect(tall.topLeft(), QSize(r.width(), height))))
        tall = grown(c, QRect(r.left(), d.top(), r.width(), d.height()), QSize(r.width(), height), n.align);
    setWrap(true);
    place(c, d, tall);
}

void fitChildren(QWidget* container)
{
    for (QObject* o : container->children())
        if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow())
            fitControl(c);
}

// Follows a window: fits a container's controls when one of them changes
// its text or font or shows, when the container shows or changes size, and
// when the window shows.
class TextFitter : public QObject {
public:
    explicit TextFitter(QWidget* window) : QObject(window), window_(window)
    {
        watch(window);
        for (QWidget* w : window->findChildren<QWidget*>())
            watch(w);
    }

    void fitAll()
    {
        if (busy_)
            return;
        busy_ = true;
        QList<QWidget*> all{window_};
        all += window_->findChildren<QWidget*>();
        for (QWidget* w : all)
            if (isContainer(w) && (w == window_ || w->window() == window_))
                fitChildren(w);
        busy_ = false;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        auto* w = static_cast<QWidget*>(o);
        switch (e->type()) {
        case QEvent::ChildPolished:
            if (auto* c = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child()))
                watch(c);
            break;
        case QEvent::LayoutRequest:
        case QEvent::Resize:
        case QEvent::Show:
            if (w == window_ && e->type() == QEvent::Show)
                fitAll();
            else if (!busy_ && isContainer(w)) {
                busy_ = true;
                fitChildren(w);
                busy_ = false;
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    void watch(QWidget* w)
    {
        if (w->isWindow() && w != window_)
            return;
        if (!watched_.contains(w) && (w == window_ || isContainer(w))) {
            watched_.insert(w);
            w->installEventFilter(this);
            connect(w, &QObject::destroyed, this, [this, w] { watched_.remove(w); });
        }
    }

    QWidget* window_;
    QSet<QWidget*> watched_;
    bool busy_ = false;
};

}  // namespace

void keepTextsWhole(QWidget* window)
{
    if (!window || window->property(kFitter).isValid())
        return;
    auto* f = new TextFitter(window);
    window->setProperty(kFitter, QVariant::fromValue<QObject*>(f));
    f->fitAll();
}

void fitTexts(QWidget* window)
{
    if (auto* f = window ? static_cast<TextFitter*>(window->property(kFitter).value<QObject*>()) : nullptr)
        f->fitAll();
}

}  // namespace ui
