#pragma once
// Hears of the rows written to some tables of a connection, by any statement
// of any window (an editor, a cascade, a scheduler, a merge, a typed grid
// cell), and runs a procedure once the event that wrote them is over: the
// windows that show figures of those tables stay in step without each
// writer having to know them.

#include <QByteArrayList>
#include <QObject>
#include <QStringList>

#include <functional>

struct sqlite3;

namespace ado {
class Connection;
}

class TableWatch : public QObject {
public:
    TableWatch(ado::Connection& conn, const QStringList& tables, std::function<void()> changed,
               QObject* parent = nullptr);
    ~TableWatch() override;
    TableWatch(const TableWatch&) = delete;
    TableWatch& operator=(const TableWatch&) = delete;

private:
    static void written(void* self, int op, const char* db, const char* table, long long rowid);
    void run();

    ado::Connection& conn_;
    sqlite3* db_ = nullptr;
    QByteArrayList tables_;
    std::function<void()> changed_;
    bool pending_ = false;
};
