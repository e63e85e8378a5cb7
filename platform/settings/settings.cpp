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
}

void useFile(const QString& iniPath) { overridePath() = iniPath; }

}  // namespace settings
