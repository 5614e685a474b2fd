// The QR picture saved for the QR window: from the service, or drawn here when
// the service gives none, always a code that reads back as the page address.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "services/qr_code.h"
#include "store_fixture.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// What zbarimg reads in the picture file; empty when it finds no code.
std::string DecodeQr(const fs::path& file) {
    const std::string command = "zbarimg --raw -q '" + file.string() + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsJpeg(const std::string& bytes) {
    return bytes.size() > 2 && bytes.substr(0, 2) == "\xFF\xD8";
}

class QrCodeTest : public testing::StoreTest {
protected:
    void SetUp() override {
        testing::StoreTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        // A program directory whose name needs code page 936 on its way to the file.
        programDir_ = dir_.Path() / fs::path(u8"程序目录");
        ASSERT_TRUE(fs::create_directory(programDir_));
        picture_ = programDir_ / fs::path(u8"二维码.jpg");
    }

    // Shows a code and returns the paths the window was asked to open.
    std::vector<fs::path> Show(const Text& page, const Endpoints& endpoints) {
        std::vector<fs::path> opened;
        ShowQrCode(page, QrColours{}, endpoints, programDir_,
                   [&opened](const fs::path& p) { opened.push_back(p); });
        return opened;
    }

    Endpoints Down() const {
        Endpoints down = endpoints_;
        down.qrServiceBase = "http://127.0.0.1:" + std::to_string(testing::UnusedPort());
        return down;
    }

    fs::path programDir_;
    fs::path picture_;
};

TEST_F(QrCodeTest, EachRequestOverwritesThePictureAndOpensTheWindow) {
    Endpoints pages;  // the public page addresses, as the list builds them
    const Text mobile = MobilePageUrl("1743535", pages);
    const Text wechat = WechatShopUrl("1743535", pages);
    EXPECT_EQ(QrPictureFile(programDir_), picture_);

    EXPECT_EQ(Show(mobile, endpoints_), std::vector<fs::path>{picture_});
    ASSERT_TRUE(IsJpeg(FileBytes(picture_)));
    EXPECT_EQ(DecodeQr(picture_), mobile);

    EXPECT_EQ(Show(wechat, endpoints_), std::vector<fs::path>{picture_});
    ASSERT_TRUE(IsJpeg(FileBytes(picture_)));
    EXPECT_EQ(DecodeQr(picture_), wechat);  // the second picture wins

    const auto requests = store_->Requests();
    ASSERT_EQ(requests.size(), 2u);
    const Text query = "/api.php?&bg=FFFFFF&fg=0&gc=0&el=2&w=200&m=10&pt=0&inpt=0&logo=&text=";
    testing::ExpectHttpGet(requests[0], store_->Base() + query + mobile, query + mobile);
    testing::ExpectHttpGet(requests[1], store_->Base() + query + wechat, query + wechat);
    // Nothing is left beside the picture.
    EXPECT_EQ(std::distance(fs::directory_iterator(programDir_), fs::directory_iterator()), 1);
}

TEST_F(QrCodeTest, WithoutAPictureFromTheServiceTheCodeIsDrawnHere) {
    const Text first = "https://item.m.jd.com/product/1.html";
    Show(first, endpoints_);
    ASSERT_EQ(DecodeQr(picture_), first);

    struct Case {
        const char* what;
        Endpoints endpoints;
        Text page;
    };
    Endpoints notAPicture = endpoints_;
    notAPicture.qrServiceBase = store_->Base() + "/missing";  // answers 404 with a text body
    const Case cases[] = {
        {"service unreachable", Down(), "https://item.m.jd.com/product/2.html"},
        {"service answers with no picture", notAPicture, "https://wqitem.jd.com/item/view?sku=3"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Show(c.page, c.endpoints), std::vector<fs::path>{picture_});
        EXPECT_TRUE(IsJpeg(FileBytes(picture_)));
        EXPECT_EQ(DecodeQr(picture_), c.page);
    }
}

TEST_F(QrCodeTest, FirstCodeWithServiceDownIsDrawnHere) {
    const Text page = "https://item.m.jd.com/product/100012043978.html";
    ASSERT_FALSE(fs::exists(picture_));
    EXPECT_EQ(Show(page, Down()), std::vector<fs::path>{picture_});
    EXPECT_EQ(DecodeQr(picture_), page);
}

TEST_F(QrCodeTest, AnAddressTooLongToDrawLeavesThePreviousPicture) {
    const Text first = "https://item.m.jd.com/product/1.html";
    Show(first, endpoints_);
    const std::string before = FileBytes(picture_);
    ASSERT_TRUE(IsJpeg(before));
    // Longer than any QR code holds: the service is down and nothing can be drawn.
    const Text tooLong = "https://item.m.jd.com/product/" + Text(4000, '7') + ".html";
    EXPECT_EQ(Show(tooLong, Down()), std::vector<fs::path>{picture_});
    EXPECT_EQ(FileBytes(picture_), before);
}

TEST_F(QrCodeTest, ADirectoryCodePage936CannotSpellGetsNoPicture) {
    // Written through a code page 936 path, the picture would land in "?"
    // instead: nothing is written, and the window is still opened.
    const fs::path unspellable = dir_.Path() / fs::path(u8"\U0001F4F7");
    ASSERT_TRUE(fs::create_directory(unspellable));
    ASSERT_TRUE(fs::create_directory(dir_.Path() / "?"));
    std::vector<fs::path> opened;
    ShowQrCode("https://item.m.jd.com/product/1.html", QrColours{}, endpoints_, unspellable,
               [&opened](const fs::path& p) { opened.push_back(p); });
    EXPECT_EQ(opened, std::vector<fs::path>{QrPictureFile(unspellable)});
    EXPECT_FALSE(fs::exists(QrPictureFile(unspellable)));
    EXPECT_FALSE(fs::exists(QrPictureFile(dir_.Path() / "?")));
    EXPECT_TRUE(store_->Requests().empty());
}

}  // namespace
}  // namespace velmora
