// Two copies working at random and exchanging replicas, one way and both
// ways at once, from two fresh copies or from one file copied, going back to
// older files of their own and moving their files elsewhere: whatever the
// moves, the two end alike and as a model of the rules says (the newest
// change of a record wins, a deletion wins over any change, a person goes
// with the party; a copy that goes back to an older file loses its own later
// changes only where the other copy never had them).

#include "support/twocopies.h"

#include <QRandomGenerator>

#include <map>

using namespace testsupport;

namespace {

class RandomExchanges : public TwoCopiesTest {
protected:
    // What one copy holds, by label ("P1", a party; "S2", a person): the
    // latest name and the move that gave it, and the labels deleted (true
    // where this copy deleted it, false where it took the deletion).
    struct Model {
        std::map<QString, std::pair<QString, int>> name;
        std::map<QString, bool> deleted;
    };
    Model models[2];
    std::map<QString, QString> party;  // a person's party
    Model& of(const Copy& c) { return models[&c == &A ? 0 : 1]; }
    // What a merge brings: the newest name of each record; the deletions the
    // sender made, and, once it saw that the receiver went back to an older
    // file, also those it took.
    static void takeInto(Model& into, const Model& from, bool wentBack = false)
    {
        for (const auto& [label, named] : from.name)
            if (!into.name.count(label) || into.name[label].second < named.second)
                into.name[label] = named;
        for (const auto& [label, own] : from.deleted)
            if (own || wentBack)
                into.deleted.emplace(label, false);
    }

