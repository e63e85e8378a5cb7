#include "platform/ui/dialogs.h"

#include "platform/ui/fontdialog.h"
#include "platform/ui/messages.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStyle>

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

// The width a window needs for its title to show whole: the window frame
// draws it bold, often in a larger font than the window's own, beside the
// frame's icon and buttons, and cuts it in the middle where the window is
// too narrow ("Impor…ecords").
int titleWidth(const QWidget& w, const QString& title)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setPointSizeF(1.25 * std::max(font.pointSizeF(), w.font().pointSizeF()));
    font.setBold(true);
    const QFontMetrics m(font);
    const int button = std::max(m.height(), w.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &w));
    return m.horizontalAdvance(title) + 5 * button;
}

// The bar is moved (and the events of the window handled) at most every
// 50 ms, so a task of many small steps is not slowed by its own bar.
class QtProgress : public Progress {
public:
    QtProgress(const ProgressRequest& r, QWidget* owner) : dialog_(r.label, QStringLiteral("Cancel"), 0, r.maximum, owner)
    {
        dialog_.setWindowTitle(r.title.isEmpty() ? appTitle() : r.title);
        dialog_.setMinimumWidth(titleWidth(dialog_, dialog_.windowTitle()));
        dialog_.setWindowModality(Qt::ApplicationModal);
        dialog_.setMinimumDuration(1000);
        dialog_.setAutoReset(false);
        dialog_.setAutoClose(false);
        dialog_.setValue(0);
        lastShown_.start();
    }
    bool setValue(int value) override
    {
        if (lastShown_.elapsed() >= 50 || (dialog_.maximum() > 0 && value >= dialog_.maximum())) {
            dialog_.setValue(std::min(value, dialog_.maximum()));
            lastShown_.restart();
        }
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
    QElapsedTimer lastShown_;
};

class ScriptedProgress : public Progress {
public:
    ScriptedProgress(QList<int>& values, qsizetype index, int cancelAt)
        : values_(values), index_(index), cancelAt_(cancelAt)
    {
    }
    bool setValue(int value) override
    {
        values_[index_] = value;
        return cancelAt_ < 1 || ++steps_ < cancelAt_;
    }

private:
    QList<int>& values_;
    qsizetype index_;
    int cancelAt_;
    int steps_ = 0;
};

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
    std::unique_ptr<Progress> progress(const ProgressRequest& r, QWidget* owner) override
    {
        return std::make_unique<QtProgress>(r, owner);
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

bool ChoosePrinter(QPrinter& printer, QWidget* owner) { return dialogs().printDialog(printer, owner); }

bool ChooseFont(FontChoice& font, int flags, QWidget* owner) { return dialogs().fontDialog(font, flags, owner); }

QString ScriptedDialogs::fileDialog(const FileRequest& r, QWidget*)
{
    fileRequests.push_back(r);
    const QString f = files.isEmpty() ? QString() : files.takeFirst();
    return r.save ? withDefaultExtension(f, r.defaultExt) : f;
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
    if (ok && !printPapers.isEmpty())
        printer.setPageSize(printPapers.takeFirst());
    return ok;
}

std::unique_ptr<Progress> ScriptedDialogs::progress(const ProgressRequest& r, QWidget*)
{
    progressRequests.push_back(r);
    progressValues.push_back(0);
    return std::make_unique<ScriptedProgress>(progressValues, progressValues.size() - 1,
                                              cancelAtSteps.isEmpty() ? 0 : cancelAtSteps.takeFirst());
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
