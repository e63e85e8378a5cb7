#include <algorithm>
#include "platform/navbar/explorerbar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace navbar {

namespace {

// The bar keeps its designed width; what has to give is height, so the
// spacing is tight and long captions wrap onto a second line. A compact bar
// (a short screen, or large text) is tighter still.
struct Metrics {
    int barMargin;     // around the column of groups
    int groupGap;      // between groups
    int headerHeight;  // at least; a wrapped caption makes it taller
    int headerPad;     // above and below a header's caption, together
    int itemHeight;    // at least, for one line
    int itemPad;       // above and below an item's caption, together
    int iconSize;      // pictures are drawn a little smaller than stored
    bool spacing;      // the items' own spacing below them
};
constexpr Metrics kRoomy{3, 4, 20, 6, 19, 4, 18, true};
constexpr Metrics kCompact{2, 2, 17, 4, 15, 2, 14, false};
const Metrics& metricsOf(const ExplorerBar* bar) { return bar && bar->compact() ? kCompact : kRoomy; }

constexpr int kItemIndent = 3;
constexpr int kIconGap = 4;
constexpr int kChevron = 20;       // room for the fold button of a header
const QColor kInk(0x21, 0x3a, 0x8f);

QPixmap icon(const ExplorerBar* bar, int picture)
{
    const int size = metricsOf(bar).iconSize;
    const QPixmap pm = bar->picture(picture);
    if (pm.isNull() || pm.width() == size)
        return pm;
    return pm.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The gradient behind the groups.
class Canvas : public QWidget {
public:
    explicit Canvas(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, ExplorerBar::gradientStart());
        g.setColorAt(1, ExplorerBar::gradientEnd());
        p.fillRect(rect(), g);
    }
};

// The keyboard focus on a header or an item: a light band with a frame.
void paintFocus(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1, Qt::DotLine));
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    p.restore();
}

int spacingPixels(const Item* item)
{
    return metricsOf(item->group()->bar()).spacing ? (item->spacing() + 1) / 2 : 0;
}

// The widgets of a hosted control that Tab stops at: the control itself when
// it takes the focus (through its focus proxy, if any), else its children.
QList<QWidget*> tabStopsOf(QWidget* control)
{
    if (control->focusPolicy() & Qt::TabFocus)
        return {control};
    QList<QWidget*> stops;
    for (QWidget* w : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        stops << tabStopsOf(w);
    return stops;
}

bool isActivationKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space; }

}  // namespace

// ------------------------------------------------------------ widgets

class ItemWidget : public QWidget {
public:
    ItemWidget(Item* item, QWidget* parent) : QWidget(parent), item_(item)
    {
        // Only a control item lays out a child; a command item paints itself.
        if (item->kind() == ItemControl) {
            layout_ = new QVBoxLayout(this);
            layout_->setSpacing(0);
        }
        // A wrapped caption's height follows the width; its least height
        // must not come from a width it had before it was laid out.
        QSizePolicy sp(QSizePolicy::Preferred, layout_ ? QSizePolicy::Fixed : QSizePolicy::Preferred);
        sp.setHeightForWidth(!layout_);
        setSizePolicy(sp);
        setMouseTracking(true);
        sync();
    }

    // A command item takes the keyboard; a count or a hosted control's item
    // does not (the control itself does).
    bool isCommand() const { return item_->kind() != ItemControl && item_->style() != StyleCount; }

