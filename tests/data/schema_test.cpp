// The tables and their columns, by name and in order: replicas copy by
// position, so this order is part of the file format.

#include "support/fixture.h"

using testsupport::DbTest;

namespace {

struct TableColumns {
    const char* table;
    QStringList columns;
};

const TableColumns kTables[] = {
    {"EVENT", {"EVENT_ID", "EVENT_NAME", "EVENT_STARTDATE", "EVENT_ENDDATE", "EVENT_BUDGET", "EVENT_TEXT", "EVENT_LOCATION", "EVENT_DIRECTIONS", "EVENT_HASFOOD", "EVENT_HASDECORATION", "EVENT_HASMUSIC", "EVENT_HASPLAYSCRIPT"}},
    {"EVENT_FOOD", {"EVENT_FOOD_ID", "EVENT_ID", "EVENT_FOOD_ORDER", "EVENT_FOOD_TEXT", "EVENT_FOOD_COST", "EVENT_FOOD_NOTES"}},
    {"EVENT_DECORATION", {"EVENT_DECORATION_ID", "EVENT_ID", "EVENT_DECORATION_ORDER", "EVENT_DECORATION_ITEM", "EVENT_DECORATION_LOCATION", "EVENT_DECORATION_COST", "EVENT_DECORATION_QUANTITY"}},
    {"EVENT_MUSIC", {"EVENT_MUSIC_ID", "EVENT_ID", "EVENT_MUSIC_ORDER", "EVENT_MUSIC_TITLE", "EVENT_MUSIC_PERFORMER", "EVENT_MUSIC_ALBUM", "EVENT_MUSIC_DURATION"}},
    {"EVENT_PLAYSCRIPT", {"EVENT_PLAYSCRIPT_ID", "EVENT_ID", "EVENT_PLAYSCRIPT_ORDER", "EVENT_PLAYSCRIPT_TEXT", "EVENT_PLAYSCRIPT_PERFORMER", "EVENT_PLAYSCRIPT_STARTTIME", "EVENT_PLAYSCRIPT_DURATION"}},
    {"TASKS", {"TASK_ID", "TASK_NAME", "TASK_DUEDATE", "TASK_ASSIGN", "TASK_PRIORITY", "TASK_EVENT", "TASK_NOTES", "TASK_COMPLETE", "TASK_STDID"}},
    {"APPOINTMENT", {"APPOINTMENT_ID", "APPOINTMENT_TEXT", "APPOINTMENT_START", "APPOINTMENT_END", "APPOINTMENT_NOTE", "APPOINTMENT_PRIORITY"}},
    {"OUR_WEDDING", {"OUR_WEDDING_ID", "BRIDE_FNAME", "BRIDE_LNAME", "BRIDE_ADDRESS1", "BRIDE_ADDRESS2", "BRIDE_CITY", "BRIDE_STATE", "BRIDE_ZIP", "BRIDE_PHONE", "BRIDE_PHONE1", "BRIDE_EMAIL", "GROOM_FNAME", "GROOM_LNAME", "GROOM_ADDRESS1", "GROOM_ADDRESS2", "GROOM_CITY", "GROOM_STATE", "GROOM_ZIP", "GROOM_PHONE", "GROOM_PHONE1", "GROOM_EMAIL", "PLAN_CEREMONY", "PLAN_RECEPTION", "PLAN_SHOWER", "PLAN_REHEARSAL", "PLAN_BACHELOR", "PLAN_BACHELORETTE", "PLAN_HONEYMOON", "DATE_CEREMONY", "DATE_RECEPTION", "DATE_SHOWER", "DATE_REHEARSAL", "DATE_BACHELOR", "DATE_BACHELORETTE", "DATE_HONEYMOON", "BRIDE_FATHER", "BRIDE_MOTHER", "GROOM_FATHER", "GROOM_MOTHER"}},
    {"GUEST", {"GUEST_ID", "GUEST_PARTYNAME", "GUEST_FNAME", "GUEST_LNAME", "GUEST_TITLE", "GUEST_ADDRESS1", "GUEST_ADDRESS2", "GUEST_CITY", "GUEST_STATE", "GUEST_ZIP", "GUEST_PHONE1", "GUEST_PHONE2", "GUEST_EMAIL", "GUEST_CATEGORY", "GUEST_TRAVELARRIVE", "GUEST_TRAVELARRIVENOTES", "GUEST_TRAVELDEPART", "GUEST_TRAVELDEPARTNOTES", "GUEST_ACCOMPLACE", "GUEST_ACCOMPHONE", "GUEST_ACCOMNOTES", "GUEST_TRAVELARRIVETIME", "GUEST_TRAVELDEPARTTIME", "GUEST_ACCOMARRIVETIME", "GUEST_ACCOMDEPARTTIME"}},
    {"SUBGUEST", {"SUBGUEST_ID", "GUEST_ID", "SUBGUEST_FNAME", "SUBGUEST_LNAME", "SUBGUEST_TITLE", "SUBGUEST_PHONE", "SUBGUEST_EMAIL", "SUBGUEST_NOTE"}},
    {"INVITE", {"INVITE_ID", "EVENT_ID", "SUBGUEST_ID", "INVITE_RSVP_TEXT", "EVENT_FOOD"}},
    {"TABLES", {"TABLE_ID", "EVENT_ID", "TABLE_NAME", "TABLE_SEATS", "TABLE_TYPE"}},
    {"SEATING", {"SEATING_ID", "TABLE_ID", "SUBGUEST_ID", "SEATING_POS"}},
    {"VENDOR", {"VENDOR_ID", "VENDOR_BRIDERATING", "VENDOR_GROOMRATING", "VENDOR_NAME", "VENDOR_CONTACT", "VENDOR_ADDRESS1", "VENDOR_ADDRESS2", "VENDOR_CITY", "VENDOR_STATE", "VENDOR_ZIP", "VENDOR_PHONE1", "VENDOR_PHONE2", "VENDOR_FAX", "VENDOR_EMAIL", "VENDOR_URL", "VENDOR_COMMENTS", "VENDOR_BRIDEBESTNOTE", "VENDOR_BRIDEWORSTNOTE", "VENDOR_GROOMBESTNOTE", "VENDOR_GROOMWORSTNOTE", "VENDOR_REF1NAME", "VENDOR_REF1PHONE", "VENDOR_REF1COMMENT", "VENDOR_REF2NAME", "VENDOR_REF2PHONE", "VENDOR_REF2COMMENT", "VENDOR_REF3NAME", "VENDOR_REF3PHONE", "VENDOR_REF3COMMENT", "VENDOR_TYPE"}},
    {"QUOTE", {"QUOTE_ID", "QUOTE_EVENT", "QUOTE_VENDOR", "QUOTE_PRODUCT", "QUOTE_DETAILS", "QUOTE_NOTPROVIDED", "QUOTE_AMOUNT", "QUOTE_DEPOSITAMT", "QUOTE_BALANCEAMT", "QUOTE_PAYMENTDUE", "QUOTE_DEPOSITDUE", "QUOTE_BALANCEDUE", "QUOTE_CANCELDATE", "VENDOR_ID"}},
    {"BUDGET", {"BUDGET_ID", "BUDGET_NAME", "BUDGET_CATEGORY", "BUDGET_EVENT", "BUDGET_AMT", "BUDGET_WHOPAYS", "BUDGET_STDBUDGETID"}},
    {"EXPENSES", {"EXPENSE_ID", "EXPENSE_TEXT", "EXPENSE_VENDOR", "EXPENSE_EVENT", "EXPENSE_AMTPAID", "EXPENSE_AMTDUE", "EXPENSE_DUEDATE", "EXPENSE_WHOPAYS"}},
    {"ATTIRE", {"ATTIRE_ID", "ATTIRE_ITEM", "ATTIRE_VENDOR", "ATTIRE_ASSIGNEE", "ATTIRE_TYPE", "ATTIRE_COST"}},
    {"MEASURE_FEMALE", {"MEASURE_FEMALE_ID", "MEASURE_FEMALE_NAME", "MEASURE_FEMALE_HEIGHT", "MEASURE_FEMALE_WAIST", "MEASURE_FEMALE_BUST", "MEASURE_FEMALE_DRESS", "MEASURE_FEMALE_HEAD", "MEASURE_FEMALE_SHOE", "MEASURE_FEMALE_GLOVE", "MEASURE_FEMALE_SLIP", "MEASURE_FEMALE_HOSE"}},
    {"MEASURE_MALE", {"MEASURE_MALE_ID", "MEASURE_MALE_NAME", "MEASURE_MALE_HEIGHT", "MEASURE_MALE_WAIST", "MEASURE_MALE_CHEST", "MEASURE_MALE_COAT", "MEASURE_MALE_PANTWAIST", "MEASURE_MALE_PANTINSEAM", "MEASURE_MALE_COLLAR", "MEASURE_MALE_SLEEVE", "MEASURE_MALE_SHOE", "MEASURE_MALE_HAT"}},
    {"GIFT", {"GIFT_ID", "GIFT_NAME", "GIFT_EVENT", "GIFT_WHOFROM", "GIFT_VALUE", "GIFT_STORE", "GIFT_IMAGE", "GIFT_THANKYOUSENT"}},
    {"REGISTRY", {"REGISTRY_ID", "REGISTRY_TEXT", "REGISTRY_MODEL", "REGISTRY_COST", "REGISTRY_STORE", "REGISTRY_CATEGORY"}},
    {"TITLES", {"TITLE_ID", "TITLE_TEXT"}},
    {"GUESTTYPE", {"GUESTTYPE_ID", "GUESTTYPE_TEXT"}},
    {"ASSIGNEE", {"ASSIGNEE_ID", "ASSIGNEE_TEXT"}},
    {"RSVP_STATUS", {"RSVP_ID", "RSVP_TEXT"}},
    {"VENDORTYPE", {"VENDORTYPE_ID", "VENDORTYPE_NAME"}},
    {"GIFTSTORE", {"GIFTSTORE_ID", "GIFTSTORE_NAME"}},
    {"GIFT_CATEGORY", {"GIFT_CAT_ID", "GIFT_CAT_TEXT"}},
    {"PRIORITY", {"PRIORITY_ID", "PRIORITY_TEXT"}},
    {"BUDGETCATEGORY", {"BUDGETCATEGORY_ID", "BUDGETCATEGORY_TEXT"}},
    {"STDEVENT", {"STDEVENT_ID", "STDEVENT_TEXT"}},
    {"ATTIRE_TYPE", {"ATTIRETYPE_ID", "ATTIRETYPE_NAME"}},
    {"STDTASK", {"STDTASK_ID", "STDTASK_TEXT", "STDTASK_EVENT", "STDTASK_DAYS", "STDTASK_ASSIGNMENT"}},
    {"STDBUDGET", {"STDBUDGET_ID", "STDBUDGET_NAME", "STDBUDGET_CATEGORY", "STDBUDGET_EVENT", "STDBUDGET_WHOPAYS", "STDBUDGET_AMT", "STDBUDGET_HIGH", "STDBUDGET_MED", "STDBUDGET_LOW"}},
    {"TIPS", {"TIP_TEXT", "TIP_SHOWN"}},
    {"LABELS", {"LABEL_ID", "LABEL_NAME", "TOP_MARGIN", "SIDE_MARGIN", "VERTICAL_PITCH", "HEIGHT_PITCH", "NUM_ACROSS", "NUM_DOWN"}},
    {"SYNCHRO", {"SYNCHRO_TABLE", "SYNCHRO_RECORDID", "SYNCHRO_DATETIME", "SYNCHRO_ACTION"}},
    {"KEY_COUNTER", {"KEY_COUNTER_TABLE", "KEY_COUNTER_LAST"}},
};

class Schema : public DbTest {};

TEST_F(Schema, EveryTableHasItsColumnsInOrder)
{
    QStringList expected;
    for (const TableColumns& t : kTables) {
        expected << t.table;
        EXPECT_EQ(db().columnNames(t.table), t.columns) << t.table;
    }
    QStringList actual;
    ado::Recordset rs;
    rs.Open("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'", db());
    for (; !rs.EOF_(); rs.MoveNext())
        actual << rs.value("name").toString();
    expected.sort();
    actual.sort();
    EXPECT_EQ(actual, expected);
    // Start-up refuses a file without these; the key counter is added when missing.
    QStringList required = modQVDatabase::requiredTables();
    required << "KEY_COUNTER";
    required.sort();
    EXPECT_EQ(required, expected);
}

TEST_F(Schema, KeysFirstAndAutoincrementExceptTipsAndLog)
{
    for (const TableColumns& t : kTables) {
        const QString table = t.table;
        const QString key = db().keyColumn(table);
        if (table == "TIPS" || table == "SYNCHRO") {
            EXPECT_TRUE(key.isEmpty()) << t.table;
            continue;
        }
        if (table == "KEY_COUNTER")
            continue;
        EXPECT_EQ(key, t.columns.front()) << t.table;
        const QString sql = db().scalar("SELECT sql FROM sqlite_master WHERE name = ?", {table}).toString();
        EXPECT_TRUE(sql.contains("AUTOINCREMENT")) << t.table;
    }
}

TEST_F(Schema, TemplateContentIsConsistent)
{
    struct Ref {
        const char* what;
        const char* sql;
    };
    // Each query lists rows whose copied text names nothing in its list.
    const Ref refs[] = {
        {"task events", "SELECT STDTASK_TEXT FROM STDTASK WHERE STDTASK_EVENT NOT IN (SELECT STDEVENT_TEXT FROM STDEVENT)"},
        {"task assignees",
         "SELECT STDTASK_TEXT FROM STDTASK WHERE STDTASK_ASSIGNMENT NOT IN (SELECT ASSIGNEE_TEXT FROM ASSIGNEE)"},
        {"budget categories", "SELECT STDBUDGET_NAME FROM STDBUDGET WHERE STDBUDGET_CATEGORY NOT IN "
                              "(SELECT BUDGETCATEGORY_TEXT FROM BUDGETCATEGORY)"},
        {"budget payers",
         "SELECT STDBUDGET_NAME FROM STDBUDGET WHERE STDBUDGET_WHOPAYS NOT IN (SELECT ASSIGNEE_TEXT FROM ASSIGNEE)"},
        {"budget events",
         "SELECT STDBUDGET_NAME FROM STDBUDGET WHERE STDBUDGET_EVENT NOT IN (SELECT STDEVENT_TEXT FROM STDEVENT)"},
        {"suggested amounts", "SELECT STDBUDGET_NAME FROM STDBUDGET WHERE NOT (STDBUDGET_HIGH >= STDBUDGET_MED AND "
                              "STDBUDGET_MED >= STDBUDGET_LOW AND STDBUDGET_LOW >= 0)"},
        {"task percentages", "SELECT STDTASK_TEXT FROM STDTASK WHERE STDTASK_DAYS NOT BETWEEN 0 AND 100"},
        {"label sheets", "SELECT LABEL_NAME FROM LABELS WHERE SIDE_MARGIN + HEIGHT_PITCH * (NUM_ACROSS - 1) > 8.5 "
                         "OR TOP_MARGIN + VERTICAL_PITCH * (NUM_DOWN - 1) > 11 OR NUM_ACROSS < 1 OR NUM_DOWN < 1"},
        {"standard keys", "SELECT 'STDTASK' FROM STDTASK WHERE STDTASK_ID <= 0 UNION ALL SELECT 'STDBUDGET' FROM "
                          "STDBUDGET WHERE STDBUDGET_ID <= 0 UNION ALL SELECT 'LABELS' FROM LABELS WHERE LABEL_ID <= 0"},
    };
    for (const Ref& r : refs) {
        ado::Recordset rs;
        rs.Open(r.sql, db(), ado::adOpenForwardOnly, ado::adLockReadOnly);
        QStringList bad;
        for (; !rs.EOF_(); rs.MoveNext())
            bad << rs.value(0).toString();
        EXPECT_TRUE(bad.isEmpty()) << r.what << ": " << bad.join(", ").toStdString();
    }

    struct Minimum {
        const char* table;
        int rows;
    };
    const Minimum minimums[] = {{"STDTASK", 40}, {"STDBUDGET", 20}, {"TIPS", 30}, {"LABELS", 4},
                                {"TITLES", 1}, {"GUESTTYPE", 1}, {"ASSIGNEE", 1}, {"RSVP_STATUS", 1},
                                {"VENDORTYPE", 1}, {"GIFTSTORE", 1}, {"GIFT_CATEGORY", 1}, {"PRIORITY", 1},
                                {"BUDGETCATEGORY", 1}, {"STDEVENT", 7}, {"ATTIRE_TYPE", 1}};
    for (const Minimum& m : minimums)
        EXPECT_GE(count(QString("SELECT count(*) FROM %1").arg(m.table)), m.rows) << m.table;

    for (const char* name : {"Ceremony", "Reception", "Shower", "Rehearsal Dinner", "Bachelor Party",
                             "Bachelorette Party", "Honeymoon"})
        EXPECT_EQ(count("SELECT count(*) FROM STDEVENT WHERE STDEVENT_TEXT = ?", {QString(name)}), 1) << name;

    // Record tables and the log start empty.
    for (const char* t : {"EVENT", "TASKS", "GUEST", "SUBGUEST", "INVITE", "BUDGET", "EXPENSES", "GIFT", "SYNCHRO"})
        EXPECT_EQ(count(QString("SELECT count(*) FROM %1").arg(t)), 0) << t;
    EXPECT_EQ(count("SELECT count(*) FROM TIPS WHERE TIP_SHOWN <> 0"), 0);
}

}  // namespace
