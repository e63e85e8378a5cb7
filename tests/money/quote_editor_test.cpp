// The quote editor's four dates: the opening moment in every untouched one,
// and the stored ones shown and kept.

#include "money_fixture.h"

#include "money/frmQuote.h"
#include "platform/ui/boxes.h"

#include <QPushButton>

namespace {

class QuoteEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
    }
    frmQuote& open(frmQuote::Mode mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmQuote::curQuote, key);
    }
};

TEST_F(QuoteEditor, AddsAQuoteWithTodayInEveryUntouchedDate)
{
    frmQuote& f = open(frmQuote::Mode::Add);
    type(f.Text1[0], "Strings for the ceremony");
    f.dtDeposit->setDate(QDate(2027, 3, 1));
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());

    ado::Recordset rs;
    rs.Open("SELECT * FROM QUOTE", db());
    ASSERT_EQ(rs.RecordCount(), 1);
    // The day, without the time of day the window opened at.
    const QDateTime today = ado::convert::wallClock(QDate::currentDate());
    EXPECT_EQ(rs.value("QUOTE_PAYMENTDUE").toDateTime(), today);
    EXPECT_EQ(rs.value("QUOTE_BALANCEDUE").toDateTime(), today);
    EXPECT_EQ(rs.value("QUOTE_CANCELDATE").toDateTime(), today);
    EXPECT_EQ(rs.value("QUOTE_DEPOSITDUE").toDateTime(), ado::convert::wallClock(QDate(2027, 3, 1)));
}

TEST_F(QuoteEditor, EditShowsTheStoredQuoteAndKeepsWhatIsNotChanged)
{
    const qint64 key = insert(
        "INSERT INTO QUOTE (QUOTE_EVENT, QUOTE_VENDOR, QUOTE_PRODUCT, QUOTE_AMOUNT, QUOTE_PAYMENTDUE, "
        "QUOTE_DEPOSITDUE, QUOTE_BALANCEDUE, QUOTE_CANCELDATE) VALUES ('Reception', 'Old Name Catering', 'Buffet', "
        "'5000', '2027-06-12 14:30:00', NULL, '2027-06-01 09:00:00', '2027-05-01 00:00:00')");
    frmQuote& f = open(frmQuote::Mode::Edit, key);
    EXPECT_EQ(f.cmbVendor->currentText(), "Old Name Catering") << "shown though no vendor has that name";
    EXPECT_EQ(f.dtTotal->dateTime(), ado::convert::wallClock(QDate(2027, 6, 12), QTime(14, 30)));
    EXPECT_FALSE(f.dtDeposit->date().isValid()) << "a date without a value shows none";
    EXPECT_EQ(f.dtDeposit->text(), "");
    EXPECT_EQ(f.dtCancel->dateTime(), ado::convert::wallClock(QDate(2027, 5, 1)));
    f.dtBalance->setDate(QDate(2027, 6, 5));
    click(f.cmdSave);

    EXPECT_EQ(cell("SELECT QUOTE_VENDOR FROM QUOTE").toString(), "Old Name Catering");
    EXPECT_EQ(cell("SELECT QUOTE_PAYMENTDUE FROM QUOTE").toString(), "2027-06-12 14:30:00");
    EXPECT_EQ(cell("SELECT QUOTE_BALANCEDUE FROM QUOTE").toString(), "2027-06-05 09:00:00");
    EXPECT_TRUE(cell("SELECT QUOTE_DEPOSITDUE FROM QUOTE").isNull()) << "and stays without one";
    EXPECT_EQ(count("SELECT count(*) FROM QUOTE"), 1);
}

}  // namespace
