#pragma once
// A picture box: shows one picture scaled to fit inside it, its proportions
// kept and centred, or nothing.

#include <QFrame>
#include <QPixmap>
#include <QString>

namespace ui {

class PictureBox : public QFrame {
public:
    explicit PictureBox(QWidget* parent = nullptr);
    // Loads a picture file (its kind told by its content) at the size the box
    // shows it, however large the file; false, and the box left as it was,
    // when the file is missing or holds no readable picture.
    // The same, telling a picture too large to be read at all (more pixels
    // than kMaxPixels, of a kind not read small) by its size in pixels.
    struct Reading {
        bool shown = false;
        QSize tooLarge;
    };
    Reading readPicture(const QString& file);
    static const qint64 kMaxPixels;
    void clear();
    bool hasPicture() const { return !picture_.isNull(); }
    const QPixmap& picture() const { return picture_; }
    // Where the shown picture lies inside the box.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPixmap picture_;
};

}  // namespace ui
