#pragma once
// The per-user settings store, addressed by application, section and key.
// A missing value reads as "".

#include <QString>

#include <stdexcept>

namespace settings {

// A setting that could not be written; the text is meant for the user.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    QString message() const { return message_; }

private:
    QString message_;
};

// Both throw settings::Error when the store's file is damaged (it cannot
// be parsed); SaveSetting also when it cannot be written.
QString GetSetting(const QString& app, const QString& section, const QString& key);
void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value);

// Keeps the store in this INI file instead of the user's own (tests).
void useFile(const QString& iniPath);

}  // namespace settings
