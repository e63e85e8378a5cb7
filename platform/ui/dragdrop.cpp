#include "platform/ui/dragdrop.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>

namespace ui {

namespace {

// Pixels at the top and bottom of a scrolled target where a drag held there
// scrolls it, and how often it scrolls by one step.
constexpr int kScrollMargin = 16;
constexpr int kScrollInterval = 50;

class DragSession : public QObject {
public:
    QHash<QWidget*, DropHandlers> targets;
    QPointer<QWidget> source;
    QPointer<QWidget> over;  // the target the pointer is over
    QPointer<QLabel> image;
    std::function<void()> ended;
    bool active = false;
    // Escape ended the drag while the button is still held: the moves that
    // follow start none again, and the release drops nothing.
    bool cancelled = false;
    QPoint lastGlobal;
    QTimer scroller;
    int scrollBy = 0;  // -1 up, 1 down, 0 still

    DragSession()
    {
        scroller.setInterval(kScrollInterval);
        QObject::connect(&scroller, &QTimer::timeout, this, [this] { scrollStep(); });
    }

    // The scroll area whose viewport the target is, if any.
    static QAbstractScrollArea* scrolledBy(QWidget* target)
    {
        auto* area = target ? qobject_cast<QAbstractScrollArea*>(target->parentWidget()) : nullptr;
        return area && area->viewport() == target ? area : nullptr;
    }

    // A target that scrolls scrolls while the pointer is held near its top
    // or bottom edge, so a drop can reach what is not on screen.
    void followEdge()
    {
        scrollBy = 0;
        if (scrolledBy(over)) {
            const int y = over->mapFromGlobal(lastGlobal).y();
            scrollBy = y < kScrollMargin ? -1 : y >= over->height() - kScrollMargin ? 1 : 0;
        }
        if (scrollBy == 0)
            scroller.stop();
        else if (!scroller.isActive())
            scroller.start();
    }

    void scrollStep()
    {
        QAbstractScrollArea* area = active ? scrolledBy(over) : nullptr;
        if (!area || scrollBy == 0) {
            scroller.stop();
            return;
        }
        QScrollBar* bar = area->verticalScrollBar();
        const int before = bar->value();
        bar->triggerAction(scrollBy < 0 ? QAbstractSlider::SliderSingleStepSub : QAbstractSlider::SliderSingleStepAdd);
        // What lies under the pointer now is told to the target as a move.
        if (bar->value() != before && targets.value(over).over)
            targets.value(over).over(source, over->mapFromGlobal(lastGlobal), vbOver);
    }

    void begin(QWidget* src, const QPixmap& pixmap, std::function<void()> onEnd)
    {
        if (active)
            finish();
        endCancelled();
        source = src;
        ended = std::move(onEnd);
        active = true;
        over = nullptr;
        if (!pixmap.isNull()) {
            auto* l = new QLabel;
            l->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput);
            l->setAttribute(Qt::WA_TransparentForMouseEvents);
            l->setAttribute(Qt::WA_ShowWithoutActivating);
            l->setPixmap(pixmap);
            l->setWindowOpacity(0.7);
            l->adjustSize();
            image = l;
        }
        QApplication::setOverrideCursor(Qt::DragMoveCursor);
        qApp->installEventFilter(this);
    }

    void finish()
    {
        if (!active)
            return;
        active = false;
        scroller.stop();
        qApp->removeEventFilter(this);
        // The target the drag was over is left, dropped on or not.
        if (over && targets.value(over).over)
            targets.value(over).over(source, over->mapFromGlobal(lastGlobal), vbLeave);
        QApplication::restoreOverrideCursor();
        if (image)
            image->deleteLater();
        image = nullptr;
        over = nullptr;
        source = nullptr;
        if (auto f = std::move(ended))
            f();
    }

    void cancel()
    {
        finish();
        // Until the button is let go (a move without it, or a new press,
        // shows it was).
        cancelled = true;
        qApp->installEventFilter(this);
    }

    void endCancelled()
    {
        if (!cancelled)
            return;
        cancelled = false;
        qApp->removeEventFilter(this);
    }

    bool whileCancelled(QEvent* e)
    {
        switch (e->type()) {
        case QEvent::MouseMove:
            if (static_cast<QMouseEvent*>(e)->buttons() != Qt::NoButton)
                return true;
            endCancelled();
            return false;
        case QEvent::MouseButtonRelease:
            endCancelled();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            endCancelled();
            return false;
        default:
            return false;
        }
    }

    // The drop target under the pointer: the widget a test sent the event
    // to, or, for events the pressed source receives, the widget on screen.
    QWidget* targetAt(QObject* receiver, const QPoint& global) const
    {
        QWidget* w = qobject_cast<QWidget*>(receiver);
        if (!w || (source && (w == source || source->isAncestorOf(w))))
            w = QApplication::widgetAt(global);
        for (; w; w = w->parentWidget())
            if (targets.contains(w))
                return w;
        return nullptr;
    }

    bool eventFilter(QObject* receiver, QEvent* e) override
    {
        if (cancelled)
            return whileCancelled(e);
        switch (e->type()) {
        case QEvent::MouseMove: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint global = me->globalPosition().toPoint();
            lastGlobal = global;
            if (image) {
                image->move(global + QPoint(12, 12));
                image->show();
            }
            QWidget* t = targetAt(receiver, global);
            QWidget* src = source;
            if (t != over) {
                if (over && targets.value(over).over)
                    targets.value(over).over(src, over->mapFromGlobal(global), vbLeave);
                over = t;
                if (t && targets.value(t).over)
                    targets.value(t).over(src, t->mapFromGlobal(global), vbEnter);
            }
            if (t && targets.value(t).over)
                targets.value(t).over(src, t->mapFromGlobal(global), vbOver);
            followEdge();
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* me = static_cast<QMouseEvent*>(e);
            const QPoint global = me->globalPosition().toPoint();
            lastGlobal = global;
            QWidget* t = targetAt(receiver, global);
            QPointer<QWidget> src = source;
            const DropHandlers h = t ? targets.value(t) : DropHandlers{};
            const QPoint local = t ? t->mapFromGlobal(global) : QPoint();
            finish();
            if (h.drop)
                h.drop(src, local);
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
                cancel();
                return true;
            }
            return false;
        default:
            return false;
        }
    }
};

DragSession& session()
{
    static DragSession* s = new DragSession;
    return *s;
}

}  // namespace

void setDropTarget(QWidget* target, DropHandlers handlers)
{
    if (!target)
        return;
    DragSession& s = session();
    const bool known = s.targets.contains(target);
    s.targets.insert(target, std::move(handlers));
    if (!known)
        QObject::connect(target, &QObject::destroyed, &s, [target] { session().targets.remove(target); });
}

void beginDrag(QWidget* source, const QPixmap& image, std::function<void()> ended)
{
    session().begin(source, image, std::move(ended));
}

bool isDragging() { return session().active; }

QWidget* dragSource() { return session().source; }

void cancelDrag() { session().finish(); }

int buttonCode(Qt::MouseButtons b)
{
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int shiftCode(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

}  // namespace ui
