#include "platform/diagram/buttonbar.h"

#include <QEnterEvent>
#include <QFont>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStyleOptionFocusRect>
#include <QVBoxLayout>

namespace diagram {

namespace {
constexpr int kPad = 2;
constexpr int kCaptionGap = 1;
}  // namespace

// ---------------------------------------------------------------- item

BarItem::BarItem(const QString& caption, const QString& key, QWidget* parent) : QAbstractButton(parent), key_(key)
{
    setText(caption);
    // A size smaller, so that a group's items fit the bar's height.
    QFont f = font();
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(7.0, f.pointSizeF() - 1));
    setFont(f);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
}

void BarItem::setPicture(const QPixmap& p)
{
    picture_ = p;
    update();
}

QRect BarItem::captionRect(int width) const
{
    const QRect room(kPad, 0, std::max(1, width - 2 * kPad), 1000);
    const QRect text = fontMetrics().boundingRect(room, Qt::AlignHCenter | Qt::TextWordWrap, this->text());
    return QRect(kPad, kPad + ButtonBar::kIconSide + kCaptionGap, room.width(), text.height());
}

int BarItem::heightForWidth(int w) const
{
    return captionRect(w).bottom() + 1 + kPad;
}

QSize BarItem::sizeHint() const
{
    const int w = std::max(width(), ButtonBar::kIconSide + 2 * kPad);
    return QSize(w, heightForWidth(w));
}

void BarItem::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (isDown() || hovered_)
        p.fillRect(rect().adjusted(1, 1, -1, -1), palette().color(isDown() ? QPalette::Mid : QPalette::Midlight));
    const QRect icon((width() - ButtonBar::kIconSide) / 2, kPad, ButtonBar::kIconSide, ButtonBar::kIconSide);
    if (!picture_.isNull())
        p.drawPixmap(icon, picture_);
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(captionRect(width()), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, text());
    if (hasFocus()) {
        QStyleOptionFocusRect o;
        o.initFrom(this);
        o.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &o, &p, this);
    }
}

void BarItem::enterEvent(QEnterEvent* e)
{
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(e);
}

void BarItem::leaveEvent(QEvent* e)
{
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(e);
}

// ---------------------------------------------------------------- bar

ButtonBar::ButtonBar(QWidget* parent) : QWidget(parent), layout_(new QVBoxLayout(this))
{
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    setAutoFillBackground(true);
}

void ButtonBar::setLargeIcon(const QString& iconKey, const QPixmap& picture)
{
    icons_[iconKey] = picture;
}

int ButtonBar::addGroup(const QString& caption)
{
    Group g;
    g.header = new QPushButton(caption, this);
    g.header->setAutoDefault(false);
    g.area = new QScrollArea(this);
    g.area->setWidgetResizable(true);
    g.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g.area->setFrameShape(QFrame::NoFrame);
    g.area->setBackgroundRole(QPalette::Dark);
    g.page = new QWidget;
    g.page->setBackgroundRole(QPalette::Dark);
    g.list = new QVBoxLayout(g.page);
    g.list->setContentsMargins(2, 2, 2, 2);
    g.list->setSpacing(0);
    g.list->addStretch(1);
    g.area->setWidget(g.page);
    const int index = int(groups_.size());
    connect(g.header, &QPushButton::clicked, this, [this, index] { setCurrentGroup(index); });
    groups_.push_back(g);
    if (current_ < 0)
        current_ = 0;
    arrange();
    return index;
}

BarItem* ButtonBar::addItem(int group, const QString& caption, const QString& key, const QString& iconKey)
{
    if (group < 0 || group >= groups_.size())
        return nullptr;
    Group& g = groups_[group];
    auto* item = new BarItem(caption, key, g.page);
    item->setObjectName(key);
    item->setPicture(icons_.value(iconKey));
    item->setForegroundRole(QPalette::BrightText);
    // Before the stretch that keeps the items at the top.
    g.list->insertWidget(g.list->count() - 1, item);
    g.items.push_back(item);
    connect(item, &QAbstractButton::clicked, this, [this, key] { emit ButtonClick(key); });
    return item;
}

QPushButton* ButtonBar::groupHeader(int group) const
{
    return group >= 0 && group < groups_.size() ? groups_[group].header : nullptr;
}

QList<BarItem*> ButtonBar::items(int group) const
{
    return group >= 0 && group < groups_.size() ? groups_[group].items : QList<BarItem*>{};
}

BarItem* ButtonBar::item(const QString& key) const
{
    for (const Group& g : groups_)
        for (BarItem* i : g.items)
            if (i->key() == key)
                return i;
    return nullptr;
}

void ButtonBar::setCurrentGroup(int group)
{
    if (group < 0 || group >= groups_.size() || group == current_)
        return;
    current_ = group;
    arrange();
}

void ButtonBar::arrange()
{
    while (layout_->count() > 0)
        delete layout_->takeAt(0);
    for (int i = 0; i < groups_.size(); ++i) {
        if (i == current_ + 1)
            layout_->addWidget(groups_[current_].area, 1);
        layout_->addWidget(groups_[i].header);
        groups_[i].area->setVisible(i == current_);
    }
    if (current_ == groups_.size() - 1)
        layout_->addWidget(groups_[current_].area, 1);
    layout_->activate();
}

}  // namespace diagram
