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
    // What the two copies are to hold in the end. Records are named
    // "label:revision"; the label never changes.
    struct Model {
        std::map<QString, QString> name;   // the latest name given to each label
        std::map<QString, QString> party;  // each person's party
        std::set<QString> deleted;         // deleted on either copy
        bool alive(const QString& label) const
        {
            return !deleted.count(label) && (!party.count(label) || !deleted.count(party.at(label)));
        }
    };

    // The records this copy holds: key and label.
    QList<QPair<qint64, QString>> held(const QString& sql)
    {
        QList<QPair<qint64, QString>> out;
        db().forEachRow(sql, {}, [&](const ado::Row& r) { out.append({r.integer(0), r.text(1).section(':', 0, 0)}); });
        return out;
    }

    void exchange(Copy& from, Copy& to, int n)
    {
        const QString replica = replicaOf(from, QString("r%1.qvd").arg(n));
        mergeTaking(to, replica);
    }
    // Merges as a user answering Yes to taking a new number.
    void mergeTaking(Copy& into, const QString& replica)
    {
        use(into);
        ASSERT_NO_THROW(synchro::Synchronize(db(), replica, {}, synchro::SameNumber::Renumber));
    }

    QString content(const Model& m)
    {
        QStringList parties, people;
        for (const auto& [label, name] : m.name)
            if (m.alive(label))
                (m.party.count(label) ? people : parties) << (m.party.count(label) ? m.name.at(m.party.at(label)) + " "
                                                                                  : QString()) + name;
        parties.sort();
        people.sort();
        return parties.join(',') + " / " + people.join(',');
    }
    QString content()
    {
        const QString parties = db().scalar("SELECT group_concat(GUEST_PARTYNAME, ',') FROM (SELECT GUEST_PARTYNAME "
                                            "FROM GUEST ORDER BY 1)")
                                    .toString();
        const QString people = db().scalar("SELECT group_concat(n, ',') FROM (SELECT GUEST_PARTYNAME || ' ' || "
                                           "SUBGUEST_FNAME AS n FROM SUBGUEST JOIN GUEST USING (GUEST_ID) ORDER BY 1)")
                                   .toString();
        return parties + " / " + people;
    }
};

TEST_F(RandomExchanges, EndAsTheModelSaysWhateverTheMoves)
{
    flushed = false;
    for (const quint32 seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE(seed);
        QRandomGenerator rng(seed);
        Model m;
        int labels = 0, revisions = 0, replicas = 0;
        make(A, 17);
        make(B, 42);
        use(A);
        auto addParty = [&] {
            const QString label = QString("P%1").arg(++labels), name = label + ":0";
            addGuest(name);
            m.name[label] = name;
        };
        // Even seeds start from one file copied, so both copies have one number.
        if (seed % 2 == 0) {
            addParty();
            addParty();
            db().Close();
            current = nullptr;
            QFile::remove(B.working());
            ASSERT_TRUE(QFile::copy(A.working(), B.working()));
        }
        int swaps = 0;
        for (int move = 0; move < 30; ++move) {
            SCOPED_TRACE(move);
            Copy& x = rng.bounded(2) ? A : B;
            Copy& y = &x == &A ? B : A;
            if (current != &x)
                use(x);
            const auto parties = held("SELECT GUEST_ID, GUEST_PARTYNAME FROM GUEST");
            const auto people = held("SELECT SUBGUEST_ID, SUBGUEST_FNAME FROM SUBGUEST");
            const int r = int(rng.bounded(100));
            if (r < 20 || (parties.isEmpty() && r < 60)) {
                addParty();
            } else if (r < 32 && !parties.isEmpty()) {
                const auto& [key, label] = parties[rng.bounded(int(parties.size()))];
                m.name[label] = QString("%1:%2").arg(label).arg(++revisions);
                renameGuest(key, m.name[label]);
            } else if (r < 38 && !parties.isEmpty()) {
                const auto& [key, label] = parties[rng.bounded(int(parties.size()))];
                ASSERT_TRUE(records::deleteRecord(records::DeleteKind::Guests, key).ok);
                m.deleted.insert(label);
            } else if (r < 50 && !parties.isEmpty()) {
                const auto& [key, label] = parties[rng.bounded(int(parties.size()))];
                const QString person = QString("S%1").arg(++labels);
                addRecord("SUBGUEST", "GUEST_ID, SUBGUEST_FNAME", {key, person + ":0"});
                m.name[person] = person + ":0";
                m.party[person] = label;
            } else if (r < 58 && !people.isEmpty()) {
                const auto& [key, label] = people[rng.bounded(int(people.size()))];
                m.name[label] = QString("%1:%2").arg(label).arg(++revisions);
                db().Execute("UPDATE SUBGUEST SET SUBGUEST_FNAME = ? WHERE SUBGUEST_ID = ?", {m.name[label], key});
                log("SUBGUEST", key, modSynchro::Changed);
            } else if (r < 62 && !people.isEmpty()) {
                const auto& [key, label] = people[rng.bounded(int(people.size()))];
                ASSERT_TRUE(records::deleteRecord(records::DeleteKind::SubguestFromMain, key).ok);
                m.deleted.insert(label);
            } else if (r < 74) {
                exchange(x, y, ++replicas);
            } else {
                // Both prepare, then both merge the other's replica.
                ++swaps;
                const QString fromX = replicaOf(x, QString("r%1.qvd").arg(++replicas));
                const QString fromY = replicaOf(y, QString("r%1.qvd").arg(++replicas));
                mergeTaking(y, fromX);
                mergeTaking(x, fromY);
            }
        }
        EXPECT_GE(swaps, 3);
        // Two rounds both ways bring everything across, also what a copy
        // holds back until the other has taken a new number.
        for (int round = 0; round < 2; ++round) {
            exchange(A, B, ++replicas);
            exchange(B, A, ++replicas);
        }
        use(A);
        const QString onA = content();
        EXPECT_EQ(onA, content(m));
        EXPECT_EQ(orphansOf(db().handle()), "");
        const QString rowsOnA = rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1");
        use(B);
        EXPECT_EQ(content(), onA);
        EXPECT_EQ(rows("SELECT * FROM GUEST ORDER BY 1") + rows("SELECT * FROM SUBGUEST ORDER BY 1"), rowsOnA);
        const int numberOfB = db().copyNumber();
        use(A);
        EXPECT_NE(db().copyNumber(), numberOfB);
    }
}

}  // namespace
