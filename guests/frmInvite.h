#pragma once
// Who is invited to which event: for the chosen event, the persons of every
// party in two trees grouped under their parties, uninvited on the left and
// invited on the right. A person or a whole party moves across with the
// buttons or by dragging its node onto the other tree; moving right writes
// INVITE rows, moving left deletes them together with the person's seats at
// that event. The RSVP view is shown afresh when the window closes.

#include "platform/ui/forms.h"

#include <QPixmap>
#include <QPoint>
#include <QString>
#include <QVector>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

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

    // Runs the drag a mouse move begins; the default runs the platform's
    // drag loop. Tests put one of their own here.
    static std::function<void(QTreeWidget* source, const QPixmap& image)>& dragLoop();

    // A node's key: "ROOT", "G" and the GUEST_ID, "S" and the SUBGUEST_ID.
    static QString key(const QTreeWidgetItem* node);

    QLabel* Label1 = nullptr;  // "Uninvited Guests"
    QLabel* Label2 = nullptr;  // "Event:"
    QLabel* Label3 = nullptr;  // "Invited Guests"
    QComboBox* cmbEvents = nullptr;
    QTreeWidget* treeUninvited = nullptr;
    QTreeWidget* treeInvited = nullptr;
    QPushButton* cmdInvite = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* Command1 = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    // What differs between the two directions of a move.
    struct Side {
        QTreeWidget* frmInvite::*tree;
        const char* name;          // the drag source it names
        bool inviting;             // moving from here invites
        const char* selectMessage; // its button without a person or party selected here
        const char* dropMessage;   // a drop onto it of anything else
    };
    static const Side kUninvited, kInvited;

    void FillEvents();
    void LoadTrees();
    // Moves are offered only for an event of the list.
    bool hasEvent() const { return eventIDs.size() > 1; }
    static const Side& other(const Side& s) { return &s == &kUninvited ? kInvited : kUninvited; }

    void buttonMove(const Side& from);
    void mouseDown(const Side& side, int button, QPoint pos);
    bool mouseMove(const Side& side, int button, QPoint pos);  // true when a drag ran
    void dragDrop(const Side& onto);
    // The database steps of moving these persons, as one transaction with
    // their log rows; false, with the user told, when it did not go through.
    bool writeMove(const QVector<qint64>& persons, bool inviting);
    void moveNodes(QTreeWidgetItem* node, QTreeWidget* to);

    QVector<qint64> eventIDs;  // element k + 1 holds the id of list entry k
    bool eventsFilled = false;
    // The node of the last mouse-down that hit one, by key and tree: the
    // nodes themselves go with every rebuild.
    QString dragKey;
    const Side* dragTree = nullptr;
    QString dragSource;
    QPoint pressedAt;
};
