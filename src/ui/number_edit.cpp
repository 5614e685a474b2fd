#include "ui/number_edit.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <cstdint>
#include <limits>

namespace velmora {

QString NormaliseWholeNumber(const QString& text) {
    int i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == u'-') {
        negative = true;
        ++i;
    }
    // Saturate while reading, so any number of digits stays within range.
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int64_t kMin = std::numeric_limits<int32_t>::min();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > -kMin) value = -kMin;
    }
    if (negative) value = -value;
    if (value > kMax) value = kMax;
    if (value < kMin) value = kMin;
    if (value == 0) return QString();
    return QString::number(value);
}

WholeNumberEdit::WholeNumberEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9-]*")), this));
}

void WholeNumberEdit::focusOutEvent(QFocusEvent* event) {
    QString normalised = NormaliseWholeNumber(text());
    if (normalised != text()) setText(normalised);
    QLineEdit::focusOutEvent(event);
}

DecimalEdit::DecimalEdit(QWidget* parent) : QLineEdit(parent) {
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.-]*")), this));
}

}  // namespace velmora
