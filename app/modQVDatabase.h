#pragma once
// Start-up and the state every window shares from it: the one database
// connection and the two start-up settings.

#include "platform/ado/ado.h"

#include <QString>

namespace modQVDatabase {

extern ado::Connection gConn;
extern QString gShowTips;
extern QString gShowWizard;
extern bool gDataFileFound;

// The program's folder (where the executable lies, or --folder).
QString appPath();
void setAppPath(const QString& folder);
// The program's folder followed directly by a relative path such as "/data/qvnt03.qvd".
QString pathIn(const QString& relative);

inline const char* kWorkingFile = "/data/qvnt03.qvd";
inline const char* kTemplateFile = "/data/qvnt04.qvd";
inline const char* kOldFolder = "/db";
inline const char* kAppName = "Nuptaro";

// Locates the data file, opens the connection, reads the settings. Returns
// false when start-up must end; it has shown its message then.
bool Startup();
// Start-up, then the main window; returns the program's exit code.
int Main();

void LocateDataFile();
// Opens the working database and brings it up to date (UpgradeDatabase).
void OpenConnection();
void LoadSettings();

// Makes a database made by an earlier build whole for this one: the tables
// and indexes of the present schema it lacks, with what they start from, and
// a copy number when it has none. Writes nothing when nothing is missing.
// Every later change of the schema goes here too, so a file opened at
// start-up is always complete.
void UpgradeDatabase(ado::Connection& c);

// A copy number drawn at random for a new working database, from the whole
// range, so two copies made apart practically never share one.
int drawCopyNumber();

}  // namespace modQVDatabase
