#pragma once
// The about box, with its button that starts the system information tool.

#include "platform/ui/forms.h"

#include <QByteArray>
#include <QIcon>

#include <functional>

class QFrame;
class QLabel;
class QPushButton;

namespace appversion {
inline constexpr int kMajor = 1;
inline constexpr int kMinor = 0;
inline constexpr int kRevision = 0;
}  // namespace appversion

// The program's own icon, drawn once.
QIcon nuptaroIcon();

class frmAbout : public ui::Form<frmAbout, QDialog> {
public:
    frmAbout() : Form("frmAbout") {}

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void StartSysInfo();
    bool GetKeyValue(qint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    static constexpr qint32 HKEY_LOCAL_MACHINE = qint32(0x80000002);
    static constexpr int REG_SZ = 1;
    static constexpr int REG_DWORD = 4;
    static constexpr const char* kInfoKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
    static constexpr const char* kInfoValue = "PATH";
    static constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
    static constexpr const char* kLocationValue = "MSINFO";

    // What System Info shows when no system information tool is registered:
    // the system, the Qt and SQLite versions and the data folder.
    static constexpr const char* kSystemInformation = "System Information";
    static QString systemInformation();

    // The machine-wide settings the about box reads: a value's type and its
    // bytes as stored (a string may carry its terminating NUL). Returns false
    // when the key or value is missing. Replaceable for tests; the standard
    // reader has none, this system keeping no such settings.
    using Registry = std::function<bool(qint32 root, const QString& key, const QString& value, int& type,
                                        QByteArray& data)>;
    static Registry& registry();
    static Registry standardRegistry();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QFrame* Shape1 = nullptr;
    QFrame* Line1 = nullptr;

protected:
    void createControls() override;
    void releaseControls() override;
};
