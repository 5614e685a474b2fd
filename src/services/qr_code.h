// QR codes of a product's pages: the QR service's address for a page, and the
// picture saved as "二维码.jpg" in the program directory for the QR window.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>

#include "core/endpoints.h"
#include "core/text.h"
#include "services/page_urls.h"

namespace velmora {

// The colours a QR code is drawn in, as 0xRRGGBB integers.
struct QrColours {
    int32_t background = 0xFFFFFF;
    int32_t foreground = 0;
    int32_t gradient = 0;
    int32_t outerLocator = 0;
    int32_t innerLocator = 0;
};

// The QR service's address for a picture of `pageUrl`; the page address goes
// in as it is, after "text=".
Text QrRequestUrl(const QrColours& colours, const Text& pageUrl, const Endpoints& endpoints);

// The saved picture's path: programDir / "二维码.jpg".
std::filesystem::path QrPictureFile(const std::filesystem::path& programDir);

// Fetches the QR picture of `pageUrl` and saves it as JPEG in the program
// directory. When the service gives no picture, the code is drawn here from
// the same address and colours, so the file always holds a code of this page
// (unless the address cannot be drawn at all, which leaves the previous file).
// Then `openWindow` is called with the file's path.
void ShowQrCode(const Text& pageUrl, const QrColours& colours, const Endpoints& endpoints,
                const std::filesystem::path& programDir,
                const std::function<void(const std::filesystem::path&)>& openWindow);

}  // namespace velmora
