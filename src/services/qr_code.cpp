#include "services/qr_code.h"

#include "core/codepage.h"
#include "core/image.h"
#include "core/qr_image.h"
#include "net/http_get.h"

namespace velmora {

namespace {

constexpr int kJpegFormat = 2;

}  // namespace

Text QrRequestUrl(const QrColours& colours, const Text& pageUrl, const Endpoints& endpoints) {
    return endpoints.qrServiceBase + "/api.php" + "?&bg=" + ToHexText(colours.background) +
           "&fg=" + ToHexText(colours.foreground) + "&gc=" + ToHexText(colours.gradient) +
           "&el=2&w=200&m=10&pt=" + ToHexText(colours.outerLocator) +
           "&inpt=" + ToHexText(colours.innerLocator) + "&logo=&text=" + pageUrl;
}

std::filesystem::path QrPictureFile(const std::filesystem::path& programDir) {
    return programDir / std::filesystem::path(u8"二维码.jpg");
}

void ShowQrCode(const Text& pageUrl, const QrColours& colours, const Endpoints& endpoints,
                const std::filesystem::path& programDir,
                const std::function<void(const std::filesystem::path&)>& openWindow) {
    const std::filesystem::path file = QrPictureFile(programDir);
    const Text cp936Path = Cp936FromUtf8(file.string());
    // The picture is written through a code page 936 path; a directory name
    // that code page cannot spell would send it somewhere else, so then
    // nothing is written and the window finds no picture.
    if (Utf8FromCp936(cp936Path) == file.string()) {
        const Bytes picture = HttpGet(QrRequestUrl(colours, pageUrl, endpoints));
        if (!ConvertImage(picture, kJpegFormat, cp936Path)) {
            // No picture from the service (down, or not an image): draw the
            // same code here rather than show a stale one of another page.
            ConvertImage(RenderQrPicture(pageUrl, colours.foreground, colours.background),
                         kJpegFormat, cp936Path);
        }
    }
    if (openWindow) openWindow(file);
}

}  // namespace velmora
