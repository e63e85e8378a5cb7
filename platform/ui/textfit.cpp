#include "platform/ui/textfit.h"

#include "platform/ui/picturebox.h"

#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTextDocument>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <utility>

namespace ui {

namespace {

// Where the window put a control, where it was last put here, and whether
// a label wraps because it is fitted (not by its design).
const char* const kDesigned = "textFitDesigned";
const char* const kApplied = "textFitApplied";
const char* const kWrapped = "textFitWrapped";
const char* const kFitter = "textFitFollowed";

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
        // The style's frame and margin round the text, without its least width.
        const QSize text = textSize(b->fontMetrics(), b->text(), Qt::TextShowMnemonic);
        const int frame = 2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
        const int margin = b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
        const int icon = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        n.size = QSize(text.width() + icon + margin + frame, text.height() + frame);
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
        // Its caption, and the room its controls were given.
        QSize inside;
        for (QObject* o : g->children())
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow() && !w->isHidden() && w->x() >= 0 &&
                                                      w->y() >= 0 && w->x() < g->width() && w->y() < g->height())
                inside = inside.expandedTo(QSize(w->geometry().right() + 1, w->geometry().bottom() + 1));
        const int title =
            g->title().isEmpty()
                ? 0
                : textSize(g->fontMetrics(), g->title(), Qt::TextShowMnemonic).width() + g->fontMetrics().height();
        n.size = QSize(std::max(title, inside.width()), inside.height());
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

// How much of `need` each side takes from its free room: the sides the
// alignment points to first (both halves when centred), then, with
// `anySide`, the other.
void share(int need, int freeBefore, int freeAfter, bool before, bool after, bool anySide, int& takeBefore,
           int& takeAfter)
{
    takeBefore = takeAfter = 0;
    if (need <= 0)
        return;
    if (before && after) {
        takeBefore = std::min(need / 2, freeBefore);
        takeAfter = std::min(need - takeBefore, freeAfter);
        takeBefore = std::min(need - takeAfter, freeBefore);
    } else if (before) {
        takeBefore = std::min(need, freeBefore);
        if (anySide)
            takeAfter = std::min(need - takeBefore, freeAfter);
    } else {
        takeAfter = std::min(need, freeAfter);
        if (anySide)
            takeBefore = std::min(need - takeAfter, freeBefore);
    }
}

// The free room before and after `r` along one direction: up to the
// bounds, or to the nearest control beside it.
std::pair<int, int> freeRoom(const QList<QRect>& others, const QRect& r, const QRect& bounds, Qt::Orientation o)
{
    const bool across = o == Qt::Horizontal;
    const auto first = [across](const QRect& x) { return across ? x.left() : x.top(); };
    const auto last = [across](const QRect& x) { return across ? x.right() : x.bottom(); };
    const auto beside = [across](const QRect& x, const QRect& y) {
        return across ? x.bottom() >= y.top() && x.top() <= y.bottom() : x.right() >= y.left() && x.left() <= y.right();
    };
    int low = first(bounds), high = last(bounds);
    for (const QRect& x : others)
        if (beside(x, r)) {
            if (first(x) > last(r))
                high = std::min(high, first(x) - 1);
            else if (last(x) < first(r))
                low = std::max(low, last(x) + 1);
        }
    return {std::max(0, first(r) - low), std::max(0, high - last(r))};
}

// The rectangle `from` grown towards `want` (a width and a height) into the
// free room of its container: the container's own area less the places of
// the controls beside it. Controls that overlap `from` by design do not
// stop it. It grows on the sides its alignment points to, and with
// `anySide` on the others too.
QRect grown(const QWidget* c, const QRect& from, QSize want, Qt::Alignment align, bool anySide)
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
    int before = 0, after = 0;
    auto [freeL, freeR] = freeRoom(others, r, bounds, Qt::Horizontal);
    const bool centred = align & Qt::AlignHCenter;
    share(want.width() - r.width(), freeL, freeR, centred || (align & Qt::AlignRight),
          centred || !(align & Qt::AlignRight), anySide, before, after);
    r.adjust(-before, 0, after, 0);
    auto [freeU, freeD] = freeRoom(others, r, bounds, Qt::Vertical);
    const bool middle = align & Qt::AlignVCenter;
    share(want.height() - r.height(), freeU, freeD, middle || (align & Qt::AlignBottom),
          middle || !(align & Qt::AlignBottom), anySide, before, after);
    r.adjust(0, -before, 0, after);
    return r;
}

// Grows a container on the sides where a control inside lacks room; its own
// container grows first where it lacks the room for that.
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
    const Qt::Alignment sides =
        (left && right ? Qt::AlignHCenter : left ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
    QRect r = grown(container, now, want.size(), sides, false);
    if (r.size() != want.size() && makeRoom(container->parentWidget(), want))
        r = grown(container, now, want.size(), sides, false);
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
    const bool canWrap = label && (n.wraps || designWraps);
    const QRect d = designedRect(c);
    QWidget* container = c->parentWidget();
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
        if (d.intersects(container->rect()) && !container->rect().contains(d))
            makeRoom(container, d);
        return;
    }
    // Onto further lines inside its own place.
    if (label && n.wraps && !designWraps && wrappedHeight(label, d.width()) <= d.height()) {
        setWrap(true);
        place(c, d, d);
        return;
    }
    // Wider on the side its text leans to, on the lines it has.
    const QSize wide = designWraps ? QSize(want.width(), d.height()) : want;
    QRect r = grown(c, d, wide, n.align, false);
    if (!fits(r) && !canWrap) {
        // A button or a box has no further line: any side, then a larger frame.
        r = grown(c, d, wide, n.align, true);
        if (!fits(r) && makeRoom(container, QStyle::alignedRect(c->layoutDirection(), n.align, wide, d)))
            r = grown(c, d, wide, n.align, true);
    }
    if (fits(r) || !canWrap) {
        setWrap(false);
        place(c, d, r);
        return;
    }
    // Wrapped at the width it got, growing down; wider on any side, or a
    // taller frame, where that is not enough.
    const auto wrapped = [&](int width) {
        const QRect from(r.left(), d.top(), width, d.height());
        return grown(c, from, QSize(width, wrappedHeight(label, width)), Qt::AlignTop, true);
    };
    QRect tall = wrapped(r.width());
    if (tall.height() < wrappedHeight(label, tall.width())) {
        r = grown(c, d, wide, n.align, true);
        tall = wrapped(r.width());
    }
    if (tall.height() < wrappedHeight(label, tall.width()) &&
        makeRoom(container, QRect(tall.topLeft(), QSize(tall.width(), wrappedHeight(label, tall.width())))))
        tall = wrapped(tall.width());
    setWrap(true);
    place(c, d, tall);
}

// Controls of one line first: a text that wraps can still take the room
// they leave, on any side.
void fitChildren(QWidget* container)
{
    QList<QWidget*> later;
    for (QObject* o : container->children())
        if (auto* c = qobject_cast<QWidget*>(o); c && !c->isWindow()) {
            if (auto* l = qobject_cast<QLabel*>(c); l && (l->wordWrap() || l->text().contains(QLatin1Char('\n'))))
                later << c;
            else
                fitControl(c);
        }
    for (QWidget* c : later)
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
    window->setProperty(kFitter, true);
    f->fitAll();
}

}  // namespace ui
