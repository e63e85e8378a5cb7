#include "app/tablewatch.h"

#include "platform/ado/ado.h"

#include <QTimer>

#include <sqlite3.h>

TableWatch::TableWatch(ado::Connection& conn, const QStringList& tables, std::function<void()> changed,
                       QObject* parent)
    : QObject(parent), conn_(conn), db_(conn.handle()), changed_(std::move(changed))
{
    for (const QString& t : tables)
        tables_ << t.toUtf8();
    if (db_)
        sqlite3_update_hook(db_, &TableWatch::written, this);
}

TableWatch::~TableWatch()
{
    // Only while the connection still has the handle that was hooked, and
    // only this watch's own hook: a later watch keeps its own.
    if (!db_ || conn_.handle() != db_)
        return;
    void* current = sqlite3_update_hook(db_, nullptr, nullptr);
    if (current && current != this)
        sqlite3_update_hook(db_, &TableWatch::written, current);
}

void TableWatch::written(void* self, int, const char* db, const char* table, long long)
{
    auto* w = static_cast<TableWatch*>(self);
    // Nothing may touch the connection while SQLite is inside the statement:
    // the procedure runs after the event, once however many rows it wrote.
    if (w->pending_ || qstrcmp(db, "main") != 0)
        return;
    // Called for every row of every write: no allocation on the way.
    const auto watched = [&] {
        for (const QByteArray& t : w->tables_)
            if (qstricmp(t.constData(), table) == 0)
                return true;
        return false;
    };
    if (!watched())
        return;
    w->pending_ = true;
    QTimer::singleShot(0, w, [w] { w->run(); });
}

void TableWatch::run()
{
    pending_ = false;
    if (changed_)
        changed_();
}