    QString expected(const Model& m)
    {
        QStringList out;
        for (const auto& [label, named] : m.name) {
            const bool gone = m.deleted.count(label) ||
                              (party.count(label) && (m.deleted.count(party[label]) || !m.name.count(party[label])));
            if (!gone)
                out << (party.count(label) ? m.name.at(party[label]).first + " " + named.first : named.first);
        }
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
    void closeFile()
    {
        db().Close();
        current = nullptr;
    }
};

TEST_F(RandomExchanges, EndAsTheModelSaysWhateverTheMoves)
{
    flushed = false;
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        QRandomGenerator rng(seed);
        models[0] = models[1] = Model();
        party.clear();
        int labels = 0, revisions = 0, replicas = 0, swaps = 0, backs = 0, moves = 0;
        QTemporaryDir elsewhere;  // backups, and the folders copies move to
        std::vector<std::pair<QString, Model>> backups[2];
        auto replica = [&](Copy& c) { return replicaOf(c, QString("r%1.qvd").arg(++replicas)); };
        // A party, or a person of the party given; its label.
        auto added = [&](Copy& c, qint64 partyKey) {
            const QString label = QString(partyKey ? "S%1" : "P%1").arg(++labels);
            of(c).name[label] = {label + ":0", ++revisions};
            if (partyKey)
                addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {partyKey, of(c).name[label].first});
            else
                addGuest(of(c).name[label].first);
            return label;
        };
        // Y merges a replica of X.
        auto send = [&](Copy& x, Copy& y, bool wentBack = false) {
            mergeInto(y, replica(x));
            takeInto(of(y), of(x), wentBack);
        };
        make(A, 17);
        make(B, 42);
        use(A);
        if (seed % 2 == 0) {  // from one file copied: both copies have one number
            added(A, 0);
            added(A, 0);
            closeFile();
            QFile::remove(B.working());
            ASSERT_TRUE(QFile::copy(A.working(), B.working()));
            models[1] = models[0];
        }
        if (seed == 2) {  // each adds a party under the same key, then they swap
            use(A);
            added(A, 0);
            use(B);
            added(B, 0);
            const QString fromA = replica(A), fromB = replica(B);
            mergeInto(B, fromA);
            mergeInto(A, fromB);
            const Model a = of(A);
            takeInto(of(A), of(B));
            takeInto(of(B), a);
        }
        for (int move = 0; move < 40; ++move) {
            SCOPED_TRACE(move);
            Copy& x = rng.bounded(2) ? A : B;
            Copy& y = &x == &A ? B : A;
            if (current != &x)
                use(x);
            Model& mx = of(x);
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
            if (r < 18 || (!p && r < 56)) {
                added(x, 0);
            } else if (r < 28) {
                mx.name[pLabel] = {QString("%1:%2").arg(pLabel).arg(++revisions), revisions};
                renameGuest(p, mx.name[pLabel].first);
            } else if (r < 33) {
                ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Guests, p).ok);
                mx.deleted[pLabel] = true;
            } else if (r < 43) {
                party[added(x, p)] = pLabel;
            } else if (r < 49 && s) {
                mx.name[sLabel] = {QString("%1:%2").arg(sLabel).arg(++revisions), revisions};
                db().Execute("UPDATE SUBGUEST SET SUBGUEST_FNAME = ? WHERE SUBGUEST_ID = ?",
                             {mx.name[sLabel].first, s});
                log("SUBGUEST", s, modSynchro::Changed);
            } else if (r < 53 && s) {
                ASSERT_TRUE(records::deleteRecord(records::DeleteKind::SubguestFromMain, s).ok);
                mx.deleted[sLabel] = true;
            } else if (r < 60) {
                // A backup of the file, kept while it holds what the model says.
                if (held() == expected(mx)) {
                    closeFile();
                    const QString file = elsewhere.filePath(QString("backup%1.qvd").arg(move + 100 * seed));
                    ASSERT_TRUE(QFile::copy(x.working(), file));
                    backups[&x == &A ? 0 : 1].push_back({file, mx});
                }
            } else if (r < 70 && !backups[&x == &A ? 0 : 1].empty()) {
                // The copy goes back to an older file of its own, may add to
                // it, and the two exchange.
                auto& kept = backups[&x == &A ? 0 : 1];
                const auto& [file, then] = kept[rng.bounded(int(kept.size()))];
                closeFile();
                QFile::remove(x.working());
                ASSERT_TRUE(QFile::copy(file, x.working()));
                QFile::setPermissions(x.working(), QFile::ReadOwner | QFile::WriteOwner);
                mx = then;
                ++backs;
                if (rng.bounded(2)) {
                    use(x);
                    added(x, 0);
                }
                send(x, y);
                send(y, x, true);
                send(x, y);
            } else if (r < 72) {
                // The file of the copy is copied to another folder, and the
                // copy goes on from there.
                closeFile();
                const QString folder = elsewhere.filePath(QString("moved%1").arg(++moves));
                QDir(folder).mkpath("data");
                ASSERT_TRUE(QFile::copy(x.working(), folder + "/data/qvnt03.qvd"));
                x.at = folder;
                send(x, y);
            } else if (r < 84) {
                send(x, y);
            } else {
                // Both prepare, then both merge the other's replica.
                ++swaps;
                const QString fromX = replica(x), fromY = replica(y);
                const Model before = mx;
                mergeInto(y, fromX);
                mergeInto(x, fromY);
                takeInto(mx, of(y));
                takeInto(of(y), before);
            }
        }
        EXPECT_GE(swaps, 3);
        EXPECT_GE(backs + moves, 2);
        // Two rounds both ways bring everything across, also what a copy
        // holds back until the other has taken a new number.
        for (int round = 0; round < 2; ++round) {
            mergeInto(B, replica(A));
            mergeInto(A, replica(B));
        }
        Model all = of(A);
        takeInto(all, of(B));
        const QString onA = rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1");
        EXPECT_EQ(held(), expected(all));
        EXPECT_EQ(orphansOf(db().handle()), "");
        const int numberOfA = db().copyNumber();
        use(B);
        EXPECT_EQ(rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1"), onA);
        EXPECT_NE(db().copyNumber(), numberOfA);
    }
}

}  // namespace
