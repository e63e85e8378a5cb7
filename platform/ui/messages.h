#pragma once
// Message boxes go through one replaceable service, so tests can script the
// answers and no test ever waits on a modal loop.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace ui {

// Buttons and icons, combined as in the classic message box call.
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

enum MsgResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct Message {
    QString text;
    int style = vbOKOnly;
    QString title;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual int show(const Message& m, QWidget* owner) = 0;
};

// The service in use; the real one shows Qt message boxes.
MessageService& messages();
void setMessageService(std::unique_ptr<MessageService> service);

// Shows a message; returns the button pressed.
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString(), QWidget* owner = nullptr);

// The application's title, used when a message names none.
QString appTitle();

// A write the database refused: what failed (by default "The changes could
// not be saved."), a blank line, and why.
void RefusedSave(const QString& why, QWidget* owner = nullptr, const QString& failure = QString());

// A scripted service for tests: records every message and answers from a
// queue (vbOK, or the default answer, when the queue is empty).
class ScriptedMessages : public MessageService {
public:
    int show(const Message& m, QWidget*) override;
    QList<Message> shown;
    QList<int> answers;
    int defaultAnswer = vbOK;
    QStringList texts() const;
};

}  // namespace ui
