#pragma once
// A wedding folder as a user fills it: hundreds of guests and invitations,
// tasks over a year, expenses over the events, vendors, quotes, gifts,
// attire, measurements and a busy day of appointments. Texts are as long as
// real ones get, so that cut-off texts show.

#include "records/modQVDatabase.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

namespace folderdata {

inline void exec(const QString& sql, const ado::Params& p = {}) { modQVDatabase::gConn.Execute(sql, p); }

// `count` rows of a table, the values of row i from `values(i)`.
inline void insert(const QString& table, const QString& columns, int count, ado::Params (*values)(int))
{
    const QString marks = QStringList(columns.count(QChar(',')) + 1, QStringLiteral("?")).join(", ");
    for (int i = 0; i < count; ++i)
        exec(QString("INSERT INTO %1 (%2) VALUES (%3)").arg(table, columns, marks), values(i));
}

inline const QStringList& events()
{
    static const QStringList e = {"Bachelor Party", "Bridal Shower", "Ceremony", "Honeymoon", "Reception",
                                  "Rehearsal Dinner"};
    return e;
}

// The busy day of the appointments.
inline QDate busyDay() { return QDate(2026, 10, 10); }

struct Counts {
    int guests = 300;
    int tasks = 70;
    int expenses = 40;
};

inline void fill(const Counts& n = Counts())
{
    auto& db = modQVDatabase::gConn;
    db.BeginTrans();
    exec("DELETE FROM EVENT");
    for (int i = 0; i < events().size(); ++i)
        exec("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE, EVENT_LOCATION, EVENT_HASFOOD, "
             "EVENT_HASMUSIC) VALUES (?, ?, ?, ?, 1, ?)",
             {900 + i, events()[i], QString("2026-10-%1 15:30:00").arg(4 + i, 2, 10, QChar('0')),
              QStringList{"Lakeside Pavilion", "St. Catherine's Church", "The Grand Ballroom"}[i % 3], i % 2});

    static const QStringList last = {"Abernathy", "Castellano", "Fitzgerald", "Montgomery", "Oyelaran",
                                     "Richardson", "Vanderbilt", "Whitfield", "Nakamura", "Lindqvist"};
    static const QStringList first = {"Alexandra", "Benjamin", "Catherine", "Dominic", "Elizabeth",
                                      "Frederick", "Genevieve", "Harrison", "Isabella", "Jonathan"};
    static const QStringList streets = {"1234 Magnolia Boulevard", "87 West Chesterfield Avenue",
                                        "4512 Old Mill Creek Road", "9 Harbor View Terrace"};
    int person = 0;
    for (int party = 1; person < n.guests; ++party) {
        const QString lastName = last[party % last.size()];
        const QString partyName = QString("The %1 Family %2").arg(lastName).arg(party);
        exec("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_ADDRESS2, GUEST_CITY, GUEST_STATE, "
             "GUEST_ZIP, GUEST_PHONE1, GUEST_CATEGORY) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
             {party, partyName, streets[party % streets.size()], party % 3 ? "Apartment 12B" : "",
              "San Francisco", "CA", "94110-2231", "(415) 555-0199",
              QStringList{"Friend of the Bride", "Family of the Groom", "Co-worker of the Bride"}[party % 3]});
        const int size = 1 + party % 4;
        for (int k = 0; k < size && person < n.guests; ++k, ++person) {
            const int sub = 1000 + person;
            exec("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) "
                 "VALUES (?, ?, ?, ?, ?)",
                 {sub, party, first[(party + k) % first.size()], lastName, k ? "Ms." : "Mr."});
            for (int e = 0; e < 2; ++e)
                exec("INSERT INTO INVITE (EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT, EVENT_FOOD) VALUES (?, ?, ?, ?)",
                     {902 + e * 2, sub, person % 3 ? "Attending" : "Not Attending", e ? "Grilled Salmon" : ""});
        }
    }

    for (int i = 0; i < n.tasks; ++i)
        exec("INSERT INTO TASKS (TASK_NAME, TASK_DUEDATE, TASK_ASSIGN, TASK_PRIORITY, TASK_EVENT, TASK_COMPLETE) "
             "VALUES (?, ?, ?, ?, ?, ?)",
             {QString(i % 3 ? "Confirm the final details with vendor %1"
                             : "Confirm the final menu, seating chart and delivery times with vendor %1")
                     .arg(i + 1),
              QDateTime(QDate(2025, 12, 1).addDays(i * 5), QTime(0, 0)).toString("yyyy-MM-dd HH:mm:ss"),
              QStringList{"Bride", "Groom", "Maid of Honor", "Mother of the Bride"}[i % 4],
              QStringList{"High", "Medium", "Low"}[i % 3], events()[i % events().size()], i % 4 == 0});

    insert("EXPENSES", "EXPENSE_TEXT, EXPENSE_VENDOR, EXPENSE_EVENT, EXPENSE_AMTPAID, EXPENSE_AMTDUE, EXPENSE_DUEDATE, "
           "EXPENSE_WHOPAYS", n.expenses, [](int i) -> ado::Params {
               return {QString("Deposit for arrangements %1").arg(i + 1), QString("Vendor %1").arg(i % 12),
                       events()[i % 4 + 1], 1250.5 * (i % 7 + 1), 12345.67,
                       QString("2026-09-%1 00:00:00").arg(10 + i % 18), i % 2 ? "Bride's Parents" : "Groom"};
           });
    insert("BUDGET", "BUDGET_NAME, BUDGET_CATEGORY, BUDGET_EVENT, BUDGET_AMT, BUDGET_WHOPAYS", 45,
           [](int i) -> ado::Params {
               return {QString("Budget line for item %1").arg(i + 1), QStringList{"Flowers", "Music", "Attire"}[i % 3],
                       events()[i % events().size()], 1000 + 17.25 * i, "Bride's Parents"};
           });
    insert("VENDOR", "VENDOR_NAME, VENDOR_CONTACT, VENDOR_PHONE1, VENDOR_EMAIL, VENDOR_TYPE", 25,
           [](int i) -> ado::Params {
               return {QString("Vendor %1 Enterprises").arg(i), "Margaret Thompson", "(415) 555-0100",
                       QString("reservations.team%1@lakeside-pavilion-weddings.com").arg(i), "Florist"};
           });
    insert("QUOTE", "QUOTE_PRODUCT, QUOTE_VENDOR, QUOTE_EVENT, QUOTE_DETAILS, QUOTE_AMOUNT, QUOTE_DEPOSITAMT, "
           "QUOTE_PAYMENTDUE", 12, [](int i) -> ado::Params {
               return {QString("Floral arrangements package %1").arg(i), QString("Vendor %1 Enterprises").arg(i),
                       "Reception", "Centerpieces for every table, bridal bouquet", "4500", "500",
                       "2026-08-01 00:00:00"};
           });
    insert("ATTIRE", "ATTIRE_ITEM, ATTIRE_VENDOR, ATTIRE_ASSIGNEE, ATTIRE_TYPE, ATTIRE_COST", 15,
           [](int i) -> ado::Params {
               return {QString("Ivory silk gown %1").arg(i), "Vendor 3 Enterprises", "Maid of Honor", "Dress", 1899.99};
           });
    insert("GIFT", "GIFT_NAME, GIFT_STORE, GIFT_VALUE, GIFT_WHOFROM, GIFT_THANKYOUSENT", 30, [](int i) -> ado::Params {
        return {QString("Crystal champagne flutes %1").arg(i), "Williams-Sonoma", 129.95, "The Abernathy Family", i % 2};
    });
    insert("REGISTRY", "REGISTRY_TEXT, REGISTRY_CATEGORY, REGISTRY_STORE, REGISTRY_MODEL, REGISTRY_COST", 30,
           [](int i) -> ado::Params {
               return {QString("Stand mixer %1").arg(i), "Kitchen", "Williams-Sonoma", "KSM150PS", 449.99};
           });
    insert("MEASURE_FEMALE", "MEASURE_FEMALE_NAME, MEASURE_FEMALE_HEIGHT, MEASURE_FEMALE_WAIST, MEASURE_FEMALE_HEAD", 8,
           [](int i) -> ado::Params { return {QString("Alexandra Montgomery %1").arg(i), "5 ft 6 in", "27 in", "22 in"}; });
    insert("MEASURE_MALE", "MEASURE_MALE_NAME, MEASURE_MALE_HEIGHT, MEASURE_MALE_COAT, MEASURE_MALE_COLLAR", 8,
           [](int i) -> ado::Params { return {QString("Benjamin Richardson %1").arg(i), "6 ft 1 in", "42 L", "16.5"}; });

    // The busy day: early and late entries, one over the whole day and one
    // that began the day before.
    const QString day = busyDay().toString("yyyy-MM-dd");
    const QString prev = busyDay().addDays(-1).toString("yyyy-MM-dd");
    const QString next = busyDay().addDays(1).toString("yyyy-MM-dd");
    const std::tuple<const char*, QString, QString> appts[] = {
        {"Hair and make-up", day + " 05:00:00", day + " 06:30:00"},
        {"Photographer arrives", day + " 09:30:00", day + " 10:45:00"},
        {"Ceremony at St. Catherine's", day + " 15:00:00", day + " 16:00:00"},
        {"Late party", day + " 22:30:00", day + " 23:45:00"},
        {"Family visiting all weekend", prev + " 12:00:00", next + " 12:00:00"},
        {"Wedding day", day + " 00:00:00", next + " 00:00:00"},
    };
    for (const auto& [text, start, end] : appts)
        exec("INSERT INTO APPOINTMENT (APPOINTMENT_TEXT, APPOINTMENT_START, APPOINTMENT_END) VALUES (?, ?, ?)",
             {text, start, end});
    db.CommitTrans();
}

}  // namespace folderdata