    void sync()
    {
        setToolTip(item_->tooltip());
        setAccessibleName(item_->caption());
        if (layout_)
            layout_->setContentsMargins(2, 0, 0, spacingPixels(item_));
        setCursor(isCommand() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        setFocusPolicy(isCommand() ? Qt::TabFocus : Qt::NoFocus);
        updateGeometry();
        update();
    }

    void host(QWidget* control);

    const Metrics& metrics() const { return metricsOf(item_->group()->bar()); }
    int textLeft() const
    {
        return kItemIndent + (item_->picture() != kNoPicture ? metrics().iconSize + kIconGap : 0);
    }
    QRect textRect(int w) const { return QRect(textLeft(), 0, qMax(10, w - textLeft() - 3), 1000); }

    // The caption, wrapped as it is drawn, fits the item.
    bool captionFits() const
    {
        if (layout_)
            return true;
        const QRect room(textLeft(), 0, width() - textLeft() - 3, height() - spacingPixels(item_));
        const QRect r = fontMetrics().boundingRect(QRect(room.topLeft(), QSize(room.width(), 1000)),
                                                   Qt::TextWordWrap, item_->caption());
        return r.width() <= room.width() && r.height() <= room.height();
    }

    bool hasHeightForWidth() const override { return !layout_; }
    int heightForWidth(int w) const override
    {
        if (layout_)
            return QWidget::heightForWidth(w);
        const QRect r = fontMetrics().boundingRect(textRect(w), Qt::TextWordWrap, item_->caption());
        return qMax(metrics().itemHeight, r.height() + metrics().itemPad) + spacingPixels(item_);
    }
    QSize sizeHint() const override
    {
        if (layout_)
            return layout_->sizeHint();
        return QSize(120, heightForWidth(width() > 0 ? width() : 120));
    }
    QSize minimumSizeHint() const override
    {
        if (layout_)
            return layout_->minimumSize();
        return QSize(40, metrics().itemHeight + spacingPixels(item_));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (item_->kind() == ItemControl)
            return;
        QPainter p(this);
        const QRect r(0, 0, width(), height() - spacingPixels(item_));
        if (hasFocus())
            paintFocus(p, r);
        if (item_->picture() != kNoPicture) {
            const QPixmap pm = icon(item_->group()->bar(), item_->picture());
            if (!pm.isNull())
                p.drawPixmap(kItemIndent, r.top() + (r.height() - pm.height()) / 2, pm);
        }
        QFont f = font();
        QColor ink = kInk;
        if (item_->style() == StyleCount) {
            ink = QColor(0x30, 0x30, 0x40);
        } else if (hover_ || hasFocus()) {
            f.setUnderline(true);
            ink = QColor(0x3d, 0x6b, 0xe0);
        }
        p.setFont(f);
        p.setPen(ink);
        p.drawText(QRect(textLeft(), r.top(), r.width() - textLeft() - 3, r.height()),
                   Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, item_->caption());
    }
    void enterEvent(QEnterEvent*) override { hover_ = true; update(); }
    void leaveEvent(QEvent*) override { hover_ = false; update(); }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && item_->kind() != ItemControl && rect().contains(e->pos()))
            item_->group()->bar()->itemActivated(item_);
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        ExplorerBar* bar = item_->group()->bar();
        if (isCommand() && isActivationKey(e->key()) && e->modifiers() == Qt::NoModifier)
            bar->itemActivated(item_);
        else if (!bar->stepFocus(this, e))
            QWidget::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QWidget::focusInEvent(e);
        item_->group()->bar()->ensureVisible(this);
        update();
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QWidget::focusOutEvent(e);
        update();
    }

private:
    Item* item_;
    QVBoxLayout* layout_ = nullptr;
    bool hover_ = false;
};

