#pragma once
// The fonts the program is designed for. The windows are laid out in twips
// and the printed pages in inches for text of Arial's measures: Liberation
// Sans has them (Debian fonts-liberation2); DejaVu Sans (fonts-dejavu-core)
// stands in where it is missing. Both are dependencies of the program, asked
// for by name rather than left to the desktop's choice.

#include <QFont>
#include <QString>
#include <QStringList>

namespace fonts {

// The face of the windows, the printer's font as each window sets it, the
// seat names and the drawn pictures.
inline const QString kDesignFace = QStringLiteral("Liberation Sans");

// The design faces in the order they are tried.
inline QStringList designFamilies() { return {kDesignFace, QStringLiteral("DejaVu Sans")}; }

// A font of that face, falling back on the design faces where the face is
// not installed (a font chosen on another machine, say).
inline QFont font(const QString& face = kDesignFace)
{
    QStringList families = designFamilies();
    families.removeAll(face);
    families.prepend(face);
    QFont f(face);
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

// Makes the design face the application's font, at the size the windows'
// places are made for; called once, right after the application is made.
void useDesignFonts();

}  // namespace fonts
