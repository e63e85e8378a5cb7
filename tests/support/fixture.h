#pragma once
// Shared test fixtures: a program folder of its own in a temporary folder,
// with the template copied into data/, settings kept in a file of the test,
// message boxes scripted, and the shared connection opened on a fresh
// working database.

#include "records/modQVDatabase.h"
#include "platform/settings/settings.h"
#include "platform/ui/messages.h"
#include "support/printers.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QStringList>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace testsupport {

inline QString templatePath() { return QStringLiteral(NUPTARO_TEMPLATE); }
inline QString sourcePath(const QString& rel) { return QStringLiteral(NUPTARO_SOURCE_DIR) + '/' + rel; }

// A temporary program folder with data/qvnt04.qvd.
class ProgramFolder {
public:
    explicit ProgramFolder(bool withTemplate = true)
    {
        QDir(dir.path()).mkpath("data");
        if (withTemplate)
            QFile::copy(templatePath(), path() + "/data/qvnt04.qvd");
        settings::useFile(path() + "/settings.ini");
        modQVDatabase::setAppPath(path());
    }
    ~ProgramFolder()
    {
        modQVDatabase::gConn.Close();
        modQVDatabase::ReleaseDataFolder();
        settings::useFile(QString());
    }
    QString path() const { return dir.path(); }
    QString file(const QString& rel) const { return path() + rel; }

    QTemporaryDir dir;
};

// Installs scripted message boxes for the test's lifetime.
class ScriptedMessagesGuard {
public:
    ScriptedMessagesGuard()
    {
        auto s = std::make_unique<ui::ScriptedMessages>();
        msgs = s.get();
        ui::setMessageService(std::move(s));
    }
    ~ScriptedMessagesGuard() { ui::setMessageService(nullptr); }
    ui::ScriptedMessages* msgs;
};

// Another program holding the file's lock ("BEGIN IMMEDIATE": the write
// lock; "BEGIN EXCLUSIVE": reads too) until release() or the end of scope.
class OtherProgramsLock {
public:
    OtherProgramsLock(const QString& path, const char* begin)
    {
        EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db_, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db_, begin, nullptr, nullptr, nullptr), SQLITE_OK);
    }
    ~OtherProgramsLock() { release(); }
    void release()
    {
        if (!db_)
            return;
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
        db_ = nullptr;
    }

private:
    sqlite3* db_ = nullptr;
};

// A fresh working database opened on the shared connection.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = std::make_unique<ProgramFolder>();
        modQVDatabase::LocateDataFile();
        modQVDatabase::OpenConnection();
    }
    void TearDown() override
    {
        modQVDatabase::gConn.Close();
        folder.reset();
    }
    ado::Connection& db() { return modQVDatabase::gConn; }
    // Runs a statement on a connection of its own, past the program's write
    // rules, as another program or an earlier build could have written it.
    void writeAsAnotherProgram(const QString& sql)
    {
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(db().path()).constData(), &h), SQLITE_OK);
        char* err = nullptr;
        const int rc = sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, &err);
        EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(h);
    }
    qlonglong count(const QString& sql, const ado::Params& p = {}) { return db().scalar(sql, p).toLongLong(); }
    // Every row of a query as its values joined by `sep`, dates in their stored form.
    QStringList rows(const QString& sql, const ado::Params& p = {}, const QString& sep = "|")
    {
        ado::Recordset rs;
        rs.Open(sql, db(), ado::adOpenForwardOnly, ado::adLockReadOnly, p);
        QStringList out;
        for (; !rs.EOF_(); rs.MoveNext()) {
            QStringList cells;
            for (int c = 0; c < rs.fieldCount(); ++c) {
                const QVariant v = rs.value(c);
                cells << (v.typeId() == QMetaType::QDateTime ? ado::convert::isoDateTime(v.toDateTime()) : v.toString());
            }
            out << cells.join(sep);
        }
        return out;
    }
    // The first row of a query as "a|b|c".
    std::string row(const QString& sql, const ado::Params& p = {})
    {
        return rows(sql, p).value(0).toStdString();
    }

    std::unique_ptr<ProgramFolder> folder;
    ScriptedMessagesGuard messages;
};

}  // namespace testsupport