class HeaderWidget : public QWidget {
public:
    HeaderWidget(Group* group, QWidget* parent) : QWidget(parent), group_(group)
    {
        QSizePolicy sp(QSizePolicy::Preferred, QSizePolicy::Preferred);
        sp.setHeightForWidth(true);
        setSizePolicy(sp);
    }
    void sync()
    {
        setToolTip(group_->tooltip());
        setAccessibleName(group_->caption().trimmed());
        setCursor(group_->collapsible() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        // Only a header that folds does something; the others are no stop.
        setFocusPolicy(group_->collapsible() ? Qt::TabFocus : Qt::NoFocus);
        updateGeometry();
        update();
    }

    // The caption's leading blanks indent every line of it, wrapped or not.
    QString caption() const { return group_->caption().trimmed(); }
    int indent() const
    {
        const QString c = group_->caption();
        int n = 0;
        while (n < c.size() && c[n] == ' ')
            ++n;
        return QFontMetrics(captionFont()).horizontalAdvance(QString(n, ' '));
    }
    const Metrics& metrics() const { return metricsOf(group_->bar()); }
    int textLeft() const { return 4 + (group_->picture() != kNoPicture ? metrics().iconSize + 3 : 0) + indent(); }
    QRect textRect(int w) const
    {
        return QRect(textLeft(), 0, qMax(10, w - textLeft() - (group_->collapsible() ? kChevron : 4)), 1000);
    }
    QFont captionFont() const
    {
        QFont f = font();
        f.setBold(true);
        return f;
    }

    bool captionFits() const
    {
        const QRect room = textRect(width());
        const QRect r = QFontMetrics(captionFont()).boundingRect(room, Qt::TextWordWrap, caption());
        return r.width() <= room.width() && r.height() <= height() - 2;
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int w) const override
    {
        const QRect r = QFontMetrics(captionFont()).boundingRect(textRect(w), Qt::TextWordWrap, caption());
        return qMax(metrics().headerHeight, r.height() + metrics().headerPad);
    }
    QSize sizeHint() const override { return QSize(120, heightForWidth(width() > 0 ? width() : 120)); }
    QSize minimumSizeHint() const override { return QSize(40, metrics().headerHeight); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        const QRectF r(0.5, 2.5, width() - 1.0, height() - 2.0);
        path.addRoundedRect(r, 5, 5);
        path.addRect(QRectF(0.5, r.center().y(), r.width(), r.height() / 2));
        path.setFillRule(Qt::WindingFill);
        QLinearGradient g(0, 0, width(), 0);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, group_->bar()->groupColor(false));
        p.fillPath(path.simplified(), g);
        if (hasFocus())
            paintFocus(p, r.adjusted(1, 1, -1, -1));
        if (group_->picture() != kNoPicture) {
            const QPixmap pm = icon(group_->bar(), group_->picture());
            if (!pm.isNull())
                p.drawPixmap(4, int(r.top()) + (int(r.height()) - pm.height()) / 2, pm);
        }
        p.setFont(captionFont());
        p.setPen(kInk);
        QRect tr = textRect(width());
        tr.setTop(int(r.top()));
        tr.setHeight(int(r.height()));
        p.drawText(tr, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, caption());
        if (group_->collapsible()) {
            // chevron: down when open, up when folded
            const QPointF c(width() - 11, r.center().y());
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 6.5, 6.5);
            const double d = group_->collapsed() ? -1 : 1;
            p.drawPolyline(QPolygonF({c + QPointF(-3, -1.5 * d), c + QPointF(0, 1.5 * d), c + QPointF(3, -1.5 * d)}));
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && group_->collapsible())
            group_->setCollapsed(!group_->collapsed());
    }
    void keyPressEvent(QKeyEvent* e) override
    {
        if (group_->collapsible() && isActivationKey(e->key()) && e->modifiers() == Qt::NoModifier)
            group_->setCollapsed(!group_->collapsed());
        else if (!group_->bar()->stepFocus(this, e))
            QWidget::keyPressEvent(e);
    }
    void focusInEvent(QFocusEvent* e) override
    {
        QWidget::focusInEvent(e);
        group_->bar()->ensureVisible(this);
        update();
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QWidget::focusOutEvent(e);
        update();
    }

private:
    Group* group_;
};

class GroupWidget : public QWidget {
public:
    GroupWidget(Group* group, QWidget* parent) : QWidget(parent), group_(group)
    {
        QSizePolicy sp(QSizePolicy::Preferred, QSizePolicy::Preferred);
        sp.setHeightForWidth(true);
        setSizePolicy(sp);
        auto* v = new QVBoxLayout(this);
        v->setContentsMargins(0, 0, 0, 0);
        v->setSpacing(0);
        header = new HeaderWidget(group, this);
        v->addWidget(header);
        body = new QWidget(this);
        body->setAutoFillBackground(true);
        QPalette pal = body->palette();
        pal.setColor(QPalette::Window, group->bar()->groupColor(true));
        body->setPalette(pal);
        items = new QVBoxLayout(body);
        items->setContentsMargins(2, 1, 2, 1);
        items->setSpacing(0);
        v->addWidget(body);
        sync();
    }
    void sync()
    {
        header->sync();
        setToolTip(QString());
        body->setVisible(!group_->collapsed());
        relayout();
    }

