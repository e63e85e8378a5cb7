#include "platform/ui/picturebox.h"

#include <QImageReader>
#include <QPainter>

namespace ui {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

bool PictureBox::loadPicture(const QString& file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    picture_ = QPixmap::fromImage(image);
    update();
    return true;
}

void PictureBox::clear()
{
    picture_ = QPixmap();
    update();
}

QRect PictureBox::pictureRect() const
{
    if (picture_.isNull())
        return {};
    const QRect room = contentsRect();
    QSize size = picture_.size();
    // Small pictures keep their size; larger ones shrink to fit.
    if (size.width() > room.width() || size.height() > room.height())
        size.scale(room.size(), Qt::KeepAspectRatio);
    QRect r(QPoint(), size);
    r.moveCenter(room.center());
    return r;
}

void PictureBox::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    if (picture_.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(pictureRect(), picture_);
}

}  // namespace ui
