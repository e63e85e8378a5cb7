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
void OpenConnection();
void LoadSettings();

}  // namespace modQVDatabase
