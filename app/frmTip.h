#pragma once
// The tip of the day: walks the planning tips once across openings and runs,
// marking each as shown, and starts over when all have been shown.

#include "platform/ui/forms.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class frmTip : public ui::Form<frmTip, QDialog> {
public:
    frmTip() : Form("frmTip") {}

    void Form_Load() override;
    void cmdNext_Click();
    void cmdClose_Click();
    void Check1_Click();

    // Controls, valid while loaded.
    QPlainTextEdit* txtTip = nullptr;
    QCheckBox* Check1 = nullptr;
    QPushButton* cmdNext = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* picIcon = nullptr;

    static constexpr const char* kAllShown =
        "All tips have been shown.  The first tip will be shown next time.  Press Next Tip to continue.";

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void SetShowTipsCheck();
    void LoadNextTip();
};
