#include "platform/diagram/addflow.h"

#include <QApplication>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionGraphicsItem>
#include <QUndoCommand>

#include <algorithm>

namespace diagram {

// ---------------------------------------------------------------- node

Node::Node(AddFlow* flow, const QRectF& rect) : flow_(flow), size_(rect.size())
{
    setPos(rect.topLeft());
    setFlags(ItemIsSelectable | ItemIsMovable);
    setAcceptHoverEvents(false);
}

void Node::setRect(const QRectF& r)
{
    prepareGeometryChange();
    setPos(r.topLeft());
    size_ = r.size();
    update();
}

void Node::setText(const QString& t)
{
    text_ = t;
    update();
}

void Node::setPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

void Node::setPicturePosition(int p)
{
    picturePosition_ = p;
    update();
}

void Node::setDrawStyle(int s)
{
    drawStyle_ = s;
    update();
}

QPointF Node::handleCentre(int h) const
{
    const double w = size_.width(), ht = size_.height();
    static constexpr double fx[8] = {0, 0.5, 1, 1, 1, 0.5, 0, 0};
    static constexpr double fy[8] = {0, 0, 0, 0.5, 1, 1, 1, 0.5};
    return QPointF(w * fx[h], ht * fy[h]);
}

int Node::handleAt(const QPointF& scenePos) const
{
    if (!isSelected())
        return -1;
    const QPointF local = mapFromScene(scenePos);
    for (int h = 0; h < 8; ++h) {
        const QPointF c = handleCentre(h);
        if (std::abs(local.x() - c.x()) <= kHandle / 2 + 1 && std::abs(local.y() - c.y()) <= kHandle / 2 + 1)
            return h;
    }
    return -1;
}

QRectF Node::resized(const QRectF& r, int h, const QPointF& d)
{
    double left = r.left(), top = r.top(), right = r.right(), bottom = r.bottom();
    const bool movesLeft = h == 0 || h == 6 || h == 7;
    const bool movesRight = h == 2 || h == 3 || h == 4;
    const bool movesTop = h == 0 || h == 1 || h == 2;
    const bool movesBottom = h == 4 || h == 5 || h == 6;
    // An edge stops at the smallest size rather than passing the other one.
    if (movesLeft)
        left = std::min(left + d.x(), right - kMinSide);
    if (movesRight)
        right = std::max(right + d.x(), left + kMinSide);
    if (movesTop)
        top = std::min(top + d.y(), bottom - kMinSide);
    if (movesBottom)
        bottom = std::max(bottom + d.y(), top + kMinSide);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QRectF Node::boundingRect() const
{
    const double m = kHandle / 2 + 1;
    return QRectF(QPointF(0, 0), size_).adjusted(-m, -m, m, m);
}

QPainterPath Node::shape() const
{
    QPainterPath path;
    path.addRect(QRectF(QPointF(0, 0), size_));
    return path;
}

void Node::paint(QPainter* p, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QRectF box(QPointF(0, 0), size_);
    p->save();
    p->setRenderHint(QPainter::SmoothPixmapTransform);
    if (drawStyle_ == BoxFilled)
        p->fillRect(box, Qt::white);
    if (!picture_.isNull()) {
        if (picturePosition_ == PictureStretched) {
            p->drawImage(box, picture_);
        } else {
            QRectF at(QPointF(0, 0), picture_.size());
            at.moveCenter(box.center());
            p->setClipRect(box);
            p->drawImage(at, picture_);
            p->setClipping(false);
        }
    }
    if (!text_.isEmpty())
        p->drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text_);
    if (drawStyle_ == BoxFilled || drawStyle_ == BoxOutline) {
        p->setPen(QPen(Qt::black, 0));
        p->drawRect(box);
    }
    if (isSelected() && !(flow_ && flow_->printing())) {
        p->setPen(QPen(QColor(0, 90, 200), 0, Qt::DashLine));
        p->setBrush(Qt::NoBrush);
        p->drawRect(box);
        p->setPen(QPen(Qt::black, 0));
        p->setBrush(QColor(0, 90, 200));
        for (int h = 0; h < 8; ++h) {
            QRectF r(0, 0, kHandle, kHandle);
            r.moveCenter(handleCentre(h));
            p->drawRect(r);
        }
    }
    p->restore();
}

// ---------------------------------------------------------------- undo commands

namespace {

// Nodes put into the diagram (an add) or taken out of it (a delete). While
// they are out the command owns them.
class NodesCommand : public QUndoCommand {
public:
    NodesCommand(AddFlow* flow, QList<Node*> nodes, QList<int> at, bool adding)
        : flow_(flow), nodes_(std::move(nodes)), at_(std::move(at)), adding_(adding), inDiagram_(!adding)
    {
    }
    ~NodesCommand() override
    {
        if (!inDiagram_)
            qDeleteAll(nodes_);
    }
    void redo() override { adding_ ? put() : take(); }
    void undo() override { adding_ ? take() : put(); }

private:
    void put()
    {
        flow_->insertNodes(nodes_, at_);
        inDiagram_ = true;
    }
    void take()
    {
        flow_->removeNodes(nodes_);
        inDiagram_ = false;
    }
    AddFlow* flow_;
    QList<Node*> nodes_;
    QList<int> at_;
    bool adding_;
    bool inDiagram_;
};

// Nodes given other rectangles: a move of several, or the sizing of one.
class PlaceCommand : public QUndoCommand {
public:
    PlaceCommand(AddFlow* flow, QList<Node*> nodes, QList<QRectF> from, QList<QRectF> to)
        : flow_(flow), nodes_(std::move(nodes)), from_(std::move(from)), to_(std::move(to))
    {
    }
    void redo() override { place(to_); }
    void undo() override { place(from_); }

private:
    void place(const QList<QRectF>& rects)
    {
        for (int i = 0; i < nodes_.size(); ++i)
            nodes_[i]->setRect(rects[i]);
        flow_->changed();
    }
    AddFlow* flow_;
    QList<Node*> nodes_;
    QList<QRectF> from_, to_;
};

}  // namespace

// ---------------------------------------------------------------- surface

AddFlow::AddFlow(QWidget* parent) : QGraphicsView(parent), scene_(new QGraphicsScene(this))
{
    setScene(scene_);
    setBackgroundBrush(Qt::white);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    setDragMode(QGraphicsView::RubberBandDrag);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    changed();
}

AddFlow::~AddFlow()
{
    // Nodes in the diagram go with the scene, the others with their commands.
    undo_.clear();
}

Node* AddFlow::addNode(double left, double top, double width, double height)
{
    auto* node = new Node(this, QRectF(left, top, width, height));
    undo_.push(new NodesCommand(this, {node}, {int(nodes_.size())}, true));
    return node;
}

QList<Node*> AddFlow::selectedNodes() const
{
    QList<Node*> out;
    for (Node* n : nodes_)
        if (n->isSelected())
            out.push_back(n);
    return out;
}

void AddFlow::deleteSelected()
{
    const QList<Node*> sel = selectedNodes();
    if (sel.isEmpty())
        return;
    QList<int> at;
    for (Node* n : sel)
        at.push_back(int(nodes_.indexOf(n)));
    undo_.push(new NodesCommand(this, sel, at, false));
}

void AddFlow::Undo()
{
    undo_.undo();
}

void AddFlow::Redo()
{
    undo_.redo();
}

void AddFlow::insertNodes(const QList<Node*>& nodes, const QList<int>& at)
{
    // In the order they were taken out, so each goes back to its own place.
    for (int i = 0; i < nodes.size(); ++i) {
        nodes_.insert(std::min<qsizetype>(at[i], nodes_.size()), nodes[i]);
        if (nodes[i]->zValue() == 0)
            nodes[i]->setZValue(++topZ_);
        scene_->addItem(nodes[i]);
    }
    changed();
}

void AddFlow::removeNodes(const QList<Node*>& nodes)
{
    for (Node* n : nodes) {
        if (sizing_ == n)
            sizing_ = nullptr;
        n->setSelected(false);
        scene_->removeItem(n);
        nodes_.removeOne(n);
    }
    moving_.clear();
    movingFrom_.clear();
    changed();
}

QRectF AddFlow::extent() const
{
    double right = 0, bottom = 0;
    for (const Node* n : nodes_) {
        right = std::max(right, n->rect().right());
        bottom = std::max(bottom, n->rect().bottom());
    }
    return nodes_.isEmpty() ? QRectF() : QRectF(0, 0, right, bottom);
}

void AddFlow::changed()
{
    // The surface shows the origin at its corner and scrolls to whatever lies
    // beyond its window.
    QRectF shown(QPointF(0, 0), QSizeF(viewport()->size()));
    for (const Node* n : nodes_)
        shown = shown.united(n->sceneBoundingRect());
    setSceneRect(shown);
    emit Changed();
}

void AddFlow::paintDiagram(QPainter& p, const QRectF& target, const QRectF& source)
{
    printing_ = true;
    scene_->render(&p, target, source, Qt::KeepAspectRatio);
    printing_ = false;
}

Node* AddFlow::handleNodeAt(const QPointF& scenePos, int* handle) const
{
    // The topmost selected node first, as it is drawn over the others.
    for (auto it = nodes_.crbegin(); it != nodes_.crend(); ++it) {
        const int h = (*it)->handleAt(scenePos);
        if (h >= 0) {
            *handle = h;
            return *it;
        }
    }
    return nullptr;
}

void AddFlow::mousePressEvent(QMouseEvent* e)
{
    sizing_ = nullptr;
    moving_.clear();
    movingFrom_.clear();
    pressPoint_ = e->position().toPoint();
    dragBegun_ = false;
    if (e->button() == Qt::LeftButton) {
        const QPointF at = mapToScene(e->position().toPoint());
        int h = -1;
        if (Node* n = handleNodeAt(at, &h)) {
            sizing_ = n;
            sizingHandle_ = h;
            sizingFrom_ = n->rect();
            pressedAt_ = at;
            e->accept();
            return;
        }
    }
    QGraphicsView::mousePressEvent(e);
    if (e->button() == Qt::LeftButton) {
        moving_ = selectedNodes();
        for (Node* n : moving_)
            movingFrom_.push_back(n->pos());
    }
}

void AddFlow::mouseMoveEvent(QMouseEvent* e)
{
    if ((e->buttons() & Qt::LeftButton) && !dragBegun_) {
        if ((e->position().toPoint() - pressPoint_).manhattanLength() < QApplication::startDragDistance()) {
            e->accept();
            return;
        }
        dragBegun_ = true;
    }
    if (sizing_) {
        const QPointF at = mapToScene(e->position().toPoint());
        sizing_->setRect(Node::resized(sizingFrom_, sizingHandle_, at - pressedAt_));
        e->accept();
        return;
    }
    QGraphicsView::mouseMoveEvent(e);
    if (e->buttons() == Qt::NoButton) {
        // The cursor over a handle tells which way it sizes.
        static constexpr Qt::CursorShape kShapes[8] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor,
                                                       Qt::SizeHorCursor,   Qt::SizeFDiagCursor, Qt::SizeVerCursor,
                                                       Qt::SizeBDiagCursor, Qt::SizeHorCursor};
        int h = -1;
        if (handleNodeAt(mapToScene(e->position().toPoint()), &h))
            viewport()->setCursor(kShapes[h]);
        else
            viewport()->unsetCursor();
    }
}

