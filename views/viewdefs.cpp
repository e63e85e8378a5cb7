#include "views/viewdefs.h"

namespace views {

namespace {

ColumnDef key(int n, const QString& name)
{
    ColumnDef c;
    c.number = n;
    c.caption = name;
    c.hidden = true;
    return c;
}

ColumnDef col(int n, const QString& caption, int width = 0)
{
    ColumnDef c;
    c.number = n;
    c.caption = caption;
    c.width = width;
    return c;
}

ColumnDef list(ColumnDef c, int grid)
{
    c.editType = 5;
    c.dropDown = grid;
    return c;
}

ColumnDef currency(ColumnDef c)
{
    c.format = "Currency";
    return c;
}

ColumnDef sum(ColumnDef c)
{
    c.aggregate = 2;
    c.totalFormat = "Currency";
    return c;
}

LookupDef lookup(const QString& member, const QString& sql, int grid, const QString& value)
{
    LookupDef l;
    l.member = member;
    l.sql = sql;
    l.grid = grid;
    l.valueColumn = value;
    return l;
}

const QString kTaskSelect =
    "SELECT TASK_ID, TASK_COMPLETE AS [Done], TASK_NAME AS [Task], TASK_DUEDATE AS [Due Date], "
    "TASK_ASSIGN AS [Assignment], TASK_PRIORITY AS [Priority], TASK_EVENT AS [Event] FROM TASKS";

const QString kAssigneeSorted = "SELECT ASSIGNEE_TEXT FROM ASSIGNEE ORDER BY ASSIGNEE_TEXT";
const QString kVendorSorted = "SELECT VENDOR_NAME FROM VENDOR ORDER BY VENDOR_NAME";
const QString kStoreSorted = "SELECT GIFTSTORE_NAME FROM GIFTSTORE ORDER BY GIFTSTORE_NAME";

// The standard-event texts live in a member of their own, so that ddEventRS
// always stays a list of events with EVENT_ID and EVENT_NAME for the
// invitation and seating windows.
const QString kStdEventMember = "ddStdEventRS";

ViewDef taskBase(TaskFilter filter, const QString& where, const QString& title, int picture,
                 const QString& option)
{
    ViewDef v;
    v.key = taskMode(filter);
    v.mainMode = MainMode::Tasks;
    v.title = title;
    v.picture = picture;
    v.option = option;
    v.member = "TaskRS";
    v.sql = kTaskSelect + where + " ORDER BY TASK_DUEDATE";
    v.lookups = {
        lookup("ddPriorityRS", "Select PRIORITY_TEXT FROM PRIORITY", 2, "PRIORITY_TEXT"),
        lookup("ddAssigneeRS", "SELECT ASSIGNEE_TEXT FROM ASSIGNEE", 3, "ASSIGNEE_TEXT"),
        lookup(kStdEventMember, "SELECT STDEVENT_TEXT FROM STDEVENT", 4, "STDEVENT_TEXT"),
    };
    v.layout = 0;
    v.s1 = true;
    v.s2 = true;
    v.columns = {
        key(1, "TASK_ID"),
        col(2, "Done", 500),
        col(3, "Task", 3400),
        col(4, "Due Date", 1100),
        list(col(5, "Assignment", 1300), 3),
        list(col(6, "Priority", 1200), 2),
        list(col(7, "Event", 2000), 4),
    };
    v.refresh = true;
    v.currentRow1 = true;
    return v;
}

QVector<ViewDef> buildViews()
{
    QVector<ViewDef> all;

    {
        ViewDef v = taskBase(TaskFilter::Due, " WHERE Task_DueDate < ? AND TASK_COMPLETE = FALSE", "Tasks - Due", 11,
                             "optDueTasks");
        v.dueFilter = true;
        all << v;
    }
    all << taskBase(TaskFilter::Complete, " WHERE TASK_COMPLETE = TRUE", "Tasks - Complete", 8, "optCompleteTasks");
    all << taskBase(TaskFilter::Incomplete, " WHERE TASK_COMPLETE = FALSE", "Tasks - Incomplete", 9, "optIncompleteTasks");
    all << taskBase(TaskFilter::All, "", "Tasks - All", 10, "optAllTasks");

    {
        ViewDef v;
        v.key = DataMode::Events;
        v.mainMode = MainMode::Events;
        v.title = "Events Planned";
        v.member = "eventRS";
        v.sql = "SELECT EVENT.EVENT_ID, EVENT.EVENT_NAME AS [Name], EVENT.EVENT_STARTDATE AS [Date], "
                "EVENT.EVENT_LOCATION AS [Location], EVENT.EVENT_HASFOOD AS [Menu], EVENT.EVENT_HASMUSIC AS [Music], "
                "EVENT.EVENT_HASDECORATION AS [Decorate], EVENT.EVENT_HASPLAYSCRIPT AS [Script] FROM EVENT";
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "EVENT_ID"),       col(2, "Name", 2000),  col(3, "Date", 2000),
                     col(4, "Location", 1700), col(5, "Menu", 1000),  col(6, "Music", 1000),
                     col(7, "Decorate", 1000), col(8, "Script", 1000)};
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::RSVP;
        v.title = "RSVP Status";
        v.member = "chooseMenuRS";
        v.sql = "SELECT EVENT.EVENT_ID, EVENT.EVENT_NAME AS [Event], GUEST.GUEST_PARTYNAME AS [Party], "
                "SUBGUEST.SUBGUEST_FNAME AS [First], SUBGUEST.SUBGUEST_LNAME AS [Last], "
                "INVITE.INVITE_RSVP_TEXT AS [RSVP Status], INVITE.EVENT_FOOD AS [Food] "
                "FROM (GUEST INNER JOIN SUBGUEST ON GUEST.GUEST_ID = SUBGUEST.GUEST_ID) INNER JOIN "
                "(EVENT INNER JOIN INVITE ON EVENT.EVENT_ID = INVITE.EVENT_ID) ON SUBGUEST.SUBGUEST_ID = INVITE.SUBGUEST_ID";
        v.lookups = {lookup("ddRSVPStatusRS", "SELECT RSVP_TEXT FROM RSVP_STATUS", 2, "RSVP_TEXT")};
        v.layout = 0;
        v.s1 = false;
        v.s2 = true;
        ColumnDef event = col(2, "Event", 1500), party = col(3, "Party", 1800), first = col(4, "First", 1500);
        event.editType = party.editType = first.editType = 0;
        ColumnDef food = col(7, "Food", 1200);
        food.editType = 3;
        v.columns = {key(1, "EVENT_ID"), event, party, first, col(5, "Last", 1500),
                     list(col(6, "RSVP Status", 1200), 2), food};
        v.groupBy = 2;
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 0;
        v.raisesErrors = true;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Guests;
        v.title = "Guests";
        v.member = "PeopleRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT Guest.Guest_ID, SUBGUEST.SUBGUEST_ID, Guest_PartyName as [Party Name], SubGuest_Fname as [First], "
                "SubGuest_LName as [Last], SubGuest_Title as [Title], GUEST.GUEST_CATEGORY AS [Relationship] "
                "FROM (GUEST INNER JOIN SUBGUEST ON Guest.GUEST_ID = Subguest.Guest_ID) "
                "ORDER BY GUEST.GUEST_PARTYNAME, SUBGUEST.SUBGUEST_FNAME";
        v.lookups = {lookup("ddGuestTypeRS", "Select GUESTTYPE_TEXT FROM GUESTTYPE", 2, "GUESTTYPE_TEXT"),
                     lookup("ddTitleRS", "SELECT TITLE_TEXT FROM TITLES", 3, "TITLE_TEXT")};
        v.layout = 0;
        v.s1 = false;
        v.s2 = true;
        v.groupBy = 3;
        ColumnDef party = col(3, "Party Name", 3000);
        party.aggregate = 1;
        party.totalPrefix = "Guests: ";
        v.columns = {key(1, "GUEST_ID"),        key(2, "SUBGUEST_ID"),
                     party,                     col(4, "First", 1600),
                     col(5, "Last", 1500),      list(col(6, "Title", 800), 3),
                     list(col(7, "Relationship", 1300), 2)};
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 2;
        v.totalsProcedure = "SetGuestCountTotal";
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Addresses;
        v.title = "Guest Addresses";
        v.member = "PeopleRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT GUEST_ID, GUEST_PARTYNAME AS [Party Name], GUEST_ADDRESS1 AS [Address1], "
                "GUEST_ADDRESS2 AS [Address2], GUEST_CITY AS [City], GUEST_STATE AS [State], GUEST_ZIP AS [Zip], "
                "GUEST_PHONE1 AS [Phone] FROM GUEST";
        v.layout = 1;
        v.cardWidth = 3000;
        v.cardsAcross = 3;
        v.s1 = false;
        v.s2 = true;
        ColumnDef party = key(2, "Party Name");
        party.cardCaption = true;
        v.columns = {key(1, "GUEST_ID"),    party,
                     col(3, "Address1", 1700), col(4, "Address2", 1700),
                     col(5, "City", 1200),     col(6, "State", 600),
                     col(7, "Zip", 800),       col(8, "Phone", 1200)};
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 0;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Vendors;
        v.mainMode = MainMode::Vendors;
        v.title = "Vendors";
        v.picture = 46;
        v.member = "VendorRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT VENDOR.VENDOR_ID, VENDOR.VENDOR_NAME AS [Vendor], VENDOR.VENDOR_CONTACT AS [Contact], "
                "VENDOR.VENDOR_PHONE1 AS [Phone], VENDOR.VENDOR_EMAIL AS [EMail], VENDOR.VENDOR_TYPE AS [Type] FROM VENDOR";
        v.lookups = {lookup("ddVendorTypeRS", "SELECT VENDORTYPE_NAME FROM VENDORTYPE ORDER BY VENDORTYPE_NAME", 2,
                            "VENDORTYPE_NAME")};
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "VENDOR_ID"),   col(2, "Vendor", 2000), col(3, "Contact", 1600),
                     col(4, "Phone", 1400), col(5, "EMail", 1800),  list(col(6, "Type", 1500), 2)};
        v.refresh = true;
        v.currentRow1 = true;
        v.totalRow = 0;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Quotes;
        v.mainMode = MainMode::Quotes;
        v.title = "Quotes";
        v.picture = 51;
        v.member = "QuoteRS";
        v.sql = "SELECT QUOTE_ID, QUOTE_PRODUCT AS [Item], QUOTE_VENDOR AS [Vendor], QUOTE_EVENT AS [Event], "
                "QUOTE_DETAILS AS [Details], QUOTE_AMOUNT AS [Amount], QUOTE_DEPOSITAMT AS [Deposit], "
                "QUOTE_BALANCEDUE AS [Balance Due], QUOTE_NOTPROVIDED AS [Not Provided], "
                "QUOTE_DEPOSITDUE AS [Deposit Due], QUOTE_CANCELDATE AS [Cancel Date], "
                "QUOTE_PAYMENTDUE AS [Payment Due] FROM QUOTE";
        v.layout = 1;
        v.cardWidth = kGridWidth;
        v.cardsAcross = 1;
        ColumnDef item = col(2, "Item");
        item.cardCaption = true;
        v.columns = {key(1, "QUOTE_ID"),        item,
                     col(3, "Vendor"),          col(4, "Event"),
                     col(5, "Details"),         col(6, "Amount"),
                     col(7, "Deposit"),         col(8, "Balance Due"),
                     col(9, "Not Provided"),    col(10, "Deposit Due"),
                     col(11, "Cancel Date"),    col(12, "Payment Due")};
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Expenses;
        v.mainMode = MainMode::Expenses;
        v.title = "Expense Ledger";
        v.picture = 41;
        v.member = "ExpensesRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT EXPENSE_ID, EXPENSE_TEXT AS [Item Text], EXPENSE_VENDOR AS [Vendor], EXPENSE_EVENT AS [Event], "
                "EXPENSE_AMTPAID AS [Amt Paid], EXPENSE_AMTDUE AS [Amt Due], EXPENSE_DUEDATE AS [Due Date], "
                "EXPENSE_WHOPAYS AS [Who Pays] FROM EXPENSES";
        LookupDef events = lookup("ddEventRS", "SELECT EVENT_ID, EVENT_NAME FROM EVENT ORDER BY EVENT_NAME", 4,
                                  "EVENT_NAME");
        events.hiddenColumns = {1};
        v.lookups = {lookup("ddAssigneeRS", kAssigneeSorted, 3, "ASSIGNEE_TEXT"), events,
                     lookup("ddVendorRS", kVendorSorted, 2, "VENDOR_NAME")};
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.groupBy = 4;
        v.columns = {key(1, "EXPENSE_ID"),
                     col(2, "Item Text", 2200),
                     list(col(3, "Vendor", 1200), 2),
                     list(col(4, "Event", 1200), 4),
                     sum(currency(col(5, "Amt Paid", 1200))),
                     sum(currency(col(6, "Amt Due", 1200))),
                     col(7, "Due Date", 1400),
                     list(col(8, "Who Pays", 1200), 3)};
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 2;
        v.totalsProcedure = "SetExpenseTotals";
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Budget;
        v.mainMode = MainMode::Budget;
        v.title = "Budget";
        v.picture = 36;
        v.member = "BudgetRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT BUDGET_ID, BUDGET_NAME AS [Item Text], BUDGET_CATEGORY AS [Category], BUDGET_EVENT AS [Event], "
                "BUDGET_AMT AS [Amount], BUDGET_WHOPAYS AS [Who Pays] FROM BUDGET";
        v.lookups = {lookup("ddAssigneeRS", kAssigneeSorted, 3, "ASSIGNEE_TEXT"),
                     lookup("ddCategoryRS",
                            "SELECT BUDGETCATEGORY_TEXT FROM BUDGETCATEGORY ORDER BY BUDGETCATEGORY_TEXT", 4,
                            "BUDGETCATEGORY_TEXT"),
                     lookup(kStdEventMember, "SELECT STDEVENT_TEXT FROM STDEVENT ORDER BY STDEVENT_TEXT", 2,
                            "STDEVENT_TEXT")};
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.groupBy = 4;
        v.columns = {key(1, "BUDGET_ID"),
                     col(2, "Item Text", 2700),
                     list(col(3, "Category", 1500), 4),
                     list(col(4, "Event", 1500), 2),
                     sum(currency(col(5, "Amount", 1200))),
                     list(col(6, "Who Pays", 1500), 3)};
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 2;
        v.totalsProcedure = "SetBudgetTotals";
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Attire;
        v.mainMode = MainMode::Attire;
        v.title = "Attire";
        v.picture = 58;
        v.member = "AttireRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT ATTIRE_ID, ATTIRE_ASSIGNEE AS [Wearing Person], ATTIRE_ITEM AS [Item], ATTIRE_TYPE AS [Type], "
                "ATTIRE_VENDOR AS [Vendor], ATTIRE_COST AS [Cost] FROM ATTIRE";
        v.lookups = {lookup("ddAssigneeRS", kAssigneeSorted, 2, "ASSIGNEE_TEXT"),
                     lookup("ddVendorRS", kVendorSorted, 3, "VENDOR_NAME"),
                     lookup("ddAttireTypeRS", "SELECT ATTIRETYPE_NAME FROM ATTIRE_TYPE ORDER BY ATTIRETYPE_NAME", 4,
                            "ATTIRETYPE_NAME")};
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "ATTIRE_ID"),
                     list(col(2, "Wearing Person", 2200), 2),
                     col(3, "Item", 2400),
                     list(col(4, "Type", 2000), 4),
                     list(col(5, "Vendor", 2000), 3),
                     currency(col(6, "Cost", 1200))};
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 0;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Gifts;
        v.mainMode = MainMode::Gifts;
        v.title = "Gifts Received";
        v.picture = 68;
        v.member = "GiftRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT GIFT_ID, GIFT_NAME AS [Gift Name], GIFT_STORE AS [Store], GIFT_VALUE AS [Value], "
                "GIFT_WHOFROM AS [Who From], GIFT_THANKYOUSENT AS [Sent Thankyou] FROM GIFT";
        v.lookups = {lookup("ddStoreRS", kStoreSorted, 3, "GIFTSTORE_NAME")};
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "GIFT_ID"),
                     col(2, "Gift Name", 2600),
                     list(col(3, "Store", 2200), 3),
                     currency(col(4, "Value", 1200)),
                     col(5, "Who From", 2000),
                     col(6, "Sent Thankyou", 1200)};
        v.refresh = true;
        v.currentRow1 = true;
        v.redraw = true;
        v.totalRow = 0;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::Registry;
        v.mainMode = MainMode::Registry;
        v.title = "Gift Registry";
        v.picture = 73;
        v.member = "RegistryRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT REGISTRY_ID, REGISTRY_TEXT AS [Gift Name], REGISTRY_CATEGORY as [Category], "
                "REGISTRY_STORE AS [Store], REGISTRY_MODEL AS [Model], REGISTRY_COST AS [Value] FROM REGISTRY";
        v.lookups = {lookup("ddStoreRS", kStoreSorted, 3, "GIFTSTORE_NAME"),
                     lookup("ddCategoryRS", "SELECT GIFT_CAT_TEXT FROM GIFT_CATEGORY ORDER BY GIFT_CAT_TEXT", 2,
                            "GIFT_CAT_TEXT")};
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "REGISTRY_ID"),
                     col(2, "Gift Name", 2500),
                     list(col(3, "Category", 1500), 2),
                     list(col(4, "Store", 1500), 3),
                     col(5, "Model", 2000),
                     currency(col(6, "Value", 1200))};
        v.currentRow1 = true;
        v.totalRow = 0;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::FemaleMeasurement;
        v.mainMode = MainMode::Measure;
        v.title = "Female Measurements";
        v.picture = 56;
        v.member = "MeasurementRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT MEASURE_FEMALE_ID, MEASURE_FEMALE_NAME as [Name], MEASURE_FEMALE_HEIGHT as [Height], "
                "MEASURE_FEMALE_WAIST as [Waist], MEASURE_FEMALE_BUST as [Bust], MEASURE_FEMALE_DRESS as [Dress], "
                "MEASURE_FEMALE_HEAD as [Head/Hat], MEASURE_FEMALE_SHOE as [Shoe], MEASURE_FEMALE_GLOVE as [Glove], "
                "MEASURE_FEMALE_SLIP as [Slip], MEASURE_FEMALE_HOSE as [Hose] FROM MEASURE_FEMALE";
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "MEASURE_FEMALE_ID"), col(2, "Name", 2300),      col(3, "Height", 800),
                     col(4, "Waist", 800),        col(5, "Bust", 800),       col(6, "Dress", 800),
                     col(7, "Head/Hat", 1000),    col(8, "Shoe", 800),       col(9, "Glove", 800),
                     col(10, "Slip", 800),        col(11, "Hose", 800)};
        v.currentRow1 = true;
        v.totalRow = 0;
        all << v;
    }
    {
        ViewDef v;
        v.key = DataMode::MaleMeasurement;
        v.mainMode = MainMode::Measure;
        v.title = "Male Measurements";
        v.picture = 63;
        v.member = "MeasurementRS";
        v.lock = ado::adLockPessimistic;
        v.sql = "SELECT MEASURE_MALE_ID, MEASURE_MALE_NAME as [Name], MEASURE_MALE_HEIGHT as [Height], "
                "MEASURE_MALE_WAIST as [Waist], MEASURE_MALE_CHEST as [Chest], MEASURE_MALE_COAT as [Coat], "
                "MEASURE_MALE_PANTWAIST as [Pant], MEASURE_MALE_PANTINSEAM as [Inseam], MEASURE_MALE_COLLAR as [Collar], "
                "MEASURE_MALE_SLEEVE as [Sleeve], MEASURE_MALE_SHOE as [Shoe], MEASURE_MALE_HAT as [Hat] FROM MEASURE_MALE";
        v.layout = 0;
        v.s1 = true;
        v.s2 = true;
        v.columns = {key(1, "MEASURE_MALE_ID"), col(2, "Name", 2300),   col(3, "Height", 800),
                     col(4, "Waist", 800),      col(5, "Chest", 800),   col(6, "Coat", 600),
                     col(7, "Pant", 650),       col(8, "Inseam", 800),  col(9, "Collar", 700),
                     col(10, "Sleeve", 800),    col(11, "Shoe", 800),   col(12, "Hat", 700)};
        v.currentRow1 = true;
        v.totalRow = 0;
        all << v;
    }
    return all;
}

}  // namespace

const ColumnDef* ViewDef::column(int number) const
{
    for (const ColumnDef& c : columns)
        if (c.number == number)
            return &c;
    return nullptr;
}

QVector<int> ViewDef::hiddenColumns() const
{
    QVector<int> out;
    for (const ColumnDef& c : columns)
        if (c.hidden)
            out << c.number;
    return out;
}

QStringList ViewDef::captions() const
{
    QStringList out;
    for (const ColumnDef& c : columns)
        out << c.caption;
    return out;
}

const QVector<ViewDef>& allViews()
{
    static const QVector<ViewDef> views = buildViews();
    return views;
}

const ViewDef* viewDef(DataMode key)
{
    for (const ViewDef& v : allViews())
        if (v.key == key)
            return &v;
    return nullptr;
}

ViewDef taskView(TaskFilter whichTasks)
{
    return *viewDef(taskMode(whichTasks));
}

ado::Params viewParams(const ViewDef& def, const QDateTime& enddate)
{
    if (!def.dueFilter)
        return {};
    return {ado::convert::isoDate(enddate.date().addDays(1))};
}

}  // namespace views
