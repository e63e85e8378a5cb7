#pragma once
// Where gift pictures are kept: a copy of each chosen picture in the gift
// pictures folder, named in GIFT_IMAGE by its full path there.

#include <QString>

namespace money {

// The file name of a stored GIFT_IMAGE: what follows its last "\" or "/",
// so a path written by a copy of the program on another system reads too.
QString pictureName(const QString& stored);
// What GIFT_IMAGE stores for the picture of that name in the folder.
QString picturePath(const QString& name);
// The file a stored GIFT_IMAGE stands for: the path itself when the file is
// there, else the file of that name in the pictures folder; "" for neither.
QString storedPictureFile(const QString& stored);

// The name of a file that lies in the pictures folder itself; "" for a file
// elsewhere.
QString keptName(const QString& file);

struct KeptPicture {
    bool ok = false;
    QString name;         // its name in the folder
    QString file;         // its full path there
    bool copied = false;  // a new copy was made
    QString error;        // why it failed
};

// Puts a picture chosen anywhere into the pictures folder (made when
// missing) under `name`. The file that already lies there is taken as it
// is, as is one of that name with the same content; a different picture of
// a name already taken gets a free name ("cake (2).jpg"), so no kept
// picture is ever overwritten.
KeptPicture keepPicture(const QString& source, const QString& name);
// Takes back a copy keepPicture made, for a save that did not go through.
void dropPicture(const KeptPicture& kept);

}  // namespace money
