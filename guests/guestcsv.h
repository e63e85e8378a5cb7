#pragma once
// The guest list to and from CSV files, without the windows: the guest
// fields a source column can be linked to, the import of linked records as
// parties with one person each, the merge of parties of equal name, and the
// export of a query to a file.

#include "platform/csv/csv.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

namespace guestimport {

constexpr int kFieldCount = 12;

struct GuestField {
    const char* name;    // as the guest-field list shows it
    const char* column;  // the GUEST column it is stored in
};

// Field i (1 to 12) is fields()[i - 1].
const std::array<GuestField, kFieldCount>& fields();

// A value as it is shown and stored: without control codes, without blanks
// or no-break spaces at either end, and in composed form (NFC), so that
// names that look alike are equal. One line: tabs and line breaks become
// blanks, as in a name.
QString cleanText(const QString& value, bool oneLine = false);

// Whether a line looks like the names of columns: one of them holds " name"
// or "phone", as "First Name" and "Home Phone" do in most address books.
bool looksLikeHeader(const QStringList& line);

// The lines above the header of a file that a spreadsheet gave a title
// ("Wedding guest list 2027,,"): lines of at most one value, followed by one
// that looks like a header. 0 when the first line is not such a title.
int titleLines(const csv::Table& source);

// For guest field i (1 to 12), the 1-based source column linked to it; 0
// when none. Entry 0 is unused.
using LinkMap = std::array<int, kFieldCount + 1>;

// Told how many records are stored so far; false when the user stops the
// import, which then throws Cancelled.
using Progress = std::function<bool(int stored)>;
// Thrown through the caller's transaction, so nothing of the import stays.
struct Cancelled {};

// The parties an import adds: one for each party name neither in the guest
// list nor earlier in the file, and one for each record without a name.
qint64 newParties(const csv::Table& source, bool hasHeader, const LinkMap& links);

// One person per record of the source, and one more from the first line
// when it is not a header, each in a party of its name: the oldest of that
// name in the guest list or one it adds (every record without a name one
// of its own); each logged as added. Returns the number of people. Throws
// ado::Error; the caller holds the transaction.
int addParties(const csv::Table& source, bool hasHeader, const LinkMap& links, const Progress& progress = {});

// Folds parties of exactly equal, non-empty name into the one of lowest key,
// moving their people over; every moved person and removed party is logged.
// `keepGoing` is asked now and then; false throws Cancelled. Throws ado::Error.
void mergeDuplicateParties(const std::function<bool()>& keepGoing = {});

}  // namespace guestimport

namespace guestexport {

struct Result {
    bool ok = false;
    int rows = 0;
    QString error;
};

// Writes the rows of a query to a CSV file: a header of its column titles,
// then one line per row, each value with its leading and trailing blanks
// removed. The file replaces an earlier one only when written whole.
Result writeQuery(const QString& sql, const QString& path);

}  // namespace guestexport
