// The quote editor: the event and vendor lists, the amounts as typed and
// the four dates, added and edited.

#include "money_fixture.h"

#include "money/frmQuote.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

class QuoteEditor : public moneytest::MoneyTest {
protected:
    void SetUp() override
    {
        MoneyTest::SetUp();
        db().Execute("INSERT INTO EVENT (EVENT_NAME) VALUES ('Reception'), ('Ceremony')");
        db().Execute("INSERT INTO VENDOR (VENDOR_NAME) VALUES ('Bloom & Co'), ('Harp Trio')");
        watch("QUOTE");
        traced();
    }
    frmQuote& open(const QString& mode, qint64 key = 0)
    {
        return moneytest::openEditor(mode, &frmQuote::curQuote, key);
    }
};

TEST_F(QuoteEditor, AddsAQuoteWithTheOpeningMomentInEveryUntouchedDate)
{
    const QDateTime before = ado::convert::now().addSecs(-1);
    frmQuote& f = open("Add");
    EXPECT_EQ(f.window()->windowTitle(), "Quote");
    // The events of the wedding and the vendors, in database order.
    EXPECT_EQ(items(f.cmbEvent), QStringList({"Reception", "Ceremony"}));
    EXPECT_EQ(items(f.cmbVendor), QStringList({"Bloom & Co", "Harp Trio"}));
    EXPECT_EQ(f.cmbEvent->currentText(), "");
    type(f.cmbEvent, "Brunch");  // not an event
    f.cmbVendor->setCurrentIndex(1);
    type(f.Text1[0], "Strings for the ceremony");
    type(f.Text1[1], "Three players\nTwo hours");
    type(f.Text1[3], "1,200.50");
    type(f.Text1[4], "about 300");  // amounts are kept as typed
    f.dtDeposit->setDate(QDate(2027, 3, 1));
    click(f.cmdSave);
    EXPECT_FALSE(f.isLoaded());

    ado::Recordset rs;
    rs.Open("SELECT * FROM QUOTE", db());
    ASSERT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.value("QUOTE_EVENT").toString(), "Brunch");
    EXPECT_EQ(rs.value("QUOTE_VENDOR").toString(), "Harp Trio");
    EXPECT_EQ(rs.value("QUOTE_DETAILS").toString(), "Three players\nTwo hours");
    EXPECT_EQ(rs.value("QUOTE_AMOUNT").toString(), "1,200.50");
    EXPECT_EQ(rs.value("QUOTE_DEPOSITAMT").toString(), "about 300");
    EXPECT_EQ(rs.value("QUOTE_BALANCEAMT").toString(), "");
    const QDateTime total = rs.value("QUOTE_PAYMENTDUE").toDateTime();
    EXPECT_GE(total, before);
    EXPECT_LE(total, ado::convert::now());
    EXPECT_EQ(rs.value("QUOTE_BALANCEDUE").toDateTime(), total);
    EXPECT_EQ(rs.value("QUOTE_CANCELDATE").toDateTime(), total);
    EXPECT_EQ(rs.value("QUOTE_DEPOSITDUE").toDateTime(), ado::convert::wallClock(QDate(2027, 3, 1), total.time()));
    EXPECT_EQ(traced(), QStringList({"log 1", "insert", "refresh QuoteRS"}));
    EXPECT_EQ(count("SELECT count(*) FROM EVENT"), 2) << "a typed event adds no event";
}

TEST_F(QuoteEditor, EditShowsTheStoredQuoteAndKeepsWhatIsNotChanged)
{
    const qint64 key = insert(
        "INSERT INTO QUOTE (QUOTE_EVENT, QUOTE_VENDOR, QUOTE_PRODUCT, QUOTE_AMOUNT, QUOTE_PAYMENTDUE, "
        "QUOTE_DEPOSITDUE, QUOTE_BALANCEDUE, QUOTE_CANCELDATE) VALUES ('Reception', 'Old Name Catering', 'Buffet', "
        "'5000', '2027-06-12 14:30:00', NULL, '2027-06-01 09:00:00', '2027-05-01 00:00:00')");
    traced();
    frmQuote& f = open("Edit", key);
    EXPECT_EQ(f.cmbVendor->currentText(), "Old Name Catering") << "shown though no vendor has that name";
    EXPECT_EQ(editing::boxText(f.Text1[0]), "Buffet");
    EXPECT_EQ(editing::boxText(f.Text1[3]), "5000");
    EXPECT_EQ(f.dtTotal->value(), QDateTime(QDate(2027, 6, 12), QTime(14, 30)));
    EXPECT_EQ(f.dtDeposit->date(), QDate::currentDate()) << "a date without a value: the picker stays on today";
    EXPECT_EQ(f.dtCancel->value(), QDateTime(QDate(2027, 5, 1), QTime(0, 0)));
    type(f.Text1[3], "5200");
    f.dtBalance->setDate(QDate(2027, 6, 5));
    click(f.cmdSave);

    EXPECT_EQ(cell("SELECT QUOTE_VENDOR FROM QUOTE").toString(), "Old Name Catering");
    EXPECT_EQ(cell("SELECT QUOTE_AMOUNT FROM QUOTE").toString(), "5200");
    EXPECT_EQ(cell("SELECT QUOTE_PAYMENTDUE FROM QUOTE").toString(), "2027-06-12 14:30:00");
    EXPECT_EQ(cell("SELECT QUOTE_BALANCEDUE FROM QUOTE").toString(), "2027-06-05 09:00:00");
    EXPECT_EQ(cell("SELECT substr(QUOTE_DEPOSITDUE, 1, 10) FROM QUOTE").toString(),
              QDate::currentDate().toString("yyyy-MM-dd"));
    EXPECT_EQ(traced(), QStringList({"log 2", "update", "refresh QuoteRS"}));
    EXPECT_EQ(count("SELECT count(*) FROM QUOTE"), 1);
}

}  // namespace
