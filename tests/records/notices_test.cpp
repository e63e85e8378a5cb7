// The notices between windows: a window answers while it is loaded, once
// per load, and a failing answer is shown without stopping the window that
// told it.

#include "support/fixture.h"
#include "support/gui.h"

#include "platform/ui/forms.h"
#include "records/notices.h"

#include <QPushButton>
#include <QTest>

namespace {

// A window that answers a merged replica by counting; its button unloads it.
class frmListener : public ui::Form<frmListener, QDialog> {
public:
    frmListener() : Form("frmListener") {}
    int answers = 0;
    QString failure;  // thrown by the answer when not empty
    QPushButton* cmdClose = nullptr;

protected:
    void createControls() override
    {
        cmdClose = new QPushButton("Close", window());
        QObject::connect(cmdClose, &QPushButton::clicked, window(), [this] { Unload(); });
        records::answerWhileLoaded(*this, &records::Notices::replicaMerged, [this] {
            ++answers;
            if (!failure.isEmpty())
                throw ado::Error(3021, failure);
        });
    }
    void releaseControls() override { cmdClose = nullptr; }
};

class Notices : public testsupport::DbTest {
protected:
    void TearDown() override
    {
        w().Unload();
        w().failure.clear();
        testsupport::flushDeletes();
        DbTest::TearDown();
    }
    static frmListener& w() { return frmListener::instance(); }
    static bool show()
    {
        w().Show(ui::vbModeless);
        w().window()->activateWindow();
        return QTest::qWaitForWindowActive(w().window());
    }
    static int tell()
    {
        const int before = w().answers;
        emit records::notices().replicaMerged();
        return w().answers - before;
    }
};

TEST_F(Notices, AWindowAnswersOncePerLoadAndNotAfterItClosed)
{
    ASSERT_TRUE(show());
    EXPECT_EQ(tell(), 1);

    // Closed by its button: its widget waits to be deleted, and hears nothing.
    QTest::mouseClick(w().cmdClose, Qt::LeftButton);
    ASSERT_FALSE(w().isLoaded());
    EXPECT_EQ(tell(), 0);

    // Opened again before the old widget went: one answer, not two.
    ASSERT_TRUE(show());
    EXPECT_EQ(tell(), 1);
    testsupport::flushDeletes();
    EXPECT_EQ(tell(), 1);
}

TEST_F(Notices, AFailingAnswerIsShownAndTheOthersStillHear)
{
    ASSERT_TRUE(show());
    w().failure = "The list could not be read.";
    int others = 0;
    QObject other;
    QObject::connect(&records::notices(), &records::Notices::replicaMerged, &other, [&] { ++others; });

    EXPECT_EQ(tell(), 1);
    EXPECT_EQ(others, 1);
    ASSERT_EQ(messages.msgs->shown.size(), 1);
    EXPECT_TRUE(messages.msgs->shown[0].text.contains("The list could not be read."));
    EXPECT_TRUE(w().isLoaded());
}

}  // namespace
