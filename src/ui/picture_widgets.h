// Picture boxes and picture buttons: widgets that show a picture decoded from
// bytes, with a bounded decoder so hostile bytes cannot exhaust memory.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>

#include "core/text.h"

namespace velmora {

// Decodes picture bytes (any format Qt reads) within a fixed allocation
// limit; a null pixmap when the bytes are no picture.
QPixmap DecodePicture(const Bytes& bytes);

// A picture box: shows its picture scaled into its size, centred, keeping the
// picture's proportions; empty when it has none.
class PictureBox : public QLabel {
    Q_OBJECT
public:
    explicit PictureBox(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture);
    bool HasPicture() const { return !picture_.isNull(); }

signals:
    void LeftButtonReleased();
    void DoubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Refresh();
    QPixmap picture_;
};

// A button drawn as its picture alone; the caption is kept as its text (the
// monitoring state is told by it) and drawn only when there is no picture.
class PictureButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PictureButton(QWidget* parent = nullptr);
    void SetPicture(const QPixmap& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

}  // namespace velmora
