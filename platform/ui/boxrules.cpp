#include "platform/ui/boxrules.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTabBar>

namespace ui {

namespace {

// The list or number box or tab strip a widget is, or is a part of.
QWidget* wheelBox(QObject* o)
{
    for (int up = 0; o && up < 2; ++up, o = o->parent())
        if (qobject_cast<QComboBox*>(o) || qobject_cast<QAbstractSpinBox*>(o) || qobject_cast<QTabBar*>(o))
            return static_cast<QWidget*>(o);
    return nullptr;
}

void flattenLineBreaks(QLineEdit* box)
{
    // What the user typed, pasted or dropped leaves the box modified; a text
    // set by the program does not. Told after the box's own listeners, so the
    // last text they hear is the flat one.
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString& text) {
        static const QRegularExpression breaks(QStringLiteral(u"\r\n|[\r\n\u2028\u2029]"));
        if (!box->isModified() || !text.contains(breaks))
            return;
        QString before = text.left(box->cursorPosition());
        QString flat = text;
        flat.replace(breaks, QStringLiteral(" "));
        // As an edit of the user's own, so undo and the modified flag hold.
        box->selectAll();
        box->insert(flat);
        box->setCursorPosition(int(before.replace(breaks, QStringLiteral(" ")).size()));
    });
}

// Set on a box while the user has it: clicked or tabbed into, not merely
// given the focus by the program (a window opening on it).
constexpr char kChosen[] = "nuptaroChosenByUser";

class BoxRules : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::Polish:
            if (auto* line = qobject_cast<QLineEdit*>(o))
                flattenLineBreaks(line);
            else if (QWidget* box = wheelBox(o); box == o && (box->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
                box->setFocusPolicy(Qt::StrongFocus);
            break;
        case QEvent::FocusIn:
        case QEvent::FocusOut:
            if (QWidget* box = wheelBox(o); box == o) {
                // Its own list opening or closing, or another window coming
                // between, leaves the box as chosen as it was.
                const Qt::FocusReason why = static_cast<QFocusEvent*>(e)->reason();
                if (why == Qt::PopupFocusReason || why == Qt::ActiveWindowFocusReason)
                    break;
                box->setProperty(kChosen, e->type() == QEvent::FocusIn
                                              && (why == Qt::MouseFocusReason || why == Qt::TabFocusReason
                                                  || why == Qt::BacktabFocusReason || why == Qt::ShortcutFocusReason));
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
            // A click or a key in a box the window opened on chooses it too.
            if (QWidget* box = wheelBox(o))
                box->setProperty(kChosen, true);
            break;
        case QEvent::Wheel:
            if (QWidget* box = wheelBox(o); box && !(box->hasFocus() && box->property(kChosen).toBool())) {
                // Not taken: the wheel goes on to what the box stands in.
                e->ignore();
                return true;
            }
            break;
        default:
            break;
        }
        return false;
    }
};

}  // namespace

void keepBoxRules()
{
    static BoxRules* rules = nullptr;
    if (rules || !qApp)
        return;
    rules = new BoxRules(qApp);
    qApp->installEventFilter(rules);
}

}  // namespace ui
