// The embedded resources (resources/resources.qrc, prefix /velmora).
#pragma once

namespace velmora {

inline constexpr char kTrayIconResource[] = ":/velmora/TrayIconImage";
inline constexpr char kAlarmSoundResource[] = ":/velmora/DefaultAlarmSound";
inline constexpr char kStoppedButtonPicture[] = ":/velmora/ButtonPictureStopped";
inline constexpr char kRunningButtonPicture[] = ":/velmora/ButtonPictureRunning";
inline constexpr char kMoreDealsPicture[] = ":/velmora/MoreDealsPicture";
inline constexpr char kFeedbackPicture[] = ":/velmora/FeedbackPicture";

// Registers the resources linked into the program (once; later calls do nothing).
void InitResources();

}  // namespace velmora
