#pragma once
// Rows in every table a view reads, on the shared connection.

#include "records/modQVDatabase.h"

#include <QDateTime>

namespace viewdata {

inline void exec(const QString& sql, const ado::Params& p = {}) { modQVDatabase::gConn.Execute(sql, p); }

inline void seedEveryTable()
{
    exec("DELETE FROM EVENT");
    exec("INSERT INTO EVENT (EVENT_ID, EVENT_NAME, EVENT_STARTDATE, EVENT_LOCATION, EVENT_HASFOOD) VALUES "
         "(901, 'Wedding', '2027-06-12 15:00:00', 'St Mary', 1), (902, 'Rehearsal', '2027-06-11 18:00:00', 'Hall', 0)");
    exec("INSERT INTO GUEST (GUEST_ID, GUEST_PARTYNAME, GUEST_ADDRESS1, GUEST_CITY, GUEST_CATEGORY) VALUES "
         "(1, 'Smith Family', '1 Elm St', 'Springfield', 'Family'), (2, 'Jones', '2 Oak Ave', 'Shelbyville', 'Friend'),"
         "(3, 'Nobody Yet', '3 Pine Rd', 'Ogdenville', 'Friend')");
    exec("INSERT INTO SUBGUEST (SUBGUEST_ID, GUEST_ID, SUBGUEST_FNAME, SUBGUEST_LNAME, SUBGUEST_TITLE) VALUES "
         "(11, 1, 'Anna', 'Smith', 'Mrs.'), (12, 1, 'Bob', 'Smith', 'Mr.'), (13, 1, 'Cara', 'Smith', 'Miss'),"
         "(21, 2, 'Dan', 'Jones', 'Mr.')");
    exec("INSERT INTO INVITE (INVITE_ID, EVENT_ID, SUBGUEST_ID, INVITE_RSVP_TEXT, EVENT_FOOD) VALUES "
         "(1, 901, 11, 'Attending', 'Fish'), (2, 901, 21, 'Not Attending', ''), (3, 902, 12, 'Attending', '')");
    exec("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE, TASK_COMPLETE, TASK_ASSIGN) VALUES "
         "(1, 'Book the hall', '2027-01-10 00:00:00', 0, 'Bride')");
    exec("INSERT INTO VENDOR (VENDOR_ID, VENDOR_NAME, VENDOR_CONTACT, VENDOR_TYPE) VALUES (1, 'Bloom', 'Ivy', 'Florist')");
    exec("INSERT INTO QUOTE (QUOTE_ID, QUOTE_PRODUCT, QUOTE_VENDOR, QUOTE_AMOUNT) VALUES (1, 'Bouquets', 'Bloom', '450')");
    exec("INSERT INTO EXPENSES (EXPENSE_ID, EXPENSE_TEXT, EXPENSE_EVENT, EXPENSE_AMTPAID, EXPENSE_AMTDUE) VALUES "
         "(1, 'Flowers', 'Wedding', 100.25, 50), (2, 'Cake', 'Wedding', NULL, 20.5), (3, 'Drinks', 'Rehearsal', 30, 0)");
    exec("INSERT INTO BUDGET (BUDGET_ID, BUDGET_NAME, BUDGET_EVENT, BUDGET_AMT) VALUES "
         "(1, 'Flowers', 'Ceremony', 500), (2, 'Band', 'Reception', 1250.5)");
    exec("INSERT INTO ATTIRE (ATTIRE_ID, ATTIRE_ITEM, ATTIRE_ASSIGNEE, ATTIRE_COST) VALUES (1, 'Veil', 'Bride', 80)");
    exec("INSERT INTO GIFT (GIFT_ID, GIFT_NAME, GIFT_VALUE, GIFT_THANKYOUSENT) VALUES (1, 'Toaster', 35, 1)");
    exec("INSERT INTO REGISTRY (REGISTRY_ID, REGISTRY_TEXT, REGISTRY_COST) VALUES (1, 'Blender', 60)");
    exec("INSERT INTO MEASURE_FEMALE (MEASURE_FEMALE_ID, MEASURE_FEMALE_NAME) VALUES (1, 'Anna')");
    exec("INSERT INTO MEASURE_MALE (MEASURE_MALE_ID, MEASURE_MALE_NAME) VALUES (1, 'Bob')");
}

// Tasks around a day D = 2027-03-15: keys 1..6.
inline QDateTime dayD() { return ado::convert::wallClock(QDate(2027, 3, 15), QTime(9, 0)); }

inline void seedTaskMatrix()
{
    exec("DELETE FROM TASKS");
    exec("INSERT INTO TASKS (TASK_ID, TASK_NAME, TASK_DUEDATE, TASK_COMPLETE) VALUES "
         "(1, 'overdue', '2027-03-01 10:00:00', 0),"
         "(2, 'due at midnight', '2027-03-15 00:00:00', 0),"
         "(3, 'due in the afternoon', '2027-03-15 14:30:00', 0),"
         "(4, 'due next day', '2027-03-16 00:00:00', 0),"
         "(5, 'complete and old', '2027-01-01 00:00:00', 1),"
         "(6, 'complete and later', '2027-04-01 00:00:00', 1)");
}

}  // namespace viewdata
