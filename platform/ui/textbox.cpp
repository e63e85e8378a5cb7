#include "platform/ui/textbox.h"

#include <QLineEdit>
#include <QPlainTextEdit>

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

}  // namespace ui
