#include "platform/ui/messages.h"

#include <QApplication>
#include <QMessageBox>

namespace ui {

namespace {

class QtMessages : public MessageService {
public:
    int show(const Message& m, QWidget* owner) override
    {
        QMessageBox box(owner);
        box.setWindowTitle(m.title.isEmpty() ? appTitle() : m.title);
        // Names from the data are shown as typed, never read as markup.
        box.setTextFormat(Qt::PlainText);
        box.setText(m.text);
        switch (m.style & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: break;
        }
        struct B { QMessageBox::StandardButton b; int r; };
        QList<B> buttons;
        switch (m.style & 0x7) {
        case vbOKCancel: buttons = {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}}; break;
        case vbAbortRetryIgnore:
            buttons = {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}};
            break;
        case vbYesNoCancel:
            buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
            break;
        case vbYesNo: buttons = {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}}; break;
        case vbRetryCancel: buttons = {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}}; break;
        default: buttons = {{QMessageBox::Ok, vbOK}}; break;
        }
        QMessageBox::StandardButtons all;
        for (const B& b : buttons)
            all |= b.b;
        box.setStandardButtons(all);
        const int pressed = box.exec();
        for (const B& b : buttons)
            if (pressed == b.b)
                return b.r;
        // The close box answers Cancel where there is one, else the only button.
        for (const B& b : buttons)
            if (b.r == vbCancel)
                return vbCancel;
        return buttons.size() == 1 ? buttons.front().r : vbCancel;
    }
};

std::unique_ptr<MessageService>& current()
{
    static std::unique_ptr<MessageService> s = std::make_unique<QtMessages>();
    return s;
}

}  // namespace

MessageService& messages() { return *current(); }

void setMessageService(std::unique_ptr<MessageService> service)
{
    current() = service ? std::move(service) : std::make_unique<QtMessages>();
}

int MsgBox(const QString& text, int style, const QString& title, QWidget* owner)
{
    return messages().show({text, style, title.isEmpty() ? appTitle() : title}, owner);
}

QString appTitle() { return QStringLiteral("Nuptaro"); }

void RefusedSave(const QString& why, QWidget* owner, const QString& failure)
{
    const QString what = failure.isEmpty() ? QStringLiteral("The changes could not be saved.") : failure;
    MsgBox(why.isEmpty() ? what : what + "\n\n" + why, vbExclamation | vbOKOnly, QString(), owner);
}

int ScriptedMessages::show(const Message& m, QWidget*)
{
    shown.push_back(m);
    if (!answers.isEmpty())
        return answers.takeFirst();
    return defaultAnswer;
}

QStringList ScriptedMessages::texts() const
{
    QStringList out;
    for (const Message& m : shown)
        out << m.text;
    return out;
}

}  // namespace ui