    // The column must learn of the group's new height at once.
    void relayout()
    {
        // The size hints cached for the body and the header go stale too.
        items->invalidate();
        body->updateGeometry();
        header->updateGeometry();
        layout()->invalidate();
        updateGeometry();
    }

    HeaderWidget* header;
    QWidget* body;
    QVBoxLayout* items;

private:
    Group* group_;
};

void ItemWidget::host(QWidget* control)
{
    if (!layout_)
        return;
    control->setParent(this);
    layout_->addWidget(control);
    control->show();
    // Tab reaches the control where it stands in the bar, not where it was made.
    QWidget* prev = item_->group()->bar()->lastStopBefore(item_);
    for (QWidget* stop : tabStopsOf(control)) {
        if (prev)
            QWidget::setTabOrder(prev, stop);
        prev = stop;
    }
    updateGeometry();
    if (item_->group()->widget_)
        item_->group()->widget_->relayout();
}

// ------------------------------------------------------------ Item

Item::Item(Group* group, const QString& key, const QString& caption, int picture, int kind)
    : group_(group), key_(key), caption_(caption), picture_(picture), kind_(kind)
{
}

void Item::refresh()
{
    if (widget_)
        widget_->sync();
    if (group_->widget_)
        group_->widget_->relayout();
}

void Item::setCaption(const QString& caption) { caption_ = caption; refresh(); }
void Item::setTooltip(const QString& tooltip) { tooltip_ = tooltip; refresh(); }
void Item::setSpacing(int halfPixels) { spacing_ = qMax(0, halfPixels); refresh(); }
void Item::setStyle(int style) { style_ = style; refresh(); }

void Item::setControl(QWidget* control)
{
    if (kind_ != ItemControl || control == control_)
        return;
    if (control_)
        group_->bar()->handBack(control_, controlHome_);
    control_ = control;
    controlHome_ = nullptr;
    if (!control)
        return;
    controlHome_ = control->parentWidget();
    if (widget_)
        widget_->host(control);
}

// ------------------------------------------------------------ Group

Group::Group(ExplorerBar* bar, const QString& key, const QString& caption)
    : bar_(bar), key_(key), caption_(caption)
{
}

Group::~Group() = default;

void Group::setCaption(const QString& caption) { caption_ = caption; if (widget_) widget_->sync(); }
void Group::setTooltip(const QString& tooltip) { tooltip_ = tooltip; if (widget_) widget_->sync(); }
void Group::setPicture(int picture) { picture_ = picture; if (widget_) widget_->sync(); }

void Group::setCollapsible(bool on)
{
    collapsible_ = on;
    if (!on)
        collapsed_ = false;
    if (widget_)
        widget_->sync();
}

void Group::setCollapsed(bool on)
{
    collapsed_ = on && collapsible_;
    if (widget_)
        widget_->sync();
}

Item* Group::addItem(const QString& key, const QString& caption, int picture, int kind)
{
    if (bar_->keyInUse(key))
        return nullptr;
    items_.push_back(std::unique_ptr<Item>(new Item(this, key, caption, picture, kind)));
    Item* it = items_.back().get();
    if (widget_) {
        it->widget_ = new ItemWidget(it, widget_->body);
        widget_->items->addWidget(it->widget_);
        it->widget_->setVisible(true);
        widget_->relayout();
    }
    return it;
}

Item* Group::item(int index) const
{
    return index >= 0 && index < itemCount() ? items_[size_t(index)].get() : nullptr;
}

Item* Group::findItem(const QString& key) const
{
    for (const auto& it : items_)
        if (it->key_ == key)
            return it.get();
    return nullptr;
}

QStringList Group::itemKeys() const
{
    QStringList keys;
    for (const auto& it : items_)
        keys << it->key_;
    return keys;
}

