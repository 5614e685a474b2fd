// Input rules of the edit boxes: whole numbers normalised on leaving the box,
// decimals filtered, typed region text kept as typed.
#include <QPushButton>

#include "ui/number_edit.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

TEST(NormaliseWholeNumber, ReadsTheLeadingNumberWithinTheInt32Range) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"1743535", "1743535"},
        {"0", ""},
        {"", ""},
        {"-", ""},
        {"000123", "123"},
        {"12345678901", "2147483647"},
        {"2147483648", "2147483647"},
        {"-2147483648", "-2147483648"},
        {"-99999999999999999999999", "-2147483648"},
        {"12-34", "12"},
        {"--5", ""},
        {"-0", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(NormaliseWholeNumber(Q(c.in)), Q(c.out)) << c.in;
}

using InputRules = WindowTest;

TEST_F(InputRules, ProductNumberTakesDigitsOnlyAndIsNormalisedOnLeaving) {
    Start();
    auto* sku = Find<QLineEdit>("编辑框商品编号");
    auto* interval = Find<QLineEdit>("编辑框监控间隔");
    const struct {
        const char* typed;
        const char* shown;  // while the box has the focus
        const char* after;  // after the focus has left
    } cases[] = {
        {"12ab3", "123", "123"},
        {"12345678901", "12345678901", "2147483647"},
        {"0", "0", ""},
        {"-0042", "-0042", "-42"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        sku->setFocus();
        sku->clear();
        QTest::keyClicks(sku, Q(c.typed));
        EXPECT_EQ(sku->text(), Q(c.shown));
        interval->setFocus();
        // Offscreen focus changes may need a round of events.
        QApplication::processEvents();
        EXPECT_EQ(sku->text(), Q(c.after));
    }
}

TEST_F(InputRules, ExpectedPriceTakesDigitsPointAndMinusOnly) {
    Start();
    auto* price = Find<QLineEdit>("编辑框价格监控");
    price->clear();
    QTest::keyClicks(price, Q("1a2.5x-"));
    EXPECT_EQ(price->text(), Q("12.5-"));
    auto* interval = Find<QLineEdit>("编辑框监控间隔");
    interval->clear();
    QTest::keyClicks(interval, Q("2.5 s"));
    EXPECT_EQ(interval->text(), Q("2.5 s"));
}

TEST_F(InputRules, TypedRegionTextStaysAsTypedAndAddsNoItem) {
    Start();
    auto* area = Find<QComboBox>("组合框地区");
    // A typed text that starts like the placeholder is not completed to it.
    area->lineEdit()->setText(Q("选"));
    QTest::keyClicks(area->lineEdit(), Q("x-1"));
    QTest::keyClick(area->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(area->currentText(), Q("选x-1"));
    EXPECT_EQ(area->count(), 1);
}

}  // namespace
}  // namespace velmora::testing
