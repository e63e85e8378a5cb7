#include "platform/navbar/explorerbar.h"

namespace navbar {

QPixmap barPicture(int n)
{
    if (n < 0 || n >= kPictureCount)
        return QPixmap();
    QPixmap pm(kPictureSize, kPictureSize);
    pm.fill(Qt::transparent);
    return pm;
}

QPixmap storePicture(int n) { return barPicture(n - 1); }

const PictureStore& PictureStore::standard()
{
    static const PictureStore store;
    return store;
}

}  // namespace navbar
