#include "platform/tree/treeview.h"

#include "platform/ui/celltip.h"
#include "platform/ui/dragdrop.h"

#include <QHelpEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>

namespace tree {

// Hands a finished edit to the tree's owner before the text changes.
class LabelDelegate : public QStyledItemDelegate {
public:
    explicit LabelDelegate(TreeView* t) : QStyledItemDelegate(t), tree_(t) {}
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        Node* n = tree_->itemFromIndex(index);
        if (line && n && tree_->afterLabelEdit && tree_->afterLabelEdit(n, line->text()))
            return;
        QStyledItemDelegate::setModelData(editor, model, index);
    }
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid() || !view)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        return ui::showTipWhenCut(event, view, opt);
    }

private:
    TreeView* tree_;
};

TreeView::TreeView(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(1);
    header()->hide();
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setDragEnabled(false);
    setItemDelegate(new LabelDelegate(this));
    setUniformRowHeights(true);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* n) { loadChildren(n); });
}

bool TreeView::Keys::number(const QString& key, quint64& out)
{
    // A letter, then a number without a leading zero of at most 14 digits.
    const qsizetype n = key.size();
    if (n < 2 || n > 15 || key[0].unicode() > 127 || !key[0].isLetter() || (key[1] == u'0' && n > 2))
        return false;
    quint64 v = 0;
    for (qsizetype i = 1; i < n; ++i) {
        const char16_t c = key[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        v = v * 10 + (c - u'0');
    }
    out = (quint64(key[0].unicode()) << 48) | v;
    return true;
}

Node* TreeView::Keys::value(const QString& key) const
{
    quint64 n;
    return number(key, n) ? numbered_.value(n) : named_.value(key);
}

void TreeView::Keys::insert(const QString& key, Node* node)
{
    quint64 n;
    if (number(key, n))
        numbered_.insert(n, node);
    else
        named_.insert(key, node);
}

void TreeView::Keys::remove(const QString& key)
{
    quint64 n;
    if (number(key, n))
        numbered_.remove(n);
    else
        named_.remove(key);
}

void TreeView::Keys::clear()
{
    numbered_.clear();
    named_.clear();
}

void TreeView::clearNodes()
{
    highlight_ = nullptr;
    byKey_.clear();
    clear();
}

namespace {

// A node that holds its key and its text itself: trees of many thousand
// nodes are built at once, and each role an item stores costs it memory.
class KeyedNode : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;
    KeyedNode(const QString& key, const QString& text) : QTreeWidgetItem(Type), key(key), text_(text)
    {
        setFlags(flags() | Qt::ItemIsEditable);
    }
    QVariant data(int column, int role) const override
    {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole))
            return text_;
        return QTreeWidgetItem::data(column, role);
    }
    void setData(int column, int role, const QVariant& value) override
    {
        if (column != 0 || (role != Qt::DisplayRole && role != Qt::EditRole)) {
            QTreeWidgetItem::setData(column, role, value);
        } else if (value.toString() != text_) {
            text_ = value.toString();
            emitDataChanged();
        }
    }
    const QString key;
    bool later = false;   // its children are made when first needed

private:
    QString text_;
};

Node* makeNode(const QString& key, const QString& text) { return new KeyedNode(key, text); }

}  // namespace

Node* TreeView::detachedRoot(const QString& key, const QString& text)
{
    if (byKey_.contains(key))
        return nullptr;
    Node* n = makeNode(key, text);
    byKey_.insert(key, n);
    return n;
}

void TreeView::attach(Node* root)
{
    if (root && !root->treeWidget() && !root->parent())
        addTopLevelItem(root);
}

Node* TreeView::insert(Node* parent, int index, const QString& key, const QString& text)
{
    if (byKey_.contains(key))
        return nullptr;
    Node* n = makeNode(key, text);
    if (parent)
        parent->insertChild(std::clamp(index, 0, parent->childCount()), n);
    else
        insertTopLevelItem(std::clamp(index, 0, topLevelItemCount()), n);
    byKey_.insert(key, n);
    return n;
}

Node* TreeView::add(Node* parent, const QString& key, const QString& text)
{
    return insert(parent, parent ? parent->childCount() : topLevelItemCount(), key, text);
}

Node* TreeView::node(const QString& key) const
{
    if (Node* n = byKey_.value(key))
        return n;
    if (!finder_ || finding_ || key.isEmpty())
        return nullptr;
    finding_ = true;
    finder_(key);
    finding_ = false;
    return byKey_.value(key);
}

