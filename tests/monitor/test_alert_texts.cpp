// Balloon and mail texts of the two alert kinds.
#include <gtest/gtest.h>

#include "monitor/alert_texts.h"
#include "test_check_fakes.h"

namespace velmora::testing {
namespace {

struct TimeCase {
    DateTime when;
    const char* text;  // UTF-8
};

TEST(AlertTexts, TimeOfDayDropsTheDateAndTrailingZeroParts) {
    const TimeCase cases[] = {
        {{2016, 1, 2, 9, 5, 30}, "9时5分30秒"},
        {{2016, 1, 2, 9, 5, 0}, "9时5分"},
        {{2016, 1, 2, 9, 0, 0}, "9时"},
        {{2016, 1, 2, 0, 0, 0}, ""},
        {{2016, 12, 31, 23, 59, 59}, "23时59分59秒"},
        {{2016, 1, 2, 0, 0, 7}, "0时0分7秒"},
        {{2016, 1, 2, 0, 30, 0}, "0时30分"},
    };
    for (const TimeCase& c : cases) EXPECT_EQ(TimeOfDay(c.when), G(c.text)) << c.text;
}

TEST(AlertTexts, BalloonsCarryTimeAndKind) {
    EXPECT_EQ(BalloonText(AlertKind::StockAlert, G("现货"), {2016, 1, 2, 9, 5, 0}),
              G("【9时5分】现货\r\n"));
    EXPECT_EQ(BalloonText(AlertKind::PriceAlert, G("现货"), {2016, 1, 2, 9, 5, 30}),
              G("【9时5分30秒】价格变化了！\r\n"));
    // At midnight the brackets stand side by side.
    EXPECT_EQ(BalloonText(AlertKind::StockAlert, G("预订"), {2016, 1, 2, 0, 0, 0}),
              G("【】预订\r\n"));
}

TEST(AlertTexts, MailSubjectAndBody) {
    EXPECT_EQ(MailSubject(AlertKind::PriceAlert), G("Vornik，提醒你，价格变化啦！"));
    EXPECT_EQ(MailSubject(AlertKind::StockAlert), G("Vornik，提醒你，有货啦！"));
    EXPECT_EQ(MailBody(AlertKind::StockAlert, "1743535", "https://maker.example"),
              G("Vornik，提醒你，有货啦！\r\n1743535\r\nhttps://maker.example"));
}

}  // namespace
}  // namespace velmora::testing
