#pragma once
// Controls as the editors make them. A control array of text boxes may mix
// one-line boxes and multi-line note boxes, so both are reached through one
// text accessor.

#include <QString>

class QComboBox;
class QPushButton;
class QRect;
class QWidget;

namespace ui {

// A one-line box, or a multi-line one in which Tab still moves on.
QWidget* makeTextBox(QWidget* parent, bool multiLine = false);
QString boxText(const QWidget* box);
void setBoxText(QWidget* box, const QString& text);

// A button at its place that Enter in a box never presses.
QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent, const QRect& place);
// A drop-down list the user may also type any text into.
QComboBox* makeEditableList(const QString& name, QWidget* parent);

}  // namespace ui
