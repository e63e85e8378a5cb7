#pragma once
// A diagram surface: pictures placed as nodes that the user selects, moves
// (drag), sizes (the handles of a selected node) and deletes (Delete key),
// with undo and redo of every change. One diagram unit is one pixel on
// screen; the surface's corner is the diagram's origin.

#include <QGraphicsItem>
#include <QGraphicsView>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QUndoStack>

class QGraphicsScene;
class QPainter;

namespace diagram {

class AddFlow;

class Node : public QGraphicsItem {
public:
    // How the picture sits in the node.
    enum PicturePosition { PictureCentred = 0, PictureStretched = 1 };
    // How the node's box is drawn around its picture and text.
    enum DrawStyle { BoxFilled = 0, BoxOutline = 1, BoxNone = 2 };

    explicit Node(AddFlow* flow, const QRectF& rect);

    // Left, top, width and height in diagram units.
    QRectF rect() const { return QRectF(pos(), size_); }
    void setRect(const QRectF& r);

    QString text() const { return text_; }
    void setText(const QString& t);
    QImage picture() const { return picture_; }
    void setPicture(const QImage& picture);
    int picturePosition() const { return picturePosition_; }
    void setPicturePosition(int p);
    int drawStyle() const { return drawStyle_; }
    void setDrawStyle(int s);

    // The sizing handle under a point of the diagram: 0..7 clockwise from
    // the top left corner, -1 for none. Only a selected node has handles.
    int handleAt(const QPointF& scenePos) const;
    // The rectangle the node gets when handle `h` is dragged by `delta`.
    static QRectF resized(const QRectF& r, int h, const QPointF& delta);

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* p, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    static constexpr double kHandle = 7;     // side of a sizing handle
    static constexpr double kMinSide = 8;    // smallest width or height

private:
    QPointF handleCentre(int h) const;

    AddFlow* flow_;
    QSizeF size_;
    QString text_;
    QImage picture_;
    int picturePosition_ = PictureCentred;
    int drawStyle_ = BoxFilled;
};

class AddFlow : public QGraphicsView {
    Q_OBJECT
public:
    explicit AddFlow(QWidget* parent = nullptr);
    ~AddFlow() override;

    // Adds a node on top of the others and returns it; undoable.
    Node* addNode(double left, double top, double width, double height);
    // The nodes in the diagram, in the order they were added.
    const QList<Node*>& nodes() const { return nodes_; }
    QList<Node*> selectedNodes() const;
    // Removes the selected nodes; undoable.
    void deleteSelected();

    void Undo();
    void Redo();
    bool canUndo() const { return undo_.canUndo(); }
    bool canRedo() const { return undo_.canRedo(); }
    int undoCount() const { return undo_.index(); }

    // From the origin to the right and bottom edges of the nodes; empty
    // when there are none.
    QRectF extent() const;
    // Paints the part `source` of the diagram into `target`, without the
    // selection marks.
    void paintDiagram(QPainter& p, const QRectF& target, const QRectF& source);
    bool printing() const { return printing_; }

    // Used by the undo commands.
    void insertNodes(const QList<Node*>& nodes, const QList<int>& at);
    void removeNodes(const QList<Node*>& nodes);
    void changed();

signals:
    void Changed();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    Node* handleNodeAt(const QPointF& scenePos, int* handle) const;

    QGraphicsScene* scene_;
    QUndoStack undo_;
    QList<Node*> nodes_;
    double topZ_ = 0;
    bool printing_ = false;

    // The gesture of the mouse button held down.
    Node* sizing_ = nullptr;
    int sizingHandle_ = -1;
    QRectF sizingFrom_;
    QPointF pressedAt_;
    QList<Node*> moving_;
    QList<QPointF> movingFrom_;
    // Nothing moves or sizes before the mouse went the desktop's drag
    // distance: a click changes nothing.
    QPoint pressPoint_;
    bool dragBegun_ = false;
};

}  // namespace diagram
