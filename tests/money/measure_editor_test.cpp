// The two measurement editors: the empty name that keeps the window open,
// and the order Tab goes in.

#include "money_fixture.h"

#include "money/frmMeasure.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class MeasureEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        for (const char* t : {"MEASURE_FEMALE", "MEASURE_MALE"})
            watch(t);
        traced();
    }
    using Open = std::function<money::MeasureForm&(editing::Mode, qint64)>;
    template <class F>
    static Open opener()
    {
        return [](editing::Mode mode, qint64 key) -> money::MeasureForm& {
            return moneytest::openEditor<F>(&F::curMode, mode, &F::curRec, key);
        };
    }
    const Open kinds[2] = {opener<frmMeasureFemale>(), opener<frmMeasureMale>()};
};

TEST_F(MeasureEditor, AnEmptyNameIsSaidAndTheWindowKeepsWhatWasTyped)
{
    for (const Open& open : kinds) {
        money::MeasureForm& f = open(editing::Mode::Add, 0);
        SCOPED_TRACE(f.kind().table);
        messages.msgs->shown.clear();
        type(f.Text1[2], "34");
        click(f.Command1);
        EXPECT_EQ(messages.msgs->texts(), QStringList{"Please enter a name for this person."});
        EXPECT_TRUE(f.isLoaded());
        EXPECT_EQ(f.Text1[2]->text(), "34");
        EXPECT_EQ(traced(), QStringList());
        click(f.Command2);
        EXPECT_EQ(traced(), QStringList({"refresh MeasurementRS"}));
    }
    EXPECT_EQ(count("SELECT count(*) FROM SYNCHRO"), 0);
}

TEST_F(MeasureEditor, TabGoesAlongTheTopRowThenDownEachColumn)
{
    const QStringList female = {"Combo1", "Text1(0)", "Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)", "Text1(5)",
                                "Text1(6)", "Text1(7)", "Text1(8)", "Command1", "Command2"};
    const QStringList male = {"Combo1", "Text1(0)", "Text1(1)", "Text1(2)", "Text1(3)", "Text1(4)", "Text1(5)",
                              "Text1(9)", "Text1(6)", "Text1(7)", "Text1(8)", "Command1", "Command2"};
    for (int i = 0; i < 2; ++i) {
        money::MeasureForm& f = kinds[i](editing::Mode::Add, 0);
        ASSERT_TRUE(activate(f.window()));
        f.Combo1->setFocus();
        QStringList order;
        for (int n = 0; n < (i == 0 ? female : male).size(); ++n) {
            QWidget* at = QApplication::focusWidget();
            // The editable box's own line edit has the focus inside it.
            order << (at->parentWidget() == f.Combo1 ? f.Combo1 : at)->objectName();
            QTest::keyClick(at, Qt::Key_Tab);
        }
        EXPECT_EQ(order, i == 0 ? female : male);
        // The male Hat box sits at the foot of the left column.
        if (i == 1) {
            EXPECT_LT(f.Text1[9]->x(), f.Text1[6]->x());
        }
        f.Unload();
    }
}

}  // namespace
