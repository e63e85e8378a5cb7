#pragma once
// The person editor: adds one person to a guest party, or changes one, and
// then shows the party editor's list of people afresh.

#include "platform/ui/forms.h"
#include "records/editing.h"

#include <QString>

#include <array>

class QComboBox;
class QLabel;
class QPushButton;

class frmNewSubguest : public editing::RecordEditor<ui::Form<frmNewSubguest, QDialog>> {
public:
    frmNewSubguest() : RecordEditor("frmNewSubguest") { keepWhileOpen(groupName, guestID, curMode, guestLastName, subguestID); }

    // Written by the party editor before it shows the window; an open
    // editor keeps the values it was opened with.
    QString groupName;
    qint64 guestID = 0;
    Mode curMode = Mode::Add;
    QString guestLastName;
    qint64 subguestID = 0;

    // Called by the lookup-list editor while open.
    void GetTitles();

    void Form_Load() override;
    void cmdAdd_Click();
    void cmdCancel_Click();
    void cmdAddTitle_Click();

    QLabel* lblGroupName = nullptr;
    QComboBox* cmbTitles = nullptr;
    QPushButton* cmdAddTitle = nullptr;
    // First name, last name, phone, e-mail, notes (several lines).
    std::array<QWidget*, 5> Text1{};
    // First Name, Last Name, Title, Phone, E-Mail, Notes.
    std::array<QLabel*, 6> Label1{};
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdCancel = nullptr;

    QString text1(int index) const;
    void setText1(int index, const QString& text);

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void InitFields();
    bool LoadSubguest();
    bool save() override;
    bool isEditing() const { return curMode == Mode::Edit; }

};
