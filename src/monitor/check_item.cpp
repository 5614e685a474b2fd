#include "monitor/check_item.h"

#include "monitor/alert_mail.h"
#include "monitor/alert_notify.h"
#include "monitor/monitoring_flags.h"
#include "services/item_query.h"

namespace velmora {

namespace {

// Code page 936 bytes; the UTF-8 form is in each comment.
const Text kChecking = "\xd5\xfd\xd4\xda\xbc\xe0\xbf\xd8";                     // 正在监控
const Text kInStock = "\xcf\xd6\xbb\xf5";                                      // 现货
const Text kOrderable = "\xd4\xa4\xb6\xa9";                                    // 预订
const Text kPriceMarker = "\x20\x7c\xb5\xb1\xc7\xb0\xbc\xdb\xb8\xf1\xa3\xba";  // " |当前价格："

constexpr double kPriceTolerance = 0.0000001;

// A price is reached when it is at most the expected price; both are
// single-precision values, subtracted in double precision.
bool Reached(float expected, const Text& price) {
    return static_cast<double>(expected) - static_cast<double>(TextToFloat(price)) >=
           -kPriceTolerance;
}

bool PriceAlertDue(const ItemQuery& q, const Text& expectedText) {
    if (q.pricePc.empty() || q.priceMobile.empty() || q.priceWechat.empty()) return false;
    float expected = TextToFloat(expectedText);
    return Reached(expected, q.pricePc) || Reached(expected, q.priceMobile) ||
           Reached(expected, q.priceWechat);
}

bool StockAlertDue(const ItemQuery& q, bool stockAlertTicked) {
    return (stockAlertTicked && FindText(q.combinedStatus, kInStock) != -1) ||
           FindText(q.combinedStatus, kOrderable) != -1;
}

void RunAlert(MonitorContext& context, AlertKind kind, const ItemQuery& q, const Text& sku) {
    ShowAlertBalloon(context, kind, q);
    if (context.window->Switches().stockHalt) {
        context.window->SetTimerPeriod(0);
        monitoringActive.store(0);
    }
    if (context.window->Switches().soundAlert) PlayAlertSound(context);
    if (context.window->Switches().mailAlert) SendAlertMail(context, kind, sku);
}

}  // namespace

void CheckItem(MonitorContext& context, int rowNumber) {
    if (monitoringActive.load() == 0) return;
    MonitorList& list = *context.list;
    RowId id = list.RowIdAt(rowNumber - 1);
    if (!list.SetCellById(id, ColStatus, kChecking)) return;

    ItemCells cells{list.GetCellById(id, ColSku), list.GetCellById(id, ColRegion),
                    list.GetCellById(id, ColVenderId), list.GetCellById(id, ColCat)};
    ItemQuery q = QueryItem(cells, context.endpoints);
    if (q.stockState.empty()) return;

    // A row deleted while its query ran takes no results and raises no alert.
    if (!list.SetCellById(id, ColPricePc, q.pricePc)) return;
    if (!list.SetCellById(id, ColPriceMobile, q.priceMobile)) return;
    if (!list.SetCellById(id, ColPriceWechat, q.priceWechat)) return;
    if (!list.SetCellById(id, ColStatus, TextBefore(q.combinedStatus, kPriceMarker))) return;

    if (context.window->Switches().priceAlert &&
        PriceAlertDue(q, list.GetCellById(id, ColExpectedPrice))) {
        RunAlert(context, AlertKind::PriceAlert, q, cells.sku);
        return;
    }
    if (StockAlertDue(q, context.window->Switches().stockAlert))
        RunAlert(context, AlertKind::StockAlert, q, cells.sku);
}

}  // namespace velmora
