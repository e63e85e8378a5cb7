#pragma once
// Dragging in the classic manner: code begins a drag of a control, the drag
// follows the mouse while the button is held, and on release the control
// under the pointer that takes drops is told which control was dropped on
// it. No mime data: the target asks the source (and its window) what was
// dragged.
//
//   ui::setDropTarget(tree->viewport(), {.over = ..., .drop = ...});
//   ui::beginDrag(seatBox, seatBox->grab());
//
// Positions handed to a target are in the target's own coordinates; a
// target is told it is left (vbLeave) when the pointer goes elsewhere and
// when the drag ends there, before its drop. A target that is the viewport
// of a scroll area (a tree, a list) scrolls while the pointer is held near
// its top or bottom edge, and is told of the move under the pointer. The
// drag sees every mouse event of the application while it runs, so it works
// whichever widget receives them (the pressed one under a real mouse, the
// one a test sends them to).

#include <QPixmap>
#include <QPoint>
#include <Qt>

#include <functional>

class QWidget;

namespace ui {

enum DragState : int { vbEnter = 0, vbLeave = 1, vbOver = 2 };

struct DropHandlers {
    std::function<void(QWidget* source, QPoint pos, int state)> over;
    std::function<void(QWidget* source, QPoint pos)> drop;
};

// Makes the widget (and its children) a drop target until it is destroyed.
void setDropTarget(QWidget* target, DropHandlers handlers);

// Begins a drag of `source`; the image, when given, follows the pointer.
// `ended` runs when the drag ends, dropped or not.
void beginDrag(QWidget* source, const QPixmap& image = {}, std::function<void()> ended = {});
bool isDragging();
QWidget* dragSource();
// Ends the drag without a drop. Escape does the same, and then the button
// still held drags nothing until it is let go: its release drops nothing.
void cancelDrag();

// Mouse buttons and shift keys in the classic codes that mouse handlers are
// given: 1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
int buttonCode(Qt::MouseButtons b);
int shiftCode(Qt::KeyboardModifiers m);

}  // namespace ui
