#include <algorithm>
#include "platform/navbar/explorerbar.h"

#include <QEvent>
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

constexpr int kBarMargin = 8;      // around the column of groups
constexpr int kGroupGap = 10;      // between groups
constexpr int kHeaderHeight = 28;
constexpr int kItemHeight = 22;
constexpr int kItemIndent = 6;

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
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setMouseTracking(true);
        sync();
    }

    void sync()
    {
        setToolTip(item_->tooltip());
        setAccessibleName(item_->caption());
        if (layout_)
            layout_->setContentsMargins(2, 0, 0, item_->spacing());
        const bool command = item_->kind() != ItemControl && item_->style() != StyleCount;
        setCursor(command ? Qt::PointingHandCursor : Qt::ArrowCursor);
        updateGeometry();
        update();
    }

    void host(QWidget* control);

    QSize sizeHint() const override
    {
        if (layout_)
            return layout_->sizeHint();
        return QSize(120, kItemHeight + item_->spacing());
    }
    QSize minimumSizeHint() const override
    {
        if (layout_)
            return layout_->minimumSize();
        return QSize(40, kItemHeight + item_->spacing());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (item_->kind() == ItemControl)
            return;
        QPainter p(this);
        const QRect r(0, 0, width(), kItemHeight);
        int x = kItemIndent;
        if (item_->picture() != kNoPicture) {
            QPixmap pm = item_->group()->bar()->picture(item_->picture());
            if (!pm.isNull())
                p.drawPixmap(x, (kItemHeight - kPictureSize) / 2, pm);
            x += kPictureSize + 4;
        }
        QFont f = font();
        QColor ink(0x21, 0x3a, 0x8f);
        if (item_->style() == StyleCount) {
            ink = QColor(0x30, 0x30, 0x40);
        } else if (hover_) {
            f.setUnderline(true);
            ink = QColor(0x3d, 0x6b, 0xe0);
        }
        p.setFont(f);
        p.setPen(ink);
        p.drawText(r.adjusted(x, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                   item_->caption());
    }
    void enterEvent(QEnterEvent*) override { hover_ = true; update(); }
    void leaveEvent(QEvent*) override { hover_ = false; update(); }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && item_->kind() != ItemControl && rect().contains(e->pos()))
            item_->group()->bar()->itemActivated(item_);
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
        setFixedHeight(kHeaderHeight);
    }
    void sync()
    {
        setToolTip(group_->tooltip());
        setCursor(group_->collapsible() ? Qt::PointingHandCursor : Qt::ArrowCursor);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        const QRectF r(0.5, 4.5, width() - 1.0, height() - 4.0);
        path.addRoundedRect(r, 5, 5);
        path.addRect(QRectF(0.5, r.center().y(), r.width(), r.height() / 2));
        path.setFillRule(Qt::WindingFill);
        QLinearGradient g(0, 0, width(), 0);
        g.setColorAt(0, Qt::white);
        g.setColorAt(1, group_->bar()->groupColor(false));
        p.fillPath(path.simplified(), g);
        int x = 4;
        if (group_->picture() != kNoPicture) {
            QPixmap pm = group_->bar()->picture(group_->picture());
            if (!pm.isNull())
                p.drawPixmap(x, 2, pm);
            x += kPictureSize + 2;
        }
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(QColor(0x21, 0x3a, 0x8f));
        p.drawText(QRect(x, 4, width() - x - 22, height() - 4), Qt::AlignVCenter | Qt::AlignLeft,
                   group_->caption());
        if (group_->collapsible()) {
            // chevron: down when open, up when folded
            const QPointF c(width() - 12, 4 + (height() - 4) / 2.0);
            p.setPen(QPen(QColor(0x21, 0x3a, 0x8f), 1.6));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 7, 7);
            const double d = group_->collapsed() ? -1 : 1;
            p.drawPolyline(QPolygonF({c + QPointF(-3, -1.5 * d), c + QPointF(0, 1.5 * d), c + QPointF(3, -1.5 * d)}));
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && group_->collapsible())
            group_->setCollapsed(!group_->collapsed());
    }

private:
    Group* group_;
};

class GroupWidget : public QWidget {
public:
    GroupWidget(Group* group, QWidget* parent) : QWidget(parent), group_(group)
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
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
        items->setContentsMargins(2, 6, 4, 6);
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
        items->invalidate();
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
void Item::setSpacing(int pixels) { spacing_ = qMax(0, pixels); refresh(); }
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
    content_ = new Canvas(scroll_);
    column_ = new QVBoxLayout(content_);
    column_->setContentsMargins(kBarMargin, kBarMargin, kBarMargin, kBarMargin);
    column_->setSpacing(kGroupGap);
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
