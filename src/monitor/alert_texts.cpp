#include "monitor/alert_texts.h"

namespace velmora {

namespace {

// Code page 936 bytes; the UTF-8 form is in each comment.
const Text kDay = "\xc8\xd5";    // 日
const Text kOpen = "\xa1\xbe";   // 【
const Text kClose = "\xa1\xbf";  // 】
const Text kPriceChanged =       // 价格变化了！
    "\xbc\xdb\xb8\xf1\xb1\xe4\xbb\xaf\xc1\xcb\xa3\xa1";
const Text kPriceSubject =  // Vornik，提醒你，价格变化啦！
    "Vornik"
    "\xa3\xac\xcc\xe1\xd0\xd1\xc4\xe3\xa3\xac\xbc\xdb\xb8\xf1\xb1\xe4\xbb\xaf\xc0\xb2\xa3\xa1";
const Text kStockSubject =  // Vornik，提醒你，有货啦！
    "Vornik"
    "\xa3\xac\xcc\xe1\xd0\xd1\xc4\xe3\xa3\xac\xd3\xd0\xbb\xf5\xc0\xb2\xa3\xa1";

}  // namespace

Text TimeOfDay(const DateTime& when) { return TextAfterLast(DateTimeToText(when), kDay); }

Text BalloonText(AlertKind kind, const Text& stockState, const DateTime& when) {
    Text head = kOpen + TimeOfDay(when) + kClose;
    if (kind == AlertKind::PriceAlert) return head + kPriceChanged + "\r\n";
    return head + stockState + "\r\n";
}

Text MailSubject(AlertKind kind) {
    return kind == AlertKind::PriceAlert ? kPriceSubject : kStockSubject;
}

Text MailBody(AlertKind kind, const Text& sku, const Text& makerHomeUrl) {
    return MailSubject(kind) + "\r\n" + sku + "\r\n" + makerHomeUrl;
}

}  // namespace velmora
