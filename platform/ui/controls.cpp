#include "platform/ui/controls.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace ui {

QWidget* makeTextBox(QWidget* parent, bool multiLine)
{
    if (!multiLine)
        return new QLineEdit(parent);
    auto* box = new QPlainTextEdit(parent);
    box->setTabChangesFocus(true);
    return box;
}

QString boxText(const QWidget* box)
{
    if (auto* line = qobject_cast<const QLineEdit*>(box))
        return line->text();
    if (auto* lines = qobject_cast<const QPlainTextEdit*>(box))
        return lines->toPlainText();
    return QString();
}

void setBoxText(QWidget* box, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(box))
        line->setText(text);
    else if (auto* lines = qobject_cast<QPlainTextEdit*>(box))
        lines->setPlainText(text);
}

QPushButton* makeButton(const QString& caption, const QString& name, QWidget* parent, const QRect& place)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setGeometry(place);
    return b;
}

QComboBox* makeEditableList(const QString& name, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

}  // namespace ui
