// A named, never-seen store of two colour numbers ("first" and "second"); the
// QR code request sends the second one.
#pragma once

#include <QWidget>
#include <cstdint>

namespace velmora {

class ColourHolder : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int first READ First WRITE SetFirst)
    Q_PROPERTY(int second READ Second WRITE SetSecond)
public:
    ColourHolder(int32_t second, QWidget* parent) : QWidget(parent), second_(second) {}

    int32_t First() const { return first_; }
    int32_t Second() const { return second_; }
    void SetFirst(int32_t colour) { first_ = colour; }
    void SetSecond(int32_t colour) { second_ = colour; }

private:
    int32_t first_ = 0;
    int32_t second_;
};

}  // namespace velmora
