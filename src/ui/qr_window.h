// The small window that shows the last QR code, read from its file; closed by
// a double-click on the picture. Not modal; owned by the main window.
#pragma once

#include <QWidget>
#include <filesystem>

namespace velmora {

class PictureBox;

class QrWindow : public QWidget {
    Q_OBJECT
public:
    QrWindow(std::filesystem::path pictureFile, QWidget* owner);
    // Reads the file again and shows it (empty when missing or no picture).
    void ShowFile();
    PictureBox* Picture() const { return picture_; }

private:
    std::filesystem::path pictureFile_;
    PictureBox* picture_;
};

}  // namespace velmora
