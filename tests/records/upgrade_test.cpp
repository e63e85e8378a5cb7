// Working files of every earlier schema brought up to the present one when
// the program starts on them; a file of a later build refused and left as it
// was.

#include "support/twocopies.h"

#include "records/upgrade.h"

using namespace testsupport;
namespace db = modQVDatabase;

namespace {

// Every index, and every table's columns in order (name, type, NOT NULL,
// default, key, collation).
QString shapeOf(const QString& path)
{
    sqlite3* h = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    QString out = rowsOf(h, "SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name");
    const QString columns = rowsOf(h, "SELECT m.name, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk FROM "
                                      "sqlite_master m, pragma_table_info(m.name) p WHERE m.type = 'table' "
                                      "ORDER BY m.name, p.cid");
    for (const QString& c : columns.split('\n', Qt::SkipEmptyParts)) {
        const char* collation = nullptr;
        sqlite3_table_column_metadata(h, nullptr, c.section('|', 0, 0).mid(2).toUtf8().constData(),
                                      c.section('|', 1, 1).mid(2).toUtf8().constData(), nullptr, &collation, nullptr,
                                      nullptr, nullptr);
        out += c + '|' + collation + '\n';
    }
    sqlite3_close(h);
    return out;
}

TEST(Upgrade, EarlierFilesAreBroughtToThePresentSchemaAndALaterOneIsLeftAsItWas)
{
    const int later = db::kSchemaVersion + 1;
    const struct {
        const char* earlier;  // a file under tests/data/earlier, else the template
        QString sql;          // then written into it as another build would have
        const char* check;    // a query once brought up to date, and its rows; nullptr: refused
        const char* rows;
    } cases[] = {
        {"no-versions/qvnt03.qvd", "", "PRAGMA user_version", "1:1417\n"},
        {"no-marks/qvnt03.qvd", "", "PRAGMA user_version", "1:734512906\n"},
        {nullptr, "DROP TABLE SCHEMA_VERSION; INSERT INTO GUEST (GUEST_PARTYNAME) VALUES ('Keep me')",
         "SELECT GUEST_PARTYNAME FROM GUEST", "3:Keep me\n"},
        {nullptr,
         "DROP TABLE SCHEMA_VERSION; ALTER TABLE EVENT DROP COLUMN EVENT_HASPLAYSCRIPT; ALTER TABLE SUBGUEST DROP "
         "COLUMN SUBGUEST_NOTE; INSERT INTO EVENT (EVENT_NAME) VALUES ('Ceremony'); INSERT INTO SUBGUEST "
         "(SUBGUEST_FNAME) VALUES ('Zoë')",
         "SELECT EVENT_NAME, EVENT_HASPLAYSCRIPT, SUBGUEST_FNAME, SUBGUEST_NOTE FROM EVENT, SUBGUEST",
         "3:Ceremony|1:0|3:Zoë|5:<null>\n"},
        {nullptr,
         QString("UPDATE SCHEMA_VERSION SET SCHEMA_VERSION_NUMBER = %1; ALTER TABLE GUEST ADD COLUMN GUEST_LATER TEXT")
             .arg(later),
         nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql.toStdString() + (c.earlier ? c.earlier : ""));
        ProgramFolder p;
        ScriptedMessagesGuard m;
        const QString working = p.file("/data/qvnt03.qvd");
        ASSERT_TRUE(QFile::copy(c.earlier ? sourcePath("tests/data/earlier/" + QString(c.earlier)) : templatePath(),
                                working));
        QFile::setPermissions(working, QFile::ReadOwner | QFile::WriteOwner);
        sqlite3* h = nullptr;
        sqlite3_open(QFile::encodeName(working).constData(), &h);
        EXPECT_EQ(sqlite3_exec(h, c.sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(h);
        const QByteArray before = digest(working);

        ASSERT_EQ(db::Startup(), c.check != nullptr);
        if (!c.check) {
            ASSERT_EQ(m.msgs->shown.size(), 1);
            for (const QString& named : {QDir::toNativeSeparators(working), QString("of version %1").arg(later),
                                         QString("up to %1").arg(db::kSchemaVersion)})
                EXPECT_TRUE(m.msgs->shown[0].text.contains(named)) << m.msgs->shown[0].text.toStdString();
            EXPECT_EQ(digest(working), before);
            continue;
        }
        EXPECT_TRUE(m.msgs->shown.isEmpty());
        EXPECT_EQ(db::schemaVersion(db::gConn), db::kSchemaVersion);
        EXPECT_EQ(rowsOf(db::gConn.handle(), c.check), QString(c.rows));
        db::gConn.Close();
        EXPECT_EQ(shapeOf(working), shapeOf(templatePath()));
    }
    // The template carries the present version.
    ado::Connection t;
    t.Open(templatePath());
    EXPECT_EQ(db::schemaVersion(t), db::kSchemaVersion);
}

}  // namespace
