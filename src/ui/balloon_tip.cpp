#include "ui/balloon_tip.h"

namespace velmora {

BalloonTip::BalloonTip(QWidget* owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("气球提示框"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(
        QStringLiteral("QLabel { background: #ffffe1; color: #000000; border: 1px solid #767676; "
                       "padding: 6px; }"));
    setTextFormat(Qt::PlainText);
    hideTimer_.setSingleShot(true);
    hideTimer_.setInterval(kShowMs);
    connect(&hideTimer_, &QTimer::timeout, this, &QWidget::hide);
}

void BalloonTip::ShowAt(const QString& text, QPoint lowerRight) {
    // Alert texts end with a line break; drawing it would leave an empty line.
    QString shown = text;
    while (shown.endsWith(u'\n') || shown.endsWith(u'\r')) shown.chop(1);
    setText(shown);
    adjustSize();
    move(lowerRight.x() - width() + 1, lowerRight.y() - height() + 1);
    show();
    raise();
    hideTimer_.start();
}

}  // namespace velmora
