#pragma once
// The room items of the table layout designer and their pictures, drawn by
// the program: the palette's icons, the toolbar's pictures, and (through
// tools/mkpictures at build time) the picture files the diagram shows.
// Only Qt's painting is used here, so the build tool shares this file.

#include <QImage>
#include <QString>

#include <vector>

namespace tablepictures {

struct PaletteItem {
    QString group;
    QString caption;
    QString key;      // what a click reports
    QString iconKey;  // the palette's icon
    QString file;     // appended to the program's folder
};

// In the palette's order.
const std::vector<PaletteItem>& paletteItems();
const PaletteItem* findItem(const QString& key);

// A room item seen from above, on a square of `side` pixels, transparent
// around it; an unknown key gives a transparent square.
QImage roomPicture(const QString& key, int side);

// The toolbar's pictures by their keys (picOpen, picSave, picPrint,
// picPreview, picUndo, picRedo, picCircle, picSquare, picDelete).
QImage toolPicture(const QString& key, int side);

}  // namespace tablepictures
