// Two copies working at random and exchanging replicas, one way and both
// ways at once, from two fresh copies or from one file copied: whatever the
// moves, the two end alike and as a model of the rules says (the newest
// change of a record wins, a deletion wins over any change, a person goes
// with the party).

#include "support/twocopies.h"

#include <QRandomGenerator>

#include <map>
#include <set>

using namespace testsupport;

namespace {

class RandomExchanges : public TwoCopiesTest {
protected:
    // Records are named "label:revision"; people "P1 S2:0" show their party.
    std::map<QString, QString> name, party;  // by label: the latest name, a person's party
    std::set<QString> deleted;               // on either copy

    QString expected()
    {
        QStringList out;
        for (const auto& [label, n] : name)
            if (!deleted.count(label) && !(party.count(label) && deleted.count(party[label])))
                out << (party.count(label) ? name[party[label]] + " " + n : n);
        out.sort();
        return out.join(',');
    }
    QString held()
    {
        return rows("SELECT coalesce(group_concat(n, ','), '') FROM (SELECT GUEST_PARTYNAME AS n FROM GUEST UNION ALL SELECT "
                    "GUEST_PARTYNAME || ' ' || SUBGUEST_FNAME FROM SUBGUEST JOIN GUEST USING (GUEST_ID) ORDER BY 1 "
                    "COLLATE BINARY)")
            .mid(2)
            .chopped(1);
    }
    // Merges as a user answering Yes to taking a new number.
    void mergeInto(Copy& c, const QString& replica)
    {
        use(c);
        ASSERT_NO_THROW(synchro::Synchronize(db(), replica, {}, synchro::SameNumber::Renumber));
    }
};

TEST_F(RandomExchanges, EndAsTheModelSaysWhateverTheMoves)
{
    flushed = false;
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        QRandomGenerator rng(seed);
        name.clear();
        party.clear();
        deleted.clear();
        int labels = 0, revisions = 0, replicas = 0, swaps = 0;
        auto replica = [&](Copy& c) { return replicaOf(c, QString("r%1.qvd").arg(++replicas)); };
        // A party, or a person of the party given; its label.
        auto added = [&](qint64 partyKey) {
            const QString label = QString(partyKey ? "S%1" : "P%1").arg(++labels);
            name[label] = label + ":0";
            if (partyKey)
                addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {partyKey, name[label]});
            else
                addGuest(name[label]);
            return label;
        };
        // Both prepare, then both merge the other's replica.
        auto swap = [&](Copy& x, Copy& y) {
            ++swaps;
            const QString fromX = replica(x), fromY = replica(y);
            mergeInto(y, fromX);
            mergeInto(x, fromY);
        };
        make(A, 17);
        make(B, 42);
        use(A);
        if (seed % 2 == 0) {  // from one file copied: both copies have one number
            added(0);
            added(0);
            db().Close();
            current = nullptr;
            QFile::remove(B.working());
            ASSERT_TRUE(QFile::copy(A.working(), B.working()));
        }
        if (seed == 2) {  // each adds a party under the same key, then they swap
            use(A);
            added(0);
            use(B);
            added(0);
            swap(A, B);
        }
        for (int move = 0; move < 30; ++move) {
            SCOPED_TRACE(move);
            Copy& x = rng.bounded(2) ? A : B;
            Copy& y = &x == &A ? B : A;
            if (current != &x)
                use(x);
            // A random record of a table this copy holds: its key and label.
            auto pick = [&](const QString& table, const QString& column) -> QPair<qint64, QString> {
                const QString sql = QString("SELECT %1, %2 FROM %3 ORDER BY 1").arg(db().keyColumn(table), column, table);
                QList<QPair<qint64, QString>> all;
                db().forEachRow(sql, {}, [&](const ado::Row& r) { all.append({r.integer(0), r.text(1).section(':', 0, 0)}); });
                return all.isEmpty() ? QPair<qint64, QString>() : all[rng.bounded(int(all.size()))];
            };
            const auto [p, pLabel] = pick("GUEST", "GUEST_PARTYNAME");
            const auto [s, sLabel] = pick("SUBGUEST", "SUBGUEST_FNAME");
            const int r = int(rng.bounded(100));
            if (r < 20 || (!p && r < 62)) {
                added(0);
            } else if (r < 32) {
                renameGuest(p, name[pLabel] = QString("%1:%2").arg(pLabel).arg(++revisions));
            } else if (r < 38) {
                ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Guests, p).ok);
                deleted.insert(pLabel);
            } else if (r < 50) {
                party[added(p)] = pLabel;
            } else if (r < 58 && s) {
                db().Execute("UPDATE SUBGUEST SET SUBGUEST_FNAME = ? WHERE SUBGUEST_ID = ?",
                             {name[sLabel] = QString("%1:%2").arg(sLabel).arg(++revisions), s});
                log("SUBGUEST", s, modSynchro::Changed);
            } else if (r < 62 && s) {
                ASSERT_TRUE(records::deleteRecord(records::DeleteKind::SubguestFromMain, s).ok);
                deleted.insert(sLabel);
            } else if (r < 74) {
                mergeInto(y, replica(x));
            } else {
                swap(x, y);
            }
        }
        EXPECT_GE(swaps, 3);
        // Two rounds both ways bring everything across, also what a copy
        // holds back until the other has taken a new number.
        for (int round = 0; round < 2; ++round) {
            mergeInto(B, replica(A));
            mergeInto(A, replica(B));
        }
        const QString onA = rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1");
        EXPECT_EQ(held(), expected());
        EXPECT_EQ(orphansOf(db().handle()), "");
        const int numberOfA = db().copyNumber();
        use(B);
        EXPECT_EQ(rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1"), onA);
        EXPECT_NE(db().copyNumber(), numberOfA);
    }
}

}  // namespace
