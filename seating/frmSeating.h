#pragma once
// The seating designer (modal): the people invited to one event who have no
// seat yet, by party; the event's tables with the people seated at each; and
// the seat diagram of one table. People are seated, moved and unseated by
// dragging them between the trees and the seat boxes.

#include "platform/tree/treeview.h"
#include "platform/ui/forms.h"
#include "records/editing.h"
#include "seating/seatdiagram.h"
#include "seating/seatingdata.h"
#include "seating/seatrules.h"

#include <QHash>
#include <QPoint>
#include <QSet>
#include <QString>
#include <QVector>

#include <array>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

class frmSeating : public ui::Form<frmSeating, QDialog> {
public:
    frmSeating() : Form(QStringLiteral("frmSeating")) {}

    // The event being seated, kept between openings; the table the diagram
    // shows (0 for none).
    qint64 curEvent = 0;
    qint64 curTable = 0;

    // Rebuilds both trees for curEvent; also called by the confirm-and-delete
    // window after a table is deleted.
    void GetInvitees();

    void Form_Load() override;
    void cmbEvents_Click();
    void Command1_Click();
    void cmdRearrange_Click();
    void optSeats_Click(int index);
    void mnuFileExit_Click();
    void mnuTablesAdd_Click();
    void mnuTablesDelete_Click();

    void treeInvited_MouseDown(int button, int shift, QPoint pos);
    void treeTables_MouseDown(int button, int shift, QPoint pos);
    void treeInvited_MouseMove(int button, int shift, QPoint pos);
    void treeTables_MouseMove(int button, int shift, QPoint pos);
    void treeTables_DragOver(QWidget* source, QPoint pos, int state);
    void treeTables_DragDrop(QWidget* source, QPoint pos);
    void treeInvited_DragDrop(QWidget* source, QPoint pos);
    void treeTables_BeforeLabelEdit(bool& cancel, tree::Node* node);
    void treeTables_AfterLabelEdit(bool& cancel, tree::Node* node, const QString& newText);

    void picSeat_MouseDown(int index, int button, int shift, QPointF pos);
    void picSeat_MouseMove(int index, int button, int shift, QPointF pos);
    void picSeat_DragDrop(int index, QWidget* source, QPointF pos);

    // The seat diagram.
    void ShowTable(qint64 tableId);
    void PositionSeats(int seatCount);
    void HideSeats();
    // Prints a name into a seat box in up to two lines; the text is trimmed
    // in place.
    void DrawSeatText(seating::SeatBox* box, QString& text, int angle, const QString& alignment);

    // Who is drawn at each seat position of the shown table (0: free).
    const std::array<qint64, 17>& seatOccupants() const { return SeatOccupant; }
    bool dragging() const { return Dragging; }

    // Controls, made at each load.
    QMenuBar* menuBar = nullptr;
    QMenu* mnuFile = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuTables = nullptr;
    QAction* mnuTablesAdd = nullptr;
    QAction* mnuTablesDelete = nullptr;
    QWidget* client = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cmbEvents = nullptr;
    tree::TreeView* treeInvited = nullptr;
    tree::TreeView* treeTables = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* cmdRearrange = nullptr;
    QGroupBox* Frame1 = nullptr;
    QWidget* Picture1 = nullptr;
    std::array<QRadioButton*, 6> optSeats{};
    seating::TableShape* shapeTable = nullptr;
    std::array<seating::SeatBox*, seating::kSeatBoxes> picSeat{};
    QLabel* lblTableName = nullptr;
    QLabel* lblTooMany = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    // A node named by its tree and key: it outlives a rebuild of the tree,
    // and two references to the same record's node are the same node.
    struct NodeRef {
        tree::TreeView* tree = nullptr;
        QString key;
        tree::Node* get() const { return tree ? tree->node(key) : nullptr; }
        explicit operator bool() const { return get() != nullptr; }
    };

    void LoadEvents();
    void AddTable();
    void RearrangeSeats();
    void enableTableControls();
    // Starts a drag from a tree when the rule allows it.
    void beginTreeDrag(tree::TreeView* t, const QString& name, int button, QPoint pos);
    seating::Dragged dragged(QWidget* source) const;
    // Carries out a drop's decision; the trees change only once the
    // database has.
    void carryOut(const seating::DropDecision& d);
    void carryOutDrop(const seating::DropDecision& d);
    bool write(const std::function<void()>& steps);
    void endDrop();
    void addToInvitedTree(const seating::Invitee& p, bool reveal);
    // The party node a person unseated again goes under, made where the
    // party's name sorts when there is none.
    tree::Node* partyNode(const seating::Invitee& p);
    // The party node of that key stands for the party too: opening it reads his.
    void shareNode(const QString& node, qint64 guestId);
    // The people under a party or table node, read when it is first opened,
    // and the node of a person not read yet (under its party or table).
    void loadPeople(tree::TreeView* t, tree::Node* n);
    void findPerson(tree::TreeView* t, const QString& key);

    QVector<qint64> EventIDs;
    bool EventsLoaded = false;
    NodeRef WorkNode, DragNode;
    QString DragSourceTree;
    bool Dragging = false;
    qint64 NodeTableID = 0;
    int LastSeatPos = 0;
    std::array<qint64, 17> SeatOccupant{};
    int DragSeatBox = -1;
    QPoint pressedAt_;
    QPointF seatPressedAt_;
    QSet<QString> namelessParties_;  // keys of the party nodes of parties without a name
    QHash<QString, QVector<qint64>> sharedParties_;  // a party node's key -> the other parties of its name
    std::optional<QHash<QString, QString>> partyKeys_;  // a party name -> the key of its node
};