void TreeView::setChildrenLater(Node* n)
{
    if (!n || n->type() != KeyedNode::Type)
        return;
    static_cast<KeyedNode*>(n)->later = true;
    n->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

bool TreeView::childrenLater(const Node* n) const
{
    return n && n->type() == KeyedNode::Type && static_cast<const KeyedNode*>(n)->later;
}

void TreeView::loadChildren(Node* n)
{
    if (!childrenLater(n))
        return;
    static_cast<KeyedNode*>(n)->later = false;
    n->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    if (loader_)
        loader_(n);
}

void TreeView::forget(Node* n)
{
    for (int i = 0; i < n->childCount(); ++i)
        forget(n->child(i));
    byKey_.remove(key(n));
    if (highlight_ == n)
        highlight_ = nullptr;
}

void TreeView::remove(Node* n)
{
    if (!n)
        return;
    forget(n);
    delete n;
}

QString TreeView::key(const Node* n)
{
    return n && n->type() == KeyedNode::Type ? static_cast<const KeyedNode*>(n)->key : QString();
}

QString TreeView::text(const Node* n) { return n ? n->text(0) : QString(); }

Node* TreeView::firstNode() const { return topLevelItemCount() ? topLevelItem(0) : nullptr; }

Node* TreeView::nodeAt(const QPoint& pos) const { return itemAt(pos); }

QRect TreeView::nodeRect(const Node* n) const { return n ? visualItemRect(n) : QRect(); }

Node* TreeView::selectedNode() const
{
    const QList<QTreeWidgetItem*> s = selectedItems();
    return s.isEmpty() ? nullptr : s.first();
}

void TreeView::setSelectedNode(Node* n)
{
    if (!n)
        return;
    setCurrentItem(n);
    n->setSelected(true);
}

void TreeView::setDropHighlight(Node* n)
{
    if (n == highlight_)
        return;
    if (highlight_) {
        highlight_->setData(0, Qt::BackgroundRole, QVariant());
        highlight_->setData(0, Qt::ForegroundRole, QVariant());
    }
    highlight_ = n;
    if (n) {
        n->setBackground(0, palette().brush(QPalette::Active, QPalette::Highlight));
        n->setForeground(0, palette().brush(QPalette::Active, QPalette::HighlightedText));
    }
}

void TreeView::ensureVisible(Node* n)
{
    if (!n)
        return;
    for (Node* p = n->parent(); p; p = p->parent())
        p->setExpanded(true);
    scrollToItem(n);
}

QPixmap TreeView::dragImage(const Node* n) const
{
    if (!n)
        return {};
    const QFontMetrics fm(font());
    QPixmap pm(fm.horizontalAdvance(n->text(0)) + 8, fm.height() + 4);
    pm.fill(palette().color(QPalette::Base));
    QPainter p(&pm);
    p.setPen(palette().color(QPalette::Text));
    p.drawText(pm.rect(), Qt::AlignCenter, n->text(0));
    return pm;
}

void TreeView::beginNodeDrag(const Node* n, std::function<void()> ended)
{
    QPointer<TreeView> self(this);
    ui::beginDrag(this, dragImage(n), [self, ended = std::move(ended)] {
        // The drag took the release; the view must not wait for it.
        if (self)
            self->setState(NoState);
        if (ended)
            ended();
    });
}

void TreeView::mousePressEvent(QMouseEvent* e)
{
    // Scrolling a row pressed at the edge into view, now or once the
    // double-click time is over, would put another node under the pointer
    // that is about to drag.
    const bool scrolls = hasAutoScroll();
    setAutoScroll(false);
    QTreeWidget::mousePressEvent(e);
    emit mouseDown(ui::buttonCode(e->button()), ui::shiftCode(e->modifiers()), e->position().toPoint());
    setAutoScroll(scrolls);
}

void TreeView::mouseMoveEvent(QMouseEvent* e)
{
    emit mouseMove(ui::buttonCode(e->buttons()), ui::shiftCode(e->modifiers()), e->position().toPoint());
    // A held button drags (the owner's business), it does not select; a drag
    // begun by the owner takes the mouse from here on.
    if (!ui::isDragging() && !(e->buttons() & Qt::LeftButton))
        QTreeWidget::mouseMoveEvent(e);
}

bool TreeView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    const bool asked = trigger == AllEditTriggers || (editTriggers() & trigger);
    Node* n = asked ? itemFromIndex(index) : nullptr;
    if (n && beforeLabelEdit && beforeLabelEdit(n))
        return false;
    return QTreeWidget::edit(index, trigger, event);
}

}  // namespace tree
