// Cutting the stock state and the three prices out of the four answers.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/escape.h"
#include "fixtures.h"
#include "services/item_query.h"

namespace velmora {
namespace {

using testing::Fixture;

Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

TEST(ItemAnswersTest, RecordedAnswersGiveStateAndPrices) {
    const ItemQuery q = ParseItemAnswers(
        DecodeUnicodeEscapes(Fixture("stock_answer.txt")), Fixture("price_answer.txt"),
        Fixture("promo_answer_mpt.txt"), Fixture("mobile_answer.txt"));
    EXPECT_EQ(q.stockState, G("现货"));
    // The mobile price is cut at the next comma, without its field's closing quote.
    EXPECT_EQ(q.combinedStatus, G("现货 |当前价格：299.00/279.00"));
    EXPECT_EQ(q.pricePc, "299.00");
    EXPECT_EQ(q.priceMobile, "279.00");
    EXPECT_EQ(q.priceWechat, "289.00");
}

TEST(ItemAnswersTest, MarkersAndTheirMisses) {
    const Text stock = G("getStockCallback({\"stock\":{\"StockStateName\":\"无货\",\"rn\":-1}})");
    const Text price = Fixture("price_answer.txt");
    const Text mobile = Fixture("mobile_answer.txt");
    struct Case {
        const char* what;
        Text stock, price, promo, mobile;
        Text state, pc, mobilePrice, wechat;
    };
    const Case cases[] = {
        {"promotion without mpt: mobile is the PC price", stock, price,
         Fixture("promo_answer_plain.txt"), mobile, G("无货"), "299.00", "299.00", "289.00"},
        {"mpt without a comma after it: empty mobile price", stock, price,
         "Promotions.set({\"mpt\":\"279.00\"})", mobile, G("无货"), "299.00", "", "289.00"},
        {"mpt right before the comma", stock, price, "{\"mpt\":\"\",\"x\":1}", mobile, G("无货"),
         "299.00", "", "289.00"},
        {"failed price request, promotion without mpt", stock, "",
         Fixture("promo_answer_plain.txt"), mobile, G("无货"), "", "", "289.00"},
        {"failed price request, promotion with mpt", stock, "", Fixture("promo_answer_mpt.txt"),
         mobile, G("无货"), "", "279.00", "289.00"},
        {"price as the object's last field has no quote-comma after it", stock,
         "cnp([{\"id\":\"J_1\",\"p\":\"299.00\"}]);", Fixture("promo_answer_plain.txt"), mobile,
         G("无货"), "", "", "289.00"},
        {"failed mobile request", stock, price, Fixture("promo_answer_mpt.txt"), "", G("无货"),
         "299.00", "279.00", ""},
        {"marker case differs: no match", stock, "{\"P\":\"299.00\",", "{\"MPT\":\"1\",", mobile,
         G("无货"), "", "", "289.00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ItemQuery q = ParseItemAnswers(c.stock, c.price, c.promo, c.mobile);
        EXPECT_EQ(q.stockState, c.state);
        EXPECT_EQ(q.pricePc, c.pc);
        EXPECT_EQ(q.priceMobile, c.mobilePrice);
        EXPECT_EQ(q.priceWechat, c.wechat);
        EXPECT_EQ(q.combinedStatus, c.state + G(" |当前价格：") + c.pc + "/" + c.mobilePrice);
    }
}

TEST(ItemAnswersTest, NoStockStateEndsTheQuery) {
    const Text withPrices[] = {Fixture("price_answer.txt"), Fixture("promo_answer_mpt.txt"),
                               Fixture("mobile_answer.txt")};
    const Text stocks[] = {
        "",                                                                   // failed request
        "getStockCallback({\"stock\":{\"StockState\":33}})",                  // no state marker
        "getStockCallback({\"stock\":{\"StockStateName\":\"\",\"rn\":-1}})",  // empty state
        "{\"StockStateName\":\"33\"}",  // no quote-comma after it
    };
    for (const Text& stock : stocks) {
        SCOPED_TRACE(stock);
        const ItemQuery q = ParseItemAnswers(stock, withPrices[0], withPrices[1], withPrices[2]);
        EXPECT_EQ(q.stockState, "");
        EXPECT_EQ(q.combinedStatus, "");
        EXPECT_EQ(q.pricePc, "");
        EXPECT_EQ(q.priceMobile, "");
        EXPECT_EQ(q.priceWechat, "");
    }
}

TEST(ItemAnswersTest, StateTakenFromDecodedStockAnswer) {
    // The state arrives as \u escapes; once decoded, quotes and braces around it stay as they were.
    const Text decoded = DecodeUnicodeEscapes(Fixture("stock_answer.txt"));
    EXPECT_NE(decoded.find(G("\"StockStateName\":\"现货\",")), Text::npos);
    EXPECT_NE(decoded.find(G("\"provinceName\":\"北京\"")), Text::npos);
}

}  // namespace
}  // namespace velmora
