#pragma once
// A tree view whose nodes carry a key unique in the tree, a text and a
// parent: nodes are added and found by key, hit-tested by point, and one node
// can be drop-highlighted apart from the selection. Mouse presses and moves
// are reported with the classic button and shift codes (ui::buttonCode) in
// the tree's own coordinates (its viewport), and node texts can be edited in
// place under the owner's control.
//
// The mouse is the owner's for dragging: a press never scrolls the tree (a
// partly shown row stays under the pointer that pressed it), and a move with
// the button held never changes the selection.

#include <QHash>
#include <QPixmap>
#include <QString>
#include <QTreeWidget>

#include <functional>

namespace tree {

using Node = QTreeWidgetItem;

class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget* parent = nullptr);

    // Removes every node.
    void clearNodes();
    // Adds a node as the last child of `parent` (a root when null); null
    // when the key is already in the tree.
    Node* add(Node* parent, const QString& key, const QString& text);
    // Adds a child at a position among its parent's children.
    Node* insert(Node* parent, int index, const QString& key, const QString& text);
    // A root made apart from the tree: nodes added under it are known by
    // their keys at once, and the whole branch goes into the tree in one
    // step with attach (much faster for thousands of nodes).
    Node* detachedRoot(const QString& key, const QString& text);
    void attach(Node* root);
    // The node of a key; one the tree does not hold yet is asked of the
    // node finder (see below) first.
    Node* node(const QString& key) const;
    void remove(Node* n);
    static QString key(const Node* n);
    static QString text(const Node* n);
    // The first root, or null.
    Node* firstNode() const;

    // The node under a point of the viewport, or null.
    Node* nodeAt(const QPoint& pos) const;
    // Where a node stands in the viewport (empty when it is not shown).
    QRect nodeRect(const Node* n) const;

    Node* selectedNode() const;
    void setSelectedNode(Node* n);
    Node* dropHighlight() const { return highlight_; }
    void setDropHighlight(Node* n);

    // Expands the node's ancestors and scrolls it into view.
    void ensureVisible(Node* n);
    // The picture a drag of the node carries: its text as drawn.
    QPixmap dragImage(const Node* n) const;

    // Drags a node the way the owner's drop targets expect (platform/ui
    // dragdrop): the node's image follows the pointer, and however the drag
    // ends, `ended` runs and the tree is left with no press in progress.
    void beginNodeDrag(const Node* n, std::function<void()> ended = {});

    // Children made when they are first needed, so that a tree of many
    // thousand nodes holds only those the user opened. A node marked with
    // setChildrenLater shows that it can be opened; the loader makes its
    // children when it is opened or when loadChildren asks for them. A key
    // the tree does not hold yet is given to the finder, which may load the
    // children of the node it belongs under.
    void setChildLoader(std::function<void(Node*)> load) { loader_ = std::move(load); }
    void setNodeFinder(std::function<void(const QString& key)> find) { finder_ = std::move(find); }
    void setChildrenLater(Node* n);
    bool childrenLater(const Node* n) const;
    // Makes the node's children now if they were left for later.
    void loadChildren(Node* n);

    // In-place editing of a node's text: `beforeLabelEdit` may refuse to
    // start it (return true to cancel), `afterLabelEdit` may refuse the new
    // text (return true to keep the old one).
    std::function<bool(Node*)> beforeLabelEdit;
    std::function<bool(Node*, const QString&)> afterLabelEdit;

signals:
    void mouseDown(int button, int shift, QPoint pos);
    void mouseMove(int button, int shift, QPoint pos);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    friend class LabelDelegate;
    void forget(Node* n);
    // Nodes by key. Most keys are a letter and a number ("G12", "S345"),
    // held by that number: quicker to find than a text.
    class Keys {
    public:
        bool contains(const QString& key) const { return value(key) != nullptr; }
        Node* value(const QString& key) const;
        void insert(const QString& key, Node* n);
        void remove(const QString& key);
        void clear();

    private:
        static bool number(const QString& key, quint64& out);
        QHash<quint64, Node*> numbered_;
        QHash<QString, Node*> named_;
    };
    Keys byKey_;
    Node* highlight_ = nullptr;
    std::function<void(Node*)> loader_;
    std::function<void(const QString&)> finder_;
    mutable bool finding_ = false;
};

}  // namespace tree
