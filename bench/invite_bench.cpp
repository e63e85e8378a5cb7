// The invitation editor on weddings of 10,000 and 100,000 people (parties of
// one to four, a third of them invited): opening it, and one person moved
// across and back by its buttons. Each against the raw SQLite step loop of
// the very statements it runs, recorded from it, and plain Qt trees of the
// same shape; the ratio of 100,000 to 10,000 shows whether the window grows
// with the guest list alone.

#include "app/modQVDatabase.h"
#include "bench/benchmain.h"
#include "guests/frmInvite.h"
#include "platform/ui/messages.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>
#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 kEvent = 1;
int seededPeople = 0;

// The guest list of `people` persons, in a database of its own for each size.
void seedPeople(int people)
{
    if (seededPeople == people)
        return;
    seededPeople = people;
    if (!openWeddingOfSize(people))
        return;
    ado::Connection& c = modQVDatabase::gConn;
    ado::Transaction t(c);
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (?, 'Reception')", {kEvent});
    c.Execute("INSERT INTO EVENT (EVENT_ID, EVENT_NAME) VALUES (2, 'Rehearsal Dinner')");
    static const char* const families[] = {"Álvarez", "Björklund", "Chen", "Dubois-Lefèvre", "O'Brien", "Schmidt"};
    qint64 person = 0;
    for (qint64 party = 1; person < people; ++party) {
        // Every fiftieth party shares its name with the one before, in another case every hundredth.
        const qint64 named = party % 50 == 0 ? party - 1 : party;
        QString name = QString("%1 family %2").arg(families[named % 6]).arg(named);
        if (party % 100 == 1)
            name = name.toUpper();
        c.Execute("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME) VALUES (?, ?)", {party, name});
        for (int i = 0; i < 1 + party % 4 && person < people; ++i) {
            ++person;
            c.Execute("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME) VALUES (?, ?, ?, ?)",
                      {person, party, QString("Margarethe %1").arg(person), families[named % 6]});
            if (person % 3 == 0)
                c.Execute("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID) VALUES (?, ?)", {kEvent, person});
        }
    }
    t.commit();
}

