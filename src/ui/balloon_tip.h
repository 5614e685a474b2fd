// The alert balloon: a small frameless tip of our own, shown with its lower
// right corner at a screen point, without an icon, hidden after 5000 ms. A new
// text replaces the one showing and starts the 5000 ms again.
#pragma once

#include <QLabel>
#include <QTimer>

namespace velmora {

class BalloonTip : public QLabel {
    Q_OBJECT
public:
    static constexpr int kShowMs = 5000;
    explicit BalloonTip(QWidget* owner);
    void ShowAt(const QString& text, QPoint lowerRight);

private:
    QTimer hideTimer_;
};

}  // namespace velmora
