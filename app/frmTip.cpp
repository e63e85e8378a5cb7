#include "app/frmTip.h"

#include "platform/ado/ignoring.h"
#include "platform/settings/settings.h"
#include "records/modQVDatabase.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

using modQVDatabase::gConn;

void frmTip::createControls()
{
    QDialog* w = window();
    w->setWindowTitle("Tip of the Day");
    w->resize(460, 240);

    picIcon = new QLabel(w);
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(w->style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* heading = new QLabel("<b>Did you know...</b>", w);
    heading->setTextFormat(Qt::RichText);
    txtTip = new QPlainTextEdit(w);
    txtTip->setObjectName("txtTip");
    txtTip->setReadOnly(true);

    Check1 = new QCheckBox("Show Tips at Startup", w);
    Check1->setObjectName("Check1");
    cmdNext = new QPushButton("Next Tip", w);
    cmdNext->setObjectName("cmdNext");
    cmdClose = new QPushButton("Close", w);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setDefault(true);

    auto* grid = new QGridLayout(w);
    grid->addWidget(picIcon, 0, 0, 2, 1);
    grid->addWidget(heading, 0, 1);
    grid->addWidget(txtTip, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Check1);
    buttons->addStretch();
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdClose);
    grid->addLayout(buttons, 2, 0, 1, 2);

    QObject::connect(cmdNext, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdNext_Click(); }); });
    QObject::connect(cmdClose, &QPushButton::clicked, w, [this] { ui::guarded([this] { cmdClose_Click(); }); });
    // Clicks only, not the value set from the setting at load.
    QObject::connect(Check1, &QCheckBox::clicked, w, [this] { ui::guarded([this] { Check1_Click(); }); });
}

void frmTip::releaseControls()
{
    txtTip = nullptr;
    Check1 = nullptr;
    cmdNext = nullptr;
    cmdClose = nullptr;
    picIcon = nullptr;
}

void frmTip::Form_Load()
{
    SetShowTipsCheck();
    LoadNextTip();
}

void frmTip::cmdNext_Click() { LoadNextTip(); }

void frmTip::cmdClose_Click() { Unload(); }

void frmTip::Check1_Click()
{
    const QString value = Check1->isChecked() ? "Yes" : "No";
    try {
        settings::SaveSetting(modQVDatabase::kAppName, "Tips", "ShowTips", value);
    } catch (const settings::Error&) {
        // Not stored: the box goes back to what the setting still says.
        Check1->setChecked(modQVDatabase::gShowTips == "Yes");
        throw;
    }
    modQVDatabase::gShowTips = value;
}

void frmTip::SetShowTipsCheck() { Check1->setChecked(modQVDatabase::gShowTips == "Yes"); }

void frmTip::LoadNextTip()
{
    // Each step may fail on its own; a failure skips just that step.
    auto rs = ado::Recordset::create();
    int count = 0;
    ado::ignoringErrors([&] {
        rs->Open("SELECT * FROM TIPS WHERE TIP_SHOWN = FALSE", gConn, ado::adOpenKeyset, ado::adLockOptimistic);
        count = rs->RecordCount();
    });
    if (count >= 1) {
        ado::ignoringErrors([&] {
            const QVariant text = rs->value("TIP_TEXT");
            if (!text.isNull())
                txtTip->setPlainText(text.toString());
        });
        ado::ignoringErrors([&] {
            rs->setValue("TIP_SHOWN", true);
            rs->Update();
        });
    } else {
        ado::ignoringErrors([&] { gConn.Execute("UPDATE TIPS SET TIP_SHOWN = FALSE WHERE TIP_SHOWN = TRUE"); });
        txtTip->setPlainText(kAllShown);
    }
    rs->Close();
}
