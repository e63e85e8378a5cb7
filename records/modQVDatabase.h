#pragma once
// The data store every window shares: the one database connection, where
// the program's files and the user's data lie, and the two start-up
// settings. The program's start (app/startup.h) opens it before it
// shows the main window.

#include "platform/ado/ado.h"

#include <QString>
#include <QStringList>

namespace modQVDatabase {

extern ado::Connection gConn;
extern QString gShowTips;
extern QString gShowWizard;
extern bool gDataFileFound;

// Where things are. Every path of the program is built from one of these two:
// - programFolder(): the program's own files (the template, the help page).
//   The executable's folder, or, for an installed program, its
//   share/nuptaro folder beside bin/.
// - dataFolder(): the user's data (the working database, replicas and their
//   safety copies, gift pictures): the user's data folder
//   (QStandardPaths::AppDataLocation, ~/.local/share/Nuptaro).
// useFolder(DIR) (the --folder option) puts both in DIR; "" returns to the
// defaults.
QString programFolder();
QString dataFolder();
void useFolder(const QString& folder);
// A folder followed directly by a relative path such as "/data/qvnt03.qvd".
QString programFile(const QString& relative);
QString dataFile(const QString& relative);
// The older name of useFolder.
inline void setAppPath(const QString& folder) { useFolder(folder); }
// The folder named by --folder DIR or --folder=DIR among the arguments, "" when none.
QString folderArgument(const QStringList& arguments);

inline const char* kWorkingFile = "/data/qvnt03.qvd";   // in the data folder
inline const char* kLockFile = "/data/qvnt03.qvd.lock"; // in the data folder
inline const char* kTemplateFile = "/data/qvnt04.qvd";  // in the program folder
inline const char* kOldFolder = "/db";                  // in the program folder
inline const char* kAppName = "Nuptaro";

// The tables every working database and template must hold.
const QStringList& requiredTables();

// Locates the data file, opens the connection, reads the settings. Returns
// false when start-up must end; it has shown its message then. The wedding
// is taken first (LockDataFolder): a second program on the same data file
// says so and ends here.
bool Startup();
// Takes the wedding's data file for this program until ReleaseDataFolder,
// the next start-up or the end of the run, by a lock file beside it (beside
// the file a link names: lockFile). False when start-up must end, its
// message shown: another program on this computer holds it, or the lock
// names another computer and the user does not open the wedding here. A
// lock no program here holds (empty, or of a program that is gone) is taken
// over. Where no lock can be made (a read-only folder) it goes on without
// one, and the start-up says what is wrong with the folder.
bool LockDataFolder();
QString lockFile();
void ReleaseDataFolder();

void LocateDataFile();
// Opens the working database and brings it up to date (UpgradeDatabase).
void OpenConnection();
void LoadSettings();

// Brings a database made by an earlier build up to this one's schema one
// version at a time (records/upgrade.h), each step a transaction; makes again
// any table, index or column of the present schema it lacks, and draws a copy
// number when it has none. Writes nothing when nothing is missing. A file of
// a later version is refused, naming both versions, and left unchanged.
void UpgradeDatabase(ado::Connection& c);

// A copy number drawn at random for a new working database, from the whole
// range, so two copies made apart practically never share one.
int drawCopyNumber();

// Removes the folder `name` that lies directly inside `parent`, with all its
// contents, read-only ones included. Links are never followed: a link is
// removed as a link, and nothing outside the folder is touched. A plain file
// of that name is left alone. Throws ado::Error when something could not be
// removed.
void removeFolderInside(const QString& parent, const QString& name);

}  // namespace modQVDatabase