// Closed as the event loop closes it: its controls are gone afterwards.
void closeWindow(frmInvite& f)
{
    f.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

frmInvite& window()
{
    frmInvite& f = frmInvite::instance();
    f.curEvent = kEvent;
    return f;
}

void openProgram(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    for (auto _ : state) {
        f.Load();
        state.PauseTiming();
        closeWindow(f);
        state.ResumeTiming();
    }
    state.counters["people"] = double(seededPeople);
}

// Plain Qt trees of the shape of the window's two: the number of persons
// under each party.
struct Shape {
    QVector<int> uninvited, invited;
};

QVector<int> shapeOf(const tree::TreeView* t)
{
    QVector<int> out;
    const tree::Node* root = t->firstNode();
    for (int i = 0; root && i < root->childCount(); ++i)
        out << root->child(i)->childCount();
    return out;
}

class PlainTrees {
public:
    PlainTrees() { trees_[0].resize(300, 500), trees_[1].resize(300, 500); }
    void build(const Shape& shape)
    {
        int n = 0;
        for (int t = 0; t < 2; ++t) {
            trees_[t].clear();
            auto* root = new QTreeWidgetItem(QStringList(t ? "Invited" : "Uninvited"));
            for (int persons : t ? shape.invited : shape.uninvited) {
                auto* party = new QTreeWidgetItem(root, QStringList(QString("Party %1").arg(++n)));
                for (int p = 0; p < persons; ++p)
                    new QTreeWidgetItem(party, QStringList(QString("Person %1").arg(++n)));
            }
            trees_[t].addTopLevelItem(root);
            root->setExpanded(true);
            // The window reads a party's persons once it is opened: the
            // party a person is moved from holds at least that one.
            if (QTreeWidgetItem* middle = middleParty(t); middle && !middle->childCount())
                new QTreeWidgetItem(middle, QStringList(QString("Person %1").arg(++n)));
        }
    }
    // A person of the middle party moved to the other tree's middle party,
    // shown there, and back.
    void moveThereAndBack()
    {
        for (int from = 0; from < 2; ++from) {
            QTreeWidgetItem* a = middleParty(from);
            QTreeWidgetItem* b = middleParty(1 - from);
            if (!a || !b || !a->childCount())
                return;
            QTreeWidgetItem* person = a->takeChild(0);
            b->addChild(person);
            trees_[1 - from].scrollToItem(person);
        }
    }

private:
    QTreeWidgetItem* middleParty(int t)
    {
        QTreeWidgetItem* root = trees_[t].topLevelItem(0);
        return root && root->childCount() ? root->child(root->childCount() / 2) : nullptr;
    }
    QTreeWidget trees_[2];
};

void openBaseline(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    const QStringList sql = statementsOf([&] { f.Load(); });
    const Shape shape{shapeOf(f.treeUninvited), shapeOf(f.treeInvited)};
    closeWindow(f);
    PlainTrees plain;
    for (auto _ : state) {
        replay(sql);
        plain.build(shape);
    }
    state.counters["statements"] = double(sql.size());
}

// A person of a party of several who is not invited yet; invited and then
// removed again.
qint64 movedPerson()
{
    qint64 p = seededPeople / 2;
    while (p % 3 == 0)
        ++p;
    return p;
}

void moveThereAndBack(frmInvite& f)
{
    const QString key = "S" + QString::number(movedPerson());
    f.treeUninvited->setSelectedNode(f.treeUninvited->node(key));
    f.cmdInvite_Click();
    f.treeInvited->setSelectedNode(f.treeInvited->node(key));
    f.cmdRemove_Click();
}

void moveProgram(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    f.Load();
    for (auto _ : state)
        moveThereAndBack(f);
    closeWindow(f);
    state.counters["people"] = double(seededPeople);
}

void moveBaseline(benchmark::State& state)
{
    seedPeople(int(state.range(0)));
    frmInvite& f = window();
    f.Load();
    const QStringList sql = statementsOf([&] { moveThereAndBack(f); });
    const Shape shape{shapeOf(f.treeUninvited), shapeOf(f.treeInvited)};
    closeWindow(f);
    PlainTrees plain;
    plain.build(shape);
    for (auto _ : state) {
        replay(sql);
        plain.moveThereAndBack();
    }
    state.counters["statements"] = double(sql.size());
}

// Times on a shared machine vary, and other work only ever adds to them:
// each size runs several times, the runs of both sizes shuffled together so
// that a busy spell slows both alike, and the best run of each counts.
void sizes(benchmark::internal::Benchmark* b)
{
    b->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(5)->DisplayAggregatesOnly(true);
    b->ComputeStatistics("best", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

BENCHMARK(openProgram)->Name("invite open/program")->Apply(sizes);
BENCHMARK(openBaseline)->Name("invite open/baseline")->Apply(sizes);
BENCHMARK(moveProgram)->Name("invite move/program")->Apply(sizes);
BENCHMARK(moveBaseline)->Name("invite move/baseline")->Apply(sizes);

}  // namespace

int main(int argc, char** argv)
{
    // A message would wait for an answer nobody gives; it is printed instead.
    auto messages = std::make_unique<ui::ScriptedMessages>();
    ui::ScriptedMessages* shown = messages.get();
    ui::setMessageService(std::move(messages));
    // The runs shuffled (see sizes); a flag given on the command line wins.
    std::vector<char*> args(argv, argv + argc);
    char shuffled[] = "--benchmark_enable_random_interleaving=true";
    args.insert(args.begin() + 1, shuffled);
    int count = int(args.size());
    args.push_back(nullptr);
    return runOnFreshDatabase(count, args.data(), [] {}, [shown] {
        frmInvite::instance().Unload();
        for (const QString& m : shown->texts())
            fprintf(stderr, "message: %s\n", qPrintable(m));
    });
}
