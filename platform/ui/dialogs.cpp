#include "platform/ui/dialogs.h"

#include "platform/ui/fontdialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace ui {

QString qtFilter(const QString& pipeFilter)
{
    if (!pipeFilter.contains('|'))
        return pipeFilter;
    const QStringList parts = pipeFilter.split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i].trimmed();
        const QString patterns = QString(parts[i + 1]).replace(';', ' ').trimmed();
        // Qt reads the patterns from the parentheses of the caption.
        if (!caption.contains('('))
            caption += " (" + patterns + ")";
        else if (!caption.contains(patterns))
            caption = caption.left(caption.indexOf('(')).trimmed() + " (" + patterns + ")";
        out << caption;
    }
    if (parts.size() % 2 == 1 && !parts.last().trimmed().isEmpty())
        out << parts.last().trimmed();
    return out.join(";;");
}

QString withDefaultExtension(const QString& file, const QString& defaultExt)
{
    if (file.isEmpty() || defaultExt.isEmpty())
        return file;
    if (!QFileInfo(file).suffix().isEmpty())
        return file;
    QString ext = defaultExt;
    if (ext.startsWith('.'))
        ext.remove(0, 1);
    return file + '.' + ext;
}

namespace {

class QtDialogs : public DialogService {
public:
    QString fileDialog(const FileRequest& r, QWidget* owner) override
    {
        QString start = r.initialDir;
        if (!r.fileName.isEmpty())
            start = start.isEmpty() ? r.fileName : start + '/' + r.fileName;
        const QString f = r.save ? QFileDialog::getSaveFileName(owner, r.title, start, qtFilter(r.filter))
                                 : QFileDialog::getOpenFileName(owner, r.title, start, qtFilter(r.filter));
        return r.save ? withDefaultExtension(f, r.defaultExt) : f;
    }
    QString inputBox(const InputRequest& r, QWidget* owner) override
    {
        bool ok = false;
        const QString t = QInputDialog::getText(owner, r.title, r.prompt, QLineEdit::Normal, r.defaultText, &ok);
        return ok ? t : QString();
    }
    bool printDialog(QPrinter& printer, QWidget* owner) override
    {
        QPrintDialog d(&printer, owner);
        return d.exec() == QDialog::Accepted;
    }
    bool fontDialog(FontChoice& font, int flags, QWidget* owner) override
    {
        FontColourDialog d(font, flags, owner);
        if (d.exec() != QDialog::Accepted)
            return false;
        font = d.choice();
        return true;
    }
};

std::unique_ptr<DialogService>& current()
{
    static std::unique_ptr<DialogService> s = std::make_unique<QtDialogs>();
    return s;
}

}  // namespace

DialogService& dialogs() { return *current(); }

void setDialogService(std::unique_ptr<DialogService> service)
{
    current() = service ? std::move(service) : std::make_unique<QtDialogs>();
}

QString GetOpenFile(const QString& title, const QString& filter, const QString& defaultExt, const QString& initialDir,
                    QWidget* owner)
{
    return dialogs().fileDialog({false, title, filter, defaultExt, initialDir, QString()}, owner);
}

QString GetSaveFile(const QString& title, const QString& filter, const QString& defaultExt, const QString& initialDir,
                    const QString& fileName, QWidget* owner)
{
    return dialogs().fileDialog({true, title, filter, defaultExt, initialDir, fileName}, owner);
}

QString InputBox(const QString& prompt, const QString& title, const QString& defaultText, QWidget* owner)
{
    return dialogs().inputBox({prompt, title.isEmpty() ? QStringLiteral("Nuptaro") : title, defaultText}, owner);
}

bool ChoosePrinter(QPrinter& printer, QWidget* owner) { return dialogs().printDialog(printer, owner); }

bool ChooseFont(FontChoice& font, int flags, QWidget* owner) { return dialogs().fontDialog(font, flags, owner); }

QString ScriptedDialogs::fileDialog(const FileRequest& r, QWidget*)
{
    fileRequests.push_back(r);
    const QString f = files.isEmpty() ? QString() : files.takeFirst();
    return r.save ? withDefaultExtension(f, r.defaultExt) : f;
}

QString ScriptedDialogs::inputBox(const InputRequest& r, QWidget*)
{
    inputRequests.push_back(r);
    return inputs.isEmpty() ? QString() : inputs.takeFirst();
}

bool ScriptedDialogs::printDialog(QPrinter& printer, QWidget*)
{
    ++printRequests;
    const bool ok = printAnswers.isEmpty() ? false : printAnswers.takeFirst();
    if (ok && !printToPdf.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printToPdf);
    }
    if (ok)
        printer.setCopyCount(printCopies.isEmpty() ? 1 : printCopies.takeFirst());
    return ok;
}

bool ScriptedDialogs::fontDialog(FontChoice& font, int flags, QWidget*)
{
    fontRequests.push_back(font);
    fontFlags.push_back(flags);
    if (fonts.isEmpty())
        return false;
    font = fonts.takeFirst();
    return true;
}

ScriptedDialogsGuard::ScriptedDialogsGuard()
{
    auto s = std::make_unique<ScriptedDialogs>();
    dialogs = s.get();
    setDialogService(std::move(s));
}

ScriptedDialogsGuard::~ScriptedDialogsGuard() { setDialogService(nullptr); }

}  // namespace ui
