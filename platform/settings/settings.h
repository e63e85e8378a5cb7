#pragma once
// The per-user settings store, addressed by application, section and key.
// A missing value reads as "".

#include <QString>

namespace settings {

QString GetSetting(const QString& app, const QString& section, const QString& key);
void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);

// Keeps the store in this INI file instead of the user's own (tests).
void useFile(const QString& iniPath);

}  // namespace settings