void AddFlow::mouseReleaseEvent(QMouseEvent* e)
{
    if (sizing_) {
        Node* n = sizing_;
        sizing_ = nullptr;
        const QRectF to = n->rect();
        if (to != sizingFrom_) {
            n->setRect(sizingFrom_);
            undo_.push(new PlaceCommand(this, {n}, {sizingFrom_}, {to}));
        }
        e->accept();
        return;
    }
    QGraphicsView::mouseReleaseEvent(e);
    QList<Node*> moved;
    QList<QRectF> from, to;
    for (int i = 0; i < moving_.size(); ++i) {
        Node* n = moving_[i];
        if (n->pos() != movingFrom_[i]) {
            moved.push_back(n);
            from.push_back(QRectF(movingFrom_[i], n->rect().size()));
            to.push_back(n->rect());
        }
    }
    moving_.clear();
    movingFrom_.clear();
    if (!moved.isEmpty())
        undo_.push(new PlaceCommand(this, moved, from, to));
}

void AddFlow::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Delete) {
        deleteSelected();
        e->accept();
        return;
    }
    QGraphicsView::keyPressEvent(e);
}

void AddFlow::resizeEvent(QResizeEvent* e)
{
    QGraphicsView::resizeEvent(e);
    changed();
}

}  // namespace diagram
