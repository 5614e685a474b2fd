#include "ui/qr_window.h"

#include "storage/file_io.h"
#include "ui/picture_widgets.h"

namespace velmora {

QrWindow::QrWindow(std::filesystem::path pictureFile, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::WindowCloseButtonHint), pictureFile_(std::move(pictureFile)) {
    setObjectName(QStringLiteral("QrWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString());
    setGeometry(50, 50, 200, 200);
    setFixedSize(200, 200);
    picture_ = new PictureBox(this);
    picture_->setObjectName(QStringLiteral("图片框二维码"));
    picture_->setGeometry(0, 0, 200, 200);
    connect(picture_, &PictureBox::DoubleClicked, this, &QWidget::close);
    ShowFile();
}

void QrWindow::ShowFile() {
    std::optional<Bytes> bytes = ReadFileBytes(pictureFile_);
    picture_->SetPicture(DecodePicture(bytes ? *bytes : Bytes()));
}

}  // namespace velmora
