#pragma once
// Who is invited to which event: for the chosen event, the persons of every
// party in two trees grouped under their parties, uninvited on the left and
// invited on the right; the persons of a party are read when its node is
// opened. A person or a whole party moves across with the
// buttons or by dragging its node onto the other tree; moving right writes
// INVITE rows, moving left deletes them together with the person's seats at
// that event. The RSVP view is shown afresh when the window closes.

#include "platform/tree/treeview.h"
#include "platform/ui/forms.h"

#include <QHash>
#include <QPoint>
#include <QString>
#include <QVector>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

class frmInvite : public ui::Form<frmInvite, QDialog> {
public:
    frmInvite() : Form("frmInvite") {}

    // The chosen event; chosen again at the next opening while it exists.
    qint64 curEvent = 0;

    static constexpr const char* kCaption = "Invite to Event";
    static constexpr const char* kNoEvents = "There must be events added before you can seat guests.";
    static constexpr const char* kSelectUninvited = "Please select a person or group from the uninvited members.";
    static constexpr const char* kSelectInvited = "Please select a person or group from the invited members.";
    static constexpr const char* kDropInvited = "Please drop the person or group to the invited tree.";
    static constexpr const char* kDropUninvited = "Please drop the person or group to the uninvited tree.";
    static constexpr const char* kMoveFailed = "The invitations could not be changed.";

    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

    void cmbEvents_Click();
    void cmdInvite_Click();
    void cmdRemove_Click();
    void Command1_Click();

    // Mouse handlers of the trees: button and shift in the classic codes
    // (1 left, 2 right, 4 middle; 1 Shift, 2 Ctrl, 4 Alt), the point in the
    // tree's viewport.
    void treeUninvited_MouseDown(int button, int shift, QPoint pos);
    void treeUninvited_MouseMove(int button, int shift, QPoint pos);
    void treeUninvited_DragDrop();
    void treeInvited_MouseDown(int button, int shift, QPoint pos);
    void treeInvited_MouseMove(int button, int shift, QPoint pos);
    void treeInvited_DragDrop();

    // A node's key: "ROOT", "G" and the GUEST_ID, "S" and the SUBGUEST_ID.
    static QString key(const tree::Node* node) { return tree::TreeView::key(node); }

    QLabel* Label1 = nullptr;  // "Uninvited Guests"
    QLabel* Label2 = nullptr;  // "Event:"
    QLabel* Label3 = nullptr;  // "Invited Guests"
    QComboBox* cmbEvents = nullptr;
    tree::TreeView* treeUninvited = nullptr;
    tree::TreeView* treeInvited = nullptr;
    QPushButton* cmdInvite = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    // What differs between the two directions of a move.
    struct Side {
        tree::TreeView* frmInvite::*tree;
        const char* name;          // the drag source it names
        bool inviting;             // moving from here invites
        const char* selectMessage; // its button without a person or party selected here
        const char* dropMessage;   // a drop onto it of anything else
    };
    static const Side kUninvited, kInvited;

    void FillEvents();
    void LoadTrees();
    void loadPersons(const Side& side, tree::Node* party);
    // Opens the party node of a person the tree does not show yet.
    void findPerson(const Side& side, const QString& key);
    // Moves are offered only for an event of the list.
    bool hasEvent() const { return eventIDs.size() > 1; }
    static const Side& other(const Side& s) { return &s == &kUninvited ? kInvited : kUninvited; }

    void buttonMove(const Side& from);
    void mouseDown(const Side& side, int button, QPoint pos);
    void mouseMove(const Side& side, int button, QPoint pos);
    void dragDrop(const Side& onto);
    // Moves a person or a party, or says why not. The database steps are one
    // transaction with their log rows; once they went through, only the
    // nodes moved change, else both trees show what the database holds. An
    // event, party or person deleted meanwhile is refused plainly.
    void moveAcross(const Side& from, tree::Node* node);
    // A move of many people shows its progress and may be cancelled.
    enum class Moved { Written, Refused, Cancelled };
    Moved writeMove(const QVector<qint64>& persons, bool inviting, qint64 party);
    void moveNodes(tree::Node* node, const Side& from, const Side& to);
    // The party node of that exact name in the tree, added with that key
    // when there is none; null when the key is taken by another node.
    tree::Node* partyNode(const Side& side, tree::Node* root, const QString& key, const QString& name);
    void removeNode(const Side& side, tree::Node* node);

    QVector<qint64> eventIDs;  // element k + 1 holds the id of list entry k
    bool eventsFilled = false;
    // The node of the last mouse-down that hit one, by key and tree: the
    // nodes themselves go with every rebuild.
    QString dragKey;
    const Side* dragTree = nullptr;
    QString dragSource;
    QPoint pressedAt;
    // Per tree, the key of the party node of each party name: parties of
    // exactly the same name share one node.
    std::optional<QHash<QString, QString>> partyKeys_[2];
    QHash<QString, QString>& partyKeys(const Side& side);
    void clearPartyKeys();
    // Per tree, the other parties whose persons a node of a shared name holds.
    QHash<QString, QVector<qint64>> sharedNodes_[2];
};
