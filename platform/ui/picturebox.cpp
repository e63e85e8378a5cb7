#include "platform/ui/picturebox.h"

#include <QImageReader>
#include <QPainter>

#include <algorithm>

namespace ui {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Sunken);
}

namespace {

// The reader's own limit (128 MB in Qt 6.4) refuses an ordinary phone photo
// of 35 megapixels or more. A picture is read at the size the box shows, so
// a JPEG is decoded small at once; a kind the reader cannot decode small is
// read whole and then shrunk, within this limit.
constexpr int kPictureLimitMB = 1024;

class AllocationLimit {
public:
    explicit AllocationLimit(int mb) : before_(QImageReader::allocationLimit())
    {
        QImageReader::setAllocationLimit(std::max(before_, mb));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(before_); }

private:
    int before_;
};

}  // namespace

const qint64 PictureBox::kMaxPixels = qint64(kPictureLimitMB) * 1024 * 1024 / 4;

PictureBox::Reading PictureBox::readPicture(const QString& file)
{
    QImageReader reader(file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    // The room in device pixels; a box not laid out yet reads a screenful.
    QSize room = contentsRect().size();
    if (room.width() < 16 || room.height() < 16)
        room = QSize(1024, 1024);
    room *= devicePixelRatioF();
    QSize stored = reader.size();
    // Turned a quarter by its orientation mark, the picture is read the other way round.
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        stored.transpose();
    if (stored.isValid() && (stored.width() > room.width() || stored.height() > room.height())) {
        QSize shown = stored.scaled(room, Qt::KeepAspectRatio);
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            shown.transpose();
        reader.setScaledSize(shown.expandedTo(QSize(1, 1)));
    }
    const AllocationLimit limit(kPictureLimitMB);
    const QImage image = reader.read();
    Reading r;
    if (image.isNull()) {
        if (stored.isValid() && qint64(stored.width()) * stored.height() > kMaxPixels)
            r.tooLarge = stored;
        return r;
    }
    picture_ = QPixmap::fromImage(image);
    update();
    r.shown = true;
    return r;
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
