#include "monitor/alert_notify.h"

namespace velmora {

void ShowAlertBalloon(MonitorContext& context, AlertKind kind, const ItemQuery& query) {
    ScreenSize screen = context.window->PrimaryScreen();
    context.window->ShowBalloon(BalloonText(kind, query.stockState, LocalNow()), screen.width - 10,
                                screen.height - 30);
}

void PlayAlertSound(MonitorContext& context) {
    context.window->PlaySound(context.programDir / "autio.mp3");
}

void StopAlertSound(MonitorContext& context) { context.window->StopSound(); }

}  // namespace velmora
