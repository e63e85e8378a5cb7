// Two copies invite and seat the same people apart, through their windows,
// and merge each other's replicas in either order: both end with what the
// program's own rules allow, as the designer's trees, its seat diagram and
// the place cards show it, and each merge says what it undid.

#include "stationery_support.h"
#include "support/twocopies.h"

#include "guests/frmInvite.h"
#include "records/frmSynchronize.h"
#include "seating/frmPlacard.h"

#include <QPushButton>
#include <QRegularExpression>

namespace {

class SeatingMerge : public testsupport::TwoCopiesOf<testsupport::StationeryTest> {
protected:
    // Steps: "A seat Anna 1" (dragged onto Table 1 in A's designer), "A
    // uninvite Dan", "A invite Eve" (A's invitation window), "A answer Eve"
    // (her RSVP stored and logged, as the RSVP grid stores it), "A > 1" (A
    // prepares replica 1), "B < 1" (B merges it in its Synchronize window).
    void run(const QStringList& steps)
    {
        for (const QString& step : steps) {
            SCOPED_TRACE(step.toStdString());
            const QStringList w = step.split(' ');
            Copy& c = w[0] == "A" ? A : B;
            if (w[1] == ">") {
                replicas[w[2]] = replicaOf(c, "r" + w[2] + ".qvd");
                continue;
            }
            on(c);
            if (w[1] == "seat") {
                frmSeating& s = open(event);
                dragNode(s.treeInvited, sKey(people[w[2]]), s.treeTables, tKey(tables[w[3].toInt() - 1]));
            } else if (w[1] == "uninvite" || w[1] == "invite") {
                frmInvite& f = frmInvite::instance();
                f.Show(ui::vbModeless);
                testsupport::showActive(f.window());
                const bool inviting = w[1] == "invite";
                press(inviting ? f.treeUninvited : f.treeInvited, sKey(people[w[2]]));
                QTest::mouseClick(inviting ? f.cmdInvite : f.cmdRemove, Qt::LeftButton);
            } else if (w[1] == "answer") {
                const QVariant invite = db().scalar("SELECT INVITE_ID FROM INVITE WHERE SUBGUEST_ID = ?", {people[w[2]]});
                db().Execute("UPDATE INVITE SET INVITE_RSVP_TEXT = 'Attending' WHERE INVITE_ID = ?", {invite});
                log("INVITE", invite.toLongLong(), modSynchro::Changed);
            } else if (w[1] == "<") {
                frmSynchronize& f = frmSynchronize::instance();
                f.Load();
                testsupport::showActive(f.window());
                f.chooseFile = [file = replicas.at(w[2])](const frmSynchronize::FileRequest&) { return file; };
                messages.msgs->shown.clear();
                QTest::mouseClick(f.cmdSynchronize, Qt::LeftButton);
                const QString said = messages.msgs->texts().join('\n');
                ASSERT_TRUE(said.startsWith("Synchronization complete.")) << said.toStdString();
                const auto count = [&](const char* what) { return QRegularExpression(what).match(said).captured(1); };
                undid << count("(\\d+) invitations? of") + '/' + count("(\\d+) seats? w");
                f.chooseFile = nullptr;
            }
            ui::FormBase::unloadAll();
        }
    }
    void on(Copy& c)
    {
        if (current != &c)
            use(c);
    }
    // Both copies start from three of a party invited to a reception with
    // two tables of four, and one not, made in A and merged into B.
    void start()
    {
        make(A, 17);
        make(B, 42);
        current = nullptr;
        on(A);
        event = addRecord("EVENT", "EVENT_NAME", {"Reception"});
        const qint64 lee = addRecord("GUEST", "GUEST_PARTYNAME", {"Lee"});
        for (const char* first : {"Anna", "Cara", "Dan", "Eve"}) {
            people[first] = addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME", {lee, first, "Lee"});
            if (first != QString("Eve"))
                addRecord("INVITE", "EVENT_ID, SUBGUEST_ID", {event, people[first]});
        }
        tables.clear();
        for (const char* name : {"Table 1", "Table 2"})
            tables << addRecord("TABLES", "EVENT_ID, TABLE_NAME, TABLE_SEATS, TABLE_TYPE", {event, name, 4, 5});
        run({"A > 0", "B < 0"});
        undid.clear();
    }
    // The copy's invitations with their answers; its seating as the windows
    // show it: both trees, the seat boxes of each table, the upright lines
    // of each place card.
    QString seating(Copy& c)
    {
        on(c);
        QStringList out{db().scalar("SELECT group_concat(who, ',') FROM (SELECT SUBGUEST_FNAME || coalesce('=' || "
                                    "INVITE_RSVP_TEXT, '') AS who FROM INVITE JOIN SUBGUEST USING (SUBGUEST_ID) "
                                    "ORDER BY 1)")
                            .toString()};
        frmSeating& s = open(event);
        out << SeatingTest::dump(s.treeInvited) << SeatingTest::dump(s.treeTables);
        for (const qint64 t : tables) {
            press(s.treeTables, tKey(t));
            QStringList boxes;
            for (int i = 0; i < seating::kSeatBoxes; ++i)
                if (!s.picSeat[i]->printed().isEmpty())
                    boxes << QString("%1:%2").arg(i).arg(s.picSeat[i]->printed().join(""));
            out << boxes.join(' ');
        }
        printWith(show<frmPlacard>().cmdPrint, 1);
        for (int page = 0; jobs().size() == 1 && page < jobs()[0].pageCount(); ++page) {
            QStringList lines;
            for (const printing::Drawn& d : jobs()[0].surface->pages()[page].texts())
                if (!d.turned)
                    lines << d.text;
            out << lines.join(',');
        }
        jobs().clear();
        ui::FormBase::unloadAll();
        return out.join(" | ");
    }

