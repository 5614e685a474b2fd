#include "ui/picture_widgets.h"

#include <QBuffer>
#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace velmora {

namespace {
constexpr int kDecodeLimitMb = 64;
}

QPixmap DecodePicture(const Bytes& bytes) {
    if (bytes.empty()) return QPixmap();
    QByteArray data(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAllocationLimit(kDecodeLimitMb);
    QImage image = reader.read();
    if (image.isNull()) return QPixmap();
    return QPixmap::fromImage(image);
}

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) { setAlignment(Qt::AlignCenter); }

void PictureBox::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    Refresh();
}

void PictureBox::Refresh() {
    if (picture_.isNull()) {
        clear();
        return;
    }
    setPixmap(picture_.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Refresh();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) emit LeftButtonReleased();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    emit DoubleClicked();
}

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!picture_.isNull()) {
        painter.drawPixmap(rect(), picture_);
        if (isDown()) painter.fillRect(rect(), QColor(0, 0, 0, 40));
        return;
    }
    QStyleOptionButton option;
    option.initFrom(this);
    option.text = text();
    if (isDown()) option.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_PushButton, &option, &painter, this);
}

}  // namespace velmora
