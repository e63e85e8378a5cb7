#pragma once
// Text boxes as the forms use them: a control array may mix one-line boxes
// and multi-line note boxes, so both are reached through one text accessor.

#include <QString>

class QWidget;

namespace ui {

// A one-line box, or a multi-line one in which Tab still moves on.
QWidget* makeTextBox(QWidget* parent, bool multiLine = false);
QString boxText(const QWidget* box);
void setBoxText(QWidget* box, const QString& text);

}  // namespace ui
