#include "app/placeholders.h"

#include "app/modQVDatabase.h"
#include "platform/settings/settings.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void frmWizard::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Nuptaro Planning Wizard (not built yet)");
    w->resize(420, 160);
    lblInfo = new QLabel("The Planning Wizard is not built yet.  It will set up your names, your wedding date "
                         "and your events.",
                         w);
    lblInfo->setWordWrap(true);
    Check1 = new QCheckBox("Show this wizard at startup", w);
    Check1->setObjectName("Check1");
    cmdClose = new QPushButton("Close", w);
    cmdClose->setObjectName("cmdClose");
    auto* box = new QVBoxLayout(w);
    box->addWidget(lblInfo);
    box->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(Check1);
    row->addStretch();
    row->addWidget(cmdClose);
    box->addLayout(row);
    QObject::connect(Check1, &QCheckBox::clicked, w, [this] { ui::guarded([this] { Check1_Click(); }); });
    QObject::connect(cmdClose, &QPushButton::clicked, w, [this] { Unload(); });
}

void frmWizard::releaseControls()
{
    Check1 = nullptr;
    lblInfo = nullptr;
    cmdClose = nullptr;
}

void frmWizard::Form_Load() { Check1->setChecked(modQVDatabase::gShowWizard == "Yes"); }

void frmWizard::Check1_Click()
{
    const QString value = Check1->isChecked() ? "Yes" : "No";
    try {
        settings::SaveSetting(modQVDatabase::kAppName, "Wizard", "ShowWizard", value);
    } catch (const settings::Error&) {
        // Not stored: the box goes back to what the setting still says.
        Check1->setChecked(modQVDatabase::gShowWizard == "Yes");
        throw;
    }
    modQVDatabase::gShowWizard = value;
}
