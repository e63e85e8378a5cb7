#pragma once
// The window that prepares a replica for the other user and merges one
// received from them. A thin shell over records/synchro.

#include "platform/ui/forms.h"

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

class frmSynchronize : public ui::Form<frmSynchronize, QDialog> {
public:
    frmSynchronize();
    // Shows the window modal over the main window.
    void Show();

    // What the file dialog is asked for; the answer is the chosen file, ""
    // when the user cancels. Replaceable so that no test waits on a dialog.
    struct FileRequest {
        bool save = false;
        QString folder;
        QString filter;
        QString fileName;
    };
    std::function<QString(const FileRequest&)> chooseFile;
    static QString askWithDialog(const FileRequest& request, QWidget* owner);

    QLabel* Label1 = nullptr;
    QPushButton* cmdPrepare = nullptr;
    QLabel* Label3 = nullptr;  // that a wedding is exchanged between two copies
    QLabel* Label2 = nullptr;
    QPushButton* cmdSynchronize = nullptr;
    QLabel* lblProgress = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* cmdCancel = nullptr;

    void Form_Load() override;

protected:
    void createControls() override;
    void releaseControls() override;

private:
    void cmdPrepare_Click();
    void SaveReplicaAs();
    void cmdSynchronize_Click();
    void cmdCancel_Click();
    void showProgress(const QString& text, int percent);
    void fitTexts();
    QString ask(const FileRequest& request);
};
