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

// A file QSettings cannot parse: what it read of it may be wrong, and what
// it would write back would drop the rest.
Error damaged(const QSettings& s, const QString& app)
{
    return Error(QString("The settings file %1 is damaged: it cannot be read as a settings file. Delete it, or move "
                         "it elsewhere, and start %2 again; it is then made afresh with the usual settings.")
                     .arg(s.fileName(), app));
}

}  // namespace

QString GetSetting(const QString& app, const QString& section, const QString& key)
{
    auto s = open(app);
    if (s->status() == QSettings::FormatError)
        throw damaged(*s, app);
    return s->value(section + '/' + key).toString();
}

void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
    auto s = open(app);
    if (s->status() == QSettings::FormatError)
        throw damaged(*s, app);
    s->setValue(section + '/' + key, value);
    s->sync();
    if (s->status() == QSettings::FormatError)
        throw damaged(*s, app);
    if (s->status() != QSettings::NoError)
        throw Error(QString("The setting %1/%2 could not be saved to %3 (the file cannot be written).")
                        .arg(section, key, s->fileName()));
}

void useFile(const QString& iniPath) { overridePath() = iniPath; }

}  // namespace settings
