#include "platform/ado/ignoring.h"

#include "platform/ado/ado.h"

#include <QDebug>
#include <QString>

#include <exception>

namespace ado {

namespace {

// The source file as the tree names it (views/calendar_day.cpp), not the
// build machine's full path.
QString sourceFile(const char* path)
{
    const QString p = QString::fromUtf8(path);
    const qsizetype last = p.lastIndexOf('/');
    const qsizetype before = last > 0 ? p.lastIndexOf('/', last - 1) : -1;
    return p.mid(before + 1);
}

}  // namespace

void logIgnoredError(const std::source_location& where)
{
    QString error;
    QString statement;
    if (const std::exception_ptr p = std::current_exception()) {
        try {
            std::rethrow_exception(p);
        } catch (const Error& e) {
            error = e.description();
            statement = e.statement();
        } catch (const std::exception& e) {
            error = QString::fromUtf8(e.what());
        } catch (...) {
            error = QStringLiteral("an exception of an unknown kind");
        }
    } else {
        error = QStringLiteral("no error at hand");
    }
    QString line = QString("Error ignored at %1:%2: %3").arg(sourceFile(where.file_name())).arg(where.line()).arg(error);
    if (!statement.isEmpty())
        line += QStringLiteral("; statement: ") + statement.simplified();
    qWarning().noquote() << line;
}

}  // namespace ado
