#include "platform/settings/settings.h"

#include <QSettings>

#include <memory>

namespace settings {

namespace {

QString& overridePath()
{
    static QString path;
    return path;
}

std::unique_ptr<QSettings> open(const QString& app)
{
    if (!overridePath().isEmpty())
        return std::make_unique<QSettings>(overridePath(), QSettings::IniFormat);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, app, app);
}

}  // namespace

QString GetSetting(const QString& app, const QString& section, const QString& key)
{
    auto s = open(app);
    return s->value(section + '/' + key).toString();
}

void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
    auto s = open(app);
    s->setValue(section + '/' + key, value);
    s->sync();
    if (s->status() != QSettings::NoError)
        throw Error(QString("The setting %1/%2 could not be saved to %3%4.")
                        .arg(section, key, s->fileName(),
                             s->status() == QSettings::AccessError ? QStringLiteral(" (the file cannot be written)")
                                                                   : QStringLiteral(" (the file is not readable)")));
}

void useFile(const QString& iniPath) { overridePath() = iniPath; }

}  // namespace settings
