#pragma once
// A test with the main window: start-up dialogs off, modal windows scripted,
// and every window unloaded before the database closes.

#include "support/fixture.h"

#include "app/frmMain.h"
#include "platform/ui/forms.h"

#include <QCoreApplication>
#include <QEvent>

namespace testsupport {

template <class Base = DbTest>
class MainWindowTest : public Base {
protected:
    void SetUp() override
    {
        Base::SetUp();
        modQVDatabase::gShowTips = "No";
        modQVDatabase::gShowWizard = "No";
        m().quitOnUnload = false;
    }
    void TearDown() override
    {
        // A pending grid edit is discarded by the close question.
        this->messages.msgs->defaultAnswer = ui::vbNo;
        m().Unload();
        ui::FormBase::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Base::TearDown();
    }
    static frmMain& m() { return frmMain::instance(); }
    ui::ScriptedModalGuard modal;
};

// The same with the main window shown from the start.
template <class Base = DbTest>
class ShownMainWindowTest : public MainWindowTest<Base> {
protected:
    void SetUp() override
    {
        MainWindowTest<Base>::SetUp();
        this->m().Show(ui::vbModeless);
    }
};

}  // namespace testsupport
