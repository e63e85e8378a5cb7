#include "money/giftpictures.h"

#include "platform/files.h"
#include "records/cascade.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace money {

namespace {

bool sameContent(const QString& a, const QString& b)
{
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    while (!fa.atEnd())
        if (fa.read(1 << 16) != fb.read(1 << 16))
            return false;
    return true;
}

bool sameFile(const QString& a, const QString& b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

}  // namespace

QString pictureName(const QString& stored)
{
    const qsizetype cut = std::max(stored.lastIndexOf('\\'), stored.lastIndexOf('/'));
    return stored.mid(cut + 1);
}

QString picturePath(const QString& name)
{
    return records::giftPictureFolder() + '/' + name;
}

QString storedPictureFile(const QString& stored)
{
    if (stored.isEmpty())
        return QString();
    if (QFileInfo(stored).isFile())
        return stored;
    const QString name = pictureName(stored);
    if (name.isEmpty() || !QFileInfo(picturePath(name)).isFile())
        return QString();
    return picturePath(name);
}

QString keptName(const QString& file)
{
    const QString name = pictureName(file);
    return !name.isEmpty() && sameFile(file, picturePath(name)) ? name : QString();
}

KeptPicture keepPicture(const QString& source, const QString& name)
{
    KeptPicture k;
    const QString folder = records::giftPictureFolder();
    if (!QDir().mkpath(folder)) {
        k.error = "The folder " + QDir::toNativeSeparators(folder) + " could not be made.";
        return k;
    }
    // A "\" in a name would cut it short when it is read back.
    QString wanted = name;
    wanted.replace('\\', '_');
    const QFileInfo parts(wanted);
    const QString stem = parts.completeBaseName();
    const QString suffix = parts.suffix().isEmpty() ? QString() : '.' + parts.suffix();
    for (int n = 1;; ++n) {
        k.name = n == 1 ? wanted : QString("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
        k.file = picturePath(k.name);
        if (!QFileInfo::exists(k.file))
            break;
        if (sameFile(source, k.file) || sameContent(source, k.file)) {
            k.ok = true;
            return k;
        }
    }
    QFile in(source);
    if (!in.copy(k.file)) {
        k.error = in.errorString();
        return k;
    }
    files::takeNewFileMode(k.file);
    k.ok = k.copied = true;
    return k;
}

void dropPicture(const KeptPicture& kept)
{
    if (kept.copied)
        QFile::remove(kept.file);
}

}  // namespace money
