// Edit boxes with input rules: whole numbers (digits and "-", normalised when
// the box loses the focus) and decimals (digits, "-" and ".").
#pragma once

#include <QLineEdit>

namespace velmora {

// Reads the leading whole number of `text` (optional "-", then digits),
// limits it to the 32-bit range and writes it back as decimal text; 0 (and
// text without a number) becomes empty text.
QString NormaliseWholeNumber(const QString& text);

class WholeNumberEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit WholeNumberEdit(QWidget* parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

class DecimalEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit DecimalEdit(QWidget* parent = nullptr);
};

}  // namespace velmora