void Group::handBackControls()
{
    for (auto& it : items_) {
        if (it->control_)
            bar_->handBack(it->control_, it->controlHome_);
        it->control_ = nullptr;
        it->widget_ = nullptr;
    }
}

// ------------------------------------------------------------ ExplorerBar

ExplorerBar::ExplorerBar(QWidget* parent) : QWidget(parent)
{
    // The bar's designed width was made for a small dialog font.
    QFont small = font();
    small.setPointSizeF(std::min<qreal>(small.pointSizeF() > 0 ? small.pointSizeF() : 9, 8));
    setFont(small);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(true);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The groups' headers and items take the keyboard, not the area around them.
    scroll_->setFocusPolicy(Qt::NoFocus);
    content_ = new Canvas(scroll_);
    column_ = new QVBoxLayout(content_);
    column_->setContentsMargins(kRoomy.barMargin, kRoomy.barMargin, kRoomy.barMargin, kRoomy.barMargin);
    column_->setSpacing(kRoomy.groupGap);
    column_->addStretch(1);
    scroll_->setWidget(content_);
    outer->addWidget(scroll_);
    // below the groups the gradient's last colour continues
    QPalette pal = scroll_->palette();
    pal.setColor(QPalette::Window, gradientEnd());
    scroll_->setPalette(pal);
}

ExplorerBar::~ExplorerBar()
{
    for (auto& g : groups_)
        g->handBackControls();
}

bool ExplorerBar::keyInUse(const QString& key) const
{
    return findItem(key) != nullptr;
}

Group* ExplorerBar::addGroup(const QString& key, const QString& caption)
{
    if (groupExists(key))
        return nullptr;
    groups_.push_back(std::unique_ptr<Group>(new Group(this, key, caption)));
    Group* g = groups_.back().get();
    g->widget_ = new GroupWidget(g, content_);
    column_->insertWidget(column_->count() - 1, g->widget_);
    g->widget_->show();
    return g;
}

bool ExplorerBar::groupExists(const QString& key) const { return group(key) != nullptr; }

Group* ExplorerBar::group(const QString& key) const
{
    for (const auto& g : groups_)
        if (g->key_ == key)
            return g.get();
    return nullptr;
}

Group* ExplorerBar::groupAt(int index) const
{
    return index >= 0 && index < groupCount() ? groups_[size_t(index)].get() : nullptr;
}

QStringList ExplorerBar::groupKeys() const
{
    QStringList keys;
    for (const auto& g : groups_)
        keys << g->key_;
    return keys;
}

void ExplorerBar::removeGroup(const QString& key)
{
    for (auto it = groups_.begin(); it != groups_.end(); ++it) {
        if ((*it)->key_ != key)
            continue;
        Group* g = it->get();
        g->handBackControls();
        if (g->widget_) {
            g->widget_->hide();
            column_->removeWidget(g->widget_);
            g->widget_->deleteLater();
            g->widget_ = nullptr;
        }
        removed_.push_back(std::move(*it));
        groups_.erase(it);
        QTimer::singleShot(0, this, [this] { removed_.clear(); });
        return;
    }
}

void ExplorerBar::clear()
{
    while (!groups_.empty())
        removeGroup(groups_.back()->key_);
}

Item* ExplorerBar::findItem(const QString& key) const
{
    for (const auto& g : groups_)
        if (Item* it = g->findItem(key))
            return it;
    return nullptr;
}

void ExplorerBar::setRedraw(bool on)
{
    redraw_ = on;
    setUpdatesEnabled(on);
    if (on)
        update();
}

void ExplorerBar::setCompact(bool on)
{
    if (compact_ == on)
        return;
    compact_ = on;
    const Metrics& m = metricsOf(this);
    column_->setContentsMargins(m.barMargin, m.barMargin, m.barMargin, m.barMargin);
    column_->setSpacing(m.groupGap);
    for (const auto& g : groups_) {
        for (const auto& it : g->items_)
            if (it->widget_)
                it->widget_->sync();
        if (g->widget_)
            g->widget_->sync();
    }
    column_->invalidate();
    update();
}

