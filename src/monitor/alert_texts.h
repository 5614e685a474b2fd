// The texts of an alert: balloon, mail subject and mail body.
#pragma once

#include "core/text.h"

namespace velmora {

enum class AlertKind { PriceAlert, StockAlert };

// The time part of DateTimeToText (what follows its last "日"): "9时5分30秒",
// "9时5分", "9时", or empty at midnight exactly.
Text TimeOfDay(const DateTime& when);

// "【" time "】价格变化了！\r\n", or "【" time "】" stock state "\r\n".
Text BalloonText(AlertKind kind, const Text& stockState, const DateTime& when);

Text MailSubject(AlertKind kind);
// The head for the kind, the product number, "\r\n", the maker's home page.
Text MailBody(AlertKind kind, const Text& sku, const Text& makerHomeUrl);

}  // namespace velmora
