#pragma once
// Windows of parts of the program that are not built yet: each stands under
// its own name, with the public variables its openers rely on, and says in
// its caption that it is not built yet. Each is replaced by the real window
// when that part lands.

#include "platform/ui/forms.h"

class QCheckBox;
class QLabel;
class QPushButton;

// The first-run setup wizard.
class frmWizard : public ui::Form<frmWizard, QDialog> {
public:
    frmWizard() : Form("frmWizard") {}

    void Form_Load() override;
    void Check1_Click();

    QCheckBox* Check1 = nullptr;
    QLabel* lblInfo = nullptr;
    QPushButton* cmdClose = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;
};
