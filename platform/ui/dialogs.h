#pragma once
// Common dialogs (file open and save, input box, printer choice) through one
// replaceable service, so tests script the answers and never block.

#include <QColor>
#include <QList>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;
class QWidget;

namespace ui {

struct FileRequest {
    bool save = false;
    QString title;
    // Filter as "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*".
    QString filter;
    QString defaultExt;  // without the dot; appended when the chosen name has none
    QString initialDir;
    QString fileName;
};

// A font with its effects and colour, as the font dialog shows and returns it.
struct FontChoice {
    QString name;
    double size = 10;  // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;
    QColor color = Qt::black;
};

// A long task's progress bar with its Cancel button.
struct ProgressRequest {
    QString title;
    QString label;
    int maximum = 0;
};

class Progress {
public:
    virtual ~Progress() = default;
    // How far the task has come (0 to the maximum); false once the user has
    // cancelled it.
    virtual bool setValue(int value) = 0;
};

// Flags of the font dialog: list the printer's fonts; offer underline,
// strike-out and the colour.
enum FontFlags : int { cdlCFPrinterFonts = 2, cdlCFEffects = 256 };

class DialogService {
public:
    virtual ~DialogService() = default;
    // The chosen file, "" on cancel.
    virtual QString fileDialog(const FileRequest& r, QWidget* owner) = 0;
    // Lets the user choose and set up the printer; false on cancel.
    virtual bool printDialog(QPrinter& printer, QWidget* owner) = 0;
    // Lets the user change the font; false, and the font as it was, on cancel.
    virtual bool fontDialog(FontChoice& font, int flags, QWidget* owner) = 0;
    // A modal progress window, shown only once the task has run for about a
    // second; it closes when the returned object is destroyed.
    virtual std::unique_ptr<Progress> progress(const ProgressRequest& r, QWidget* owner) = 0;
};

DialogService& dialogs();
void setDialogService(std::unique_ptr<DialogService> service);

QString GetOpenFile(const QString& title, const QString& filter, const QString& defaultExt = QString(),
                    const QString& initialDir = QString(), QWidget* owner = nullptr);
bool ChoosePrinter(QPrinter& printer, QWidget* owner = nullptr);
bool ChooseFont(FontChoice& font, int flags, QWidget* owner = nullptr);

// "Text (*.txt)|*.txt|All (*.*)|*.*" in Qt's form "Text (*.txt);;All (*.*)".
QString qtFilter(const QString& pipeFilter);
// The name with ".ext" appended when it has no extension of its own.
QString withDefaultExtension(const QString& file, const QString& defaultExt);

// For tests: records every request and answers from queues ("" and false
// when a queue is empty).
class ScriptedDialogs : public DialogService {
public:
    QString fileDialog(const FileRequest& r, QWidget*) override;
    bool printDialog(QPrinter& printer, QWidget*) override;
    bool fontDialog(FontChoice& font, int flags, QWidget*) override;
    std::unique_ptr<Progress> progress(const ProgressRequest& r, QWidget*) override;

    QList<FileRequest> fileRequests;
    int printRequests = 0;
    QStringList files;
    QList<bool> printAnswers;
    // When set, an accepted print dialog sends the output to this PDF file.
    QString printToPdf;
    // The copies an accepted print dialog asks for, in turn (1 when empty).
    QList<int> printCopies;
    // The paper an accepted print dialog chooses, in turn (the printer's own
    // when none is left).
    QList<QPageSize> printPapers;
    // The fonts the dialog was opened with, and its answers (Cancel when
    // none is left).
    QList<FontChoice> fontRequests;
    QList<int> fontFlags;
    QList<FontChoice> fonts;
    // The progress windows asked for, the last value each was given, and the
    // step (counted from 1) at which the user cancels each, in turn (never
    // when none is left).
    QList<ProgressRequest> progressRequests;
    QList<int> progressValues;
    QList<int> cancelAtSteps;
};

class ScriptedDialogsGuard {
public:
    ScriptedDialogsGuard();
    ~ScriptedDialogsGuard();
    ScriptedDialogs* dialogs;
};

}  // namespace ui