    qint64 event = 0;
    QVector<qint64> tables;
    std::map<QString, qint64> people;
    std::map<QString, QString> replicas;
    QStringList undid;  // the invitations and seats each merge said it undid, "1/2"
};

TEST_F(SeatingMerge, BothCopiesKeepTheRulesOfInvitingAndSeatingWhateverTheOrder)
{
    // A seats Anna at Table 1 and uninvites Dan; B seats Cara at Table 1,
    // Anna and Dan at Table 2, each at the lowest free seat.
    const QStringList aFirst = {"A seat Anna 1", "A uninvite Dan", "B seat Cara 1", "B seat Anna 2", "B seat Dan 2"};
    const QStringList bFirst = {"B seat Cara 1", "B seat Anna 2", "B seat Dan 2", "A seat Anna 1", "A uninvite Dan"};
    // B's seats newer: Anna keeps Table 2, Cara seat 0 of Table 1.
    const QString bWins = "Anna,Cara | Invited | Tables[Table 1[Cara Lee],Table 2[Anna Lee]] | 0:Cara Lee | "
                          "0:Anna Lee | Table 1,Cara Lee | Table 2,Anna Lee";
    const struct {
        const char* name;
        QStringList edits, exchanges;
        QString undid, seating;
    } cases[] = {
        {"A to B, then B to A", aFirst, {"A > 1", "B < 1", "B > 2", "A < 2"}, "/2 /", bWins},
        {"B to A, then A to B", aFirst, {"B > 1", "A < 1", "A > 2", "B < 2"}, "/2 /", bWins},
        {"both prepared before either merged", aFirst, {"A > 1", "B > 2", "B < 1", "A < 2"}, "/2 /2", bWins},
        // A's seat of Anna newer: Cara loses seat 0 of Table 1 and waits again.
        {"A seating last", bFirst, {"A > 1", "B < 1", "B > 2", "A < 2"}, "/3 /",
         "Anna,Cara | Invited[Lee[Cara Lee]] | Tables[Table 1[Anna Lee],Table 2] | 0:Anna Lee |  | "
         "Table 1,Anna Lee | Table 2"},
        // Both invite Eve, B's answered: one invitation stays, the answered one.
        {"one guest invited in both", {"B invite Eve", "B answer Eve", "A invite Eve"},
         {"A > 1", "B > 2", "B < 1", "A < 2"}, "1/ 1/",
         "Anna,Cara,Dan,Eve=Attending | Invited[Lee[Anna Lee,Cara Lee,Dan Lee,Eve Lee]] | Tables[Table 1,Table 2] | "
         " |  | Table 1 | Table 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        run(c.edits + c.exchanges);
        EXPECT_EQ(undid.join(' '), c.undid);
        EXPECT_EQ(seating(A), c.seating);
        EXPECT_EQ(seating(B), c.seating);
        // Nothing more to undo on either side, and nothing that travels back changes anything.
        undid.clear();
        run({"A > 3", "B < 3", "B > 4", "A < 4"});
        EXPECT_EQ(undid.join(' '), "/ /");
        EXPECT_EQ(seating(B), c.seating);
    }
}

}  // namespace
