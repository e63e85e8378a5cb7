#pragma once
// The main window as the host of its commands.

#include "app/commands.h"

class frmMain;

namespace commands {

class MainHost : public Host {
public:
    explicit MainHost(frmMain& f) : f_(f) {}

    void ShowPanel(const QString& frameName) override;
    void ArrangePanels() override;
    void setModeCaption(const QString& caption) override;
    QDateTime curDate() const override;
    views::TaskFilter dueMode() const override;
    views::MainMode curMainMode() const override;
    views::DataMode curDataMode() const override;
    QString SelectedRowKind() const override;
    void setSelectedRowKind(const QString& kind) override;
    ui::FormBase* owner() override;
    void call(Proc procedure) override;
    void ShowTasks(views::TaskFilter whichTasks, const QDateTime& enddate) override;
    void ChangeDate(const QDateTime& whichDate) override;
    void ChangeCalendar(const QDateTime& whichDate) override;
    int currentRow() const override;
    bool isRecordRow(int row) const override;
    void expandGroupRow() override;
    QVariant value(int row, int column) const override;
    void clearColumnValueList(int column) override;
    void addColumnValueListItem(int column, const QVariant& value, const QString& text) override;
    void setCurrentRow(int row) override;
    void popupMenu(const QString& menuName) override;
    void showDelete(records::DeleteKind delMode, qlonglong delID, const QString& delString, int showMode) override;
    void showLookupList(records::Lookup list, const ui::FormBase* fromForm, bool fromFormFirst) override;
    void showSynchronize() override;
    void showTip() override;
    void showWizard() override;
    void showAbout() override;
    void showHelpContents() override;
    void showWebHelp() override;
    void exitProgram() override;

private:
    frmMain& f_;
};

}  // namespace commands
