#pragma once
// What a user sees of every view on the seeded database, written down
// independently of the view definitions, and a check of a grid against it.

#include "platform/grid/gridex.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace viewtable {

struct Expected {
    QString key;        // curDataMode
    QString mainMode;   // "" where the view leaves it
    QString title;
    int picture;        // 0 where the view sets none
    // Visible columns "Caption:width[:edit type[>list grid]][:Currency]", in order.
    QStringList columns;
    QVector<int> hidden;
    int groupBy;
    int records;
    QString layout;     // "rows" or "cards"
    QStringList totals;  // "column=text" of the total row; empty: no total row
};

inline const QVector<Expected>& expected()
{
    static const QVector<Expected> all = {
        {"AllTasks", "Tasks", "Tasks - All", 10,
         {"Done:500", "Task:3400", "Due Date:1100", "Assignment:1300:5>3", "Priority:1200:5>2", "Event:2000:5>4"},
         {1}, 0, 1, "rows", {}},
        {"Events", "Events", "Events Planned", 0,
         {"Name:2000", "Date:2000", "Location:1700", "Menu:1000", "Music:1000", "Decorate:1000", "Script:1000"},
         {1}, 0, 2, "rows", {}},
        {"RSVP", "", "RSVP Status", 0,
         {"Event:1500:0", "Party:1800:0", "First:1500:0", "Last:1500", "RSVP Status:1200:5>2", "Food:1200:3"},
         {1}, 2, 3, "rows", {}},
        {"Guests", "", "Guests", 0,
         {"Party Name:3000", "First:1600", "Last:1500", "Title:800:5>3", "Relationship:1300:5>2"},
         {1, 2}, 3, 4, "rows", {"3=Guests: 4"}},
        {"Addresses", "", "Guest Addresses", 0,
         {"Address1:1700", "Address2:1700", "City:1200", "State:600", "Zip:800", "Phone:1200"},
         {1, 2}, 0, 3, "cards", {}},
        {"Vendors", "Vendors", "Vendors", 46,
         {"Vendor:2000", "Contact:1600", "Phone:1400", "EMail:1800", "Type:1500:5>2"}, {1}, 0, 1, "rows", {}},
        {"Quotes", "Quotes", "Quotes", 51,
         {"Item", "Vendor", "Event", "Details", "Amount", "Deposit", "Balance Due", "Not Provided", "Deposit Due",
          "Cancel Date", "Payment Due"},
         {1}, 0, 1, "cards", {}},
        {"Expenses", "Expenses", "Expense Ledger", 41,
         {"Item Text:2200", "Vendor:1200:5>2", "Event:1200:5>4", "Amt Paid:1200:Currency", "Amt Due:1200:Currency",
          "Due Date:1400", "Who Pays:1200:5>3"},
         {1}, 4, 3, "rows", {"5=$130.25", "6=$70.50"}},
        {"Budget", "Budget", "Budget", 36,
         {"Item Text:2700", "Category:1500:5>4", "Event:1500:5>2", "Amount:1200:Currency", "Who Pays:1500:5>3"},
         {1}, 4, 2, "rows", {"5=$1,750.50"}},
        {"Attire", "Attire", "Attire", 58,
         {"Wearing Person:2200:5>2", "Item:2400", "Type:2000:5>4", "Vendor:2000:5>3", "Cost:1200:Currency"},
         {1}, 0, 1, "rows", {}},
        {"Gifts", "Gifts", "Gifts Received", 68,
         {"Gift Name:2600", "Store:2200:5>3", "Value:1200:Currency", "Who From:2000", "Sent Thankyou:1200"},
         {1}, 0, 1, "rows", {}},
        {"Registry", "Registry", "Gift Registry", 73,
         {"Gift Name:2500", "Category:1500:5>2", "Store:1500:5>3", "Model:2000", "Value:1200:Currency"},
         {1}, 0, 1, "rows", {}},
        {"FemaleMeasurement", "Measure", "Female Measurements", 56,
         {"Name:2300", "Height:800", "Waist:800", "Bust:800", "Dress:800", "Head/Hat:1000", "Shoe:800", "Glove:800",
          "Slip:800", "Hose:800"},
         {1}, 0, 1, "rows", {}},
        {"MaleMeasurement", "Measure", "Male Measurements", 63,
         {"Name:2300", "Height:800", "Waist:800", "Chest:800", "Coat:600", "Pant:650", "Inseam:800", "Collar:700",
          "Sleeve:800", "Shoe:800", "Hat:700"},
         {1}, 0, 1, "rows", {}},
    };
    return all;
}

// Checks the shaped grid; lists[n] is the lookup grid GridEXn.
inline void checkGrid(const Expected& e, const grid::GridEX& g, grid::GridEX* const lists[5])
{
    ASSERT_NE(g.recordset(), nullptr);
    EXPECT_EQ(g.recordset()->RecordCount(), e.records);
    EXPECT_EQ(g.gridLayout(), e.layout == "cards" ? grid::Layout::Cards : grid::Layout::Rows);
    EXPECT_EQ(g.groupColumn(), e.groupBy);
    QVector<int> visible;
    for (int c = 1; c <= g.columnCount(); ++c) {
        EXPECT_EQ(g.isColumnHidden(c), e.hidden.contains(c)) << "column " << c;
        if (!g.isColumnHidden(c))
            visible << c;
    }
    ASSERT_EQ(visible.size(), e.columns.size());
    for (int i = 0; i < visible.size(); ++i) {
        const int c = visible[i];
        const QStringList parts = e.columns[i].split(':');
        SCOPED_TRACE(e.columns[i].toStdString());
        EXPECT_EQ(g.columnCaption(c), parts[0]);
        int editType = -1, list = 0;
        QString format;
        for (int p = 1; p < parts.size(); ++p) {
            if (parts[p] == "Currency")
                format = parts[p];
            else if (p == 1)
                EXPECT_EQ(g.columnWidth(c), parts[p].toInt());
            else {
                editType = parts[p].section('>', 0, 0).toInt();
                list = parts[p].section('>', 1).toInt();
            }
        }
        EXPECT_EQ(g.columnFormat(c), format);
        if (editType >= 0)
            EXPECT_EQ(g.columnEditType(c), editType);
        else
            EXPECT_TRUE(g.columnEditType(c) != 0 && g.columnEditType(c) != 3 && g.columnEditType(c) != 5);
        EXPECT_EQ(g.columnDropDown(c), list ? lists[list] : nullptr);
    }
    if (e.totals.isEmpty()) {
        EXPECT_EQ(g.totalRow(), 0);
    } else {
        EXPECT_EQ(g.totalRow(), 2);
        for (const QString& t : e.totals) {
            const int c = t.section('=', 0, 0).toInt();
            EXPECT_EQ(g.totalText(c), t.section('=', 1)) << "total of column " << c;
        }
    }
}

}  // namespace viewtable