void ExplorerBar::setPictureStore(const PictureStore* store)
{
    store_ = store;
    update();
    for (const auto& g : groups_)
        if (g->widget_)
            g->widget_->update();
}

QPixmap ExplorerBar::picture(int barNumber) const
{
    if (!store_ || barNumber < 0 || barNumber >= store_->count())
        return QPixmap();
    return store_->picture(barNumber);
}

QColor ExplorerBar::groupColor(bool body) const
{
    return body ? QColor(214, 223, 247) : QColor(198, 211, 247);
}

void ExplorerBar::handBack(QWidget* control, QWidget* previousParent)
{
    if (!control)
        return;
    control->hide();
    QWidget* home = home_ ? home_.data() : previousParent;
    if (!home || home == control)
        home = this;
    control->setParent(home);
    control->hide();
}

QList<QWidget*> ExplorerBar::focusStops() const
{
    QList<QWidget*> stops;
    for (const auto& g : groups_) {
        if (!g->widget_)
            continue;
        if (g->widget_->header->focusPolicy() & Qt::TabFocus)
            stops << g->widget_->header;
        if (g->collapsed_)
            continue;
        for (const auto& it : g->items_)
            if (it->widget_ && it->widget_->isCommand())
                stops << it->widget_;
    }
    return stops;
}

QWidget* ExplorerBar::lastStopBefore(const Item* item) const
{
    QWidget* last = nullptr;
    for (const auto& g : groups_) {
        if (g->widget_ && (g->widget_->header->focusPolicy() & Qt::TabFocus))
            last = g->widget_->header;
        for (const auto& it : g->items_) {
            if (it.get() == item)
                return last;
            if (it->control_) {
                const QList<QWidget*> stops = tabStopsOf(it->control_);
                if (!stops.isEmpty())
                    last = stops.last();
            } else if (it->widget_ && it->widget_->isCommand()) {
                last = it->widget_;
            }
        }
    }
    return last;
}

bool ExplorerBar::stepFocus(QWidget* from, QKeyEvent* e)
{
    if (e->modifiers() != Qt::NoModifier && e->modifiers() != Qt::KeypadModifier)
        return false;
    const QList<QWidget*> stops = focusStops();
    if (stops.isEmpty())
        return false;
    const int i = stops.indexOf(from);
    int j = -1;
    switch (e->key()) {
    case Qt::Key_Down: j = i + 1; break;
    case Qt::Key_Up: j = i - 1; break;
    case Qt::Key_Home: j = 0; break;
    case Qt::Key_End: j = int(stops.size()) - 1; break;
    default: return false;
    }
    if (j >= 0 && j < stops.size())
        stops[j]->setFocus(Qt::OtherFocusReason);
    return true;
}

QStringList ExplorerBar::cutCaptions() const
{
    QStringList cut;
    for (const auto& g : groups_) {
        if (!g->widget_)
            continue;
        if (!g->widget_->header->captionFits())
            cut << g->caption_;
        for (const auto& it : g->items_)
            if (it->widget_ && it->widget_->isVisible() && !it->widget_->captionFits())
                cut << it->caption_;
    }
    return cut;
}

int ExplorerBar::contentHeight() const
{
    QLayout* l = content_->layout();
    const int w = width();
    return l->hasHeightForWidth() ? l->totalHeightForWidth(w) : l->totalSizeHint().height();
}

void ExplorerBar::ensureVisible(QWidget* w)
{
    if (scroll_ && w)
        scroll_->ensureWidgetVisible(w, 0, 4);
}

QWidget* ExplorerBar::itemWidget(const QString& key) const
{
    const Item* it = findItem(key);
    return it ? it->widget_ : nullptr;
}

QWidget* ExplorerBar::headerWidget(const QString& key) const
{
    const Group* g = group(key);
    return g && g->widget_ ? g->widget_->header : nullptr;
}

void ExplorerBar::clickItem(const QString& key)
{
    if (Item* it = findItem(key))
        itemActivated(it);
}

void ExplorerBar::itemActivated(Item* item)
{
    const QString key = item->key();
    emit itemClick(item);
    emit itemClicked(key);
}

}  // namespace navbar
