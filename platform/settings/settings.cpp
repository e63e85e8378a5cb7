#include "platform/settings/settings.h"

#include <QFile>
#include <QSettings>
#include <QStringDecoder>
#include <QStringTokenizer>

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

// Whether the store's file holds something that is no settings file:
// QSettings reads past much of that (bytes of another file, a line that is
// no setting) without a word, and would write over it.
bool damagedFile(const QSettings& s)
{
    if (s.status() == QSettings::FormatError)
        return true;
    QFile f(s.fileName());
    if (!f.exists() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = f.read(1 << 20);
    if (bytes.contains('\0'))
        return true;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        return true;
    for (QStringView line : QStringTokenizer(text, u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#') || line.contains(u'='))
            continue;
        if (!line.startsWith(u'[') || !line.endsWith(u']'))
            return true;
    }
    return false;
}

// A settings file that cannot be read: said so, naming it, with what to do.
// It is left as it is.
void refuseDamaged(const QSettings& s, const QString& app)
{
    if (damagedFile(s))
        throw Error(QString("The settings file %1 is damaged: it cannot be read as a settings file. Delete it, or "
                            "move it elsewhere, and start %2 again; it is then made afresh with the usual settings.")
                        .arg(s.fileName(), app));
}

}  // namespace

QString GetSetting(const QString& app, const QString& section, const QString& key)
{
    auto s = open(app);
    const QString value = s->value(section + '/' + key).toString();
    refuseDamaged(*s, app);
    return value;
}

void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value)
{
    auto s = open(app);
    refuseDamaged(*s, app);
    s->setValue(section + '/' + key, value);
    s->sync();
    if (s->status() != QSettings::NoError)
        throw Error(QString("The setting %1/%2 could not be saved to %3 (the file cannot be written).")
                        .arg(section, key, s->fileName()));
}

void useFile(const QString& iniPath) { overridePath() = iniPath; }

}  // namespace settings
