// Monitoring in the built program, driven from outside as a user drives it:
// three recorded products watched against the simulated store, the interval
// typed into its box and the start button clicked with xdotool under a private
// X server; one product's price falls below its expected price, one alert
// mail reaches the loopback SMTP server and the halt ends the passes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/codepage.h"
#include "monitor/test_mail_server.h"
#include "services/fake_store_process.h"
#include "storage/record_file.h"
#include "storage/settings_file.h"
#include "store_process.h"
#include "x_display.h"

namespace velmora::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Positions in the window's client area (1164 x 628): the command frame lies
// at (920, 8); the start button at (43, 344) in it, 165 x 50; the interval box
// at (140, 240) in it, 72 x 24. Clicks go to the middle of each.
constexpr int kFrameX = 920, kFrameY = 8;
constexpr int kButtonX = kFrameX + 43 + 165 / 2, kButtonY = kFrameY + 344 + 50 / 2;
constexpr int kIntervalX = kFrameX + 140 + 72 / 2, kIntervalY = kFrameY + 240 + 24 / 2;

const char kAccount[] = "watcher@example.com";
const char kPassword[] = "s3cret-Pw";
const char kRecipient[] = "buyer@example.com";

struct Product {
    std::string sku;
    std::string regionUtf8;
    std::string regionCode;  // as the requests carry it
    std::string expected;
    std::string vender;
    std::string cat;
};

// The place name of the third row holds a "-" of its own: the id is what
// follows the last one.
const std::vector<Product> kProducts = {
    {"100000000101", "北京-1#朝阳区-72+三环以内-2799", "1_72_2799", "100", "1000000127",
     "9987,653,655"},
    {"100000000202", "北京-1#海淀区-2800+四环到五环之间-2848", "1_2800_2848", "50", "1000000904",
     "670,671,672"},
    {"100000000303", "广东-19#广州市-1601+天河区-黄埔大道-3633", "19_1601_3633", "20", "2000001",
     "1316,1381,1389"},
};

// The four request targets of one check of `p`, in the order they are sent.
std::vector<std::string> ExpectedPaths(const Product& p) {
    return {
        "/stock?skuId=" + p.sku + "&venderId=" + p.vender + "&cat=" + p.cat +
            "&area=" + p.regionCode +
            "_0&buyNum=1&extraParam={%22originid%22:%221%22}&ch=1&callback=getStockCallback",
        "/prices/get?skuid=J_" + p.sku + "&type=1&area=" + p.regionCode + "&callback=cnp",
        "/promoinfo/get?id=" + p.sku + "&area=" + p.regionCode +
            "_0&origin=1&callback=Promotions.set",
        "/prices/pcpmgets?skuids=" + p.sku + "&origin=4&source=wxsq&area=" + p.regionCode +
            "&callback=singlePrice&g_ty=ls",
    };
}

std::string TargetOf(const LoggedRequest& r) {
    // "GET <target> HTTP/1.1"
    const size_t start = r.requestLine.find(' ');
    const size_t end = r.requestLine.rfind(' ');
    if (start == std::string::npos || end <= start) return {};
    return r.requestLine.substr(start + 1, end - start - 1);
}

bool IsItemQuery(const std::string& target) {
    for (const char* prefix : {"/stock?", "/prices/get?", "/promoinfo/get?", "/prices/pcpmgets?"})
        if (target.rfind(prefix, 0) == 0) return true;
    return false;
}

int CountStockRequests(const FakeStoreProcess& store, const std::string& sku = "") {
    int n = 0;
    for (const LoggedRequest& r : store.Requests()) {
        const std::string t = TargetOf(r);
        n += t.rfind("/stock?skuId=" + sku, 0) == 0;
    }
    return n;
}

bool WaitFor(std::chrono::milliseconds limit, const std::function<bool()>& done) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(100ms);
    }
    return done();
}

std::map<std::string, int> ShellValues(const std::string& text) {
    std::map<std::string, int> values;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        try {
            values[line.substr(0, eq)] = std::stoi(line.substr(eq + 1));
        } catch (...) {
        }
    }
    return values;
}

TEST(WholeProgramMonitoring, PriceDropMailsOnceAndHaltsThePasses) {
    TempDir programDir;
    TempDir workDir;
    TempDir logDir;
    FakeStoreProcess store(logDir.path());
    ASSERT_TRUE(store.Started()) << "the simulated store did not start";
    SmtpServerProcess smtp(logDir.path(), kAccount, kPassword);
    ASSERT_TRUE(smtp.Started()) << "the SMTP server did not start";

    // Every product out of stock and dearer than its expected price.
    for (const Product& p : kProducts) {
        ASSERT_TRUE(store.Set(
            p.sku, "stock=" + PercentEncoded("无货") + "&pc=199.00&mobile=198.00&wechat=197.00"));
    }

    const std::string base = store.Base();
    std::string ini = "[endpoints]\n";
    for (const char* key : {"StockServiceBase", "PriceServiceBase", "PromoServiceBase",
                            "MobilePriceServiceBase", "ProductPageBase", "MobilePageBase",
                            "WechatShopBase", "DistrictServiceBase", "QrServiceBase"}) {
        ini += std::string(key) + "=" + base + "\n";
    }
    ini += "MailServerHost=" + smtp.HostPort() + "\n";
    ini += "MakerHomeUrl=" + base + "/home\n";
    ini += "MakerFeedbackUrl=" + base + "/feedback\n";
    ini += "BannerImageUrl=" + base + "/banner.png\n";
    WriteWhole(programDir.path() / "endpoints.ini", ini);

    Settings settings;
    settings.sku = "1743535";
    settings.province = Cp936FromUtf8("北京");
    settings.city = Cp936FromUtf8("朝阳区");
    settings.area = Cp936FromUtf8("三环以内");
    settings.mailAccount = kAccount;
    settings.mailPassword = kPassword;
    settings.mailRecipient = kRecipient;
    ASSERT_TRUE(SaveSettingsFile(programDir.path() / kSettingsFileName, settings));

    std::vector<RecordRow> rows;
    int n = 0;
    for (const Product& p : kProducts) {
        rows.push_back({p.sku, Cp936FromUtf8("监控商品" + std::to_string(++n)),
                        Cp936FromUtf8(p.regionUtf8), p.expected, p.vender, p.cat});
    }
    ASSERT_TRUE(SaveRecordFile(programDir.path() / kRecordFileName, rows));

    const auto binary = programDir.path() / "velmora";
    std::filesystem::copy_file(VELMORA_PATH, binary);

    XDisplay display;
    Child program(binary.string(), workDir.path().string(),
                  {{"DISPLAY", display.name()}, {"QT_QPA_PLATFORM", "xcb"}});

    const std::string window = WaitForVelmoraWindow(display);
    ASSERT_FALSE(window.empty()) << "no window captioned Velmora appeared";
    auto geometry = ShellValues(display.Run("xdotool getwindowgeometry --shell " + window));
    ASSERT_EQ(geometry["WIDTH"], 1164);
    ASSERT_EQ(geometry["HEIGHT"], 628);
    const int originX = geometry["X"], originY = geometry["Y"];
    auto at = [&](int x, int y) {
        return "mousemove --sync " + std::to_string(originX + x) + " " +
               std::to_string(originY + y);
    };

    // Nothing is checked before the user starts.
    EXPECT_EQ(CountStockRequests(store), 0);

    // A short interval, typed into its box, then the start button.
    display.Run("xdotool windowfocus --sync " + window);
    display.Run("xdotool " + at(kIntervalX, kIntervalY) +
                " click 1 sleep 0.2 key --clearmodifiers ctrl+a sleep 0.1 type '2'");
    display.Run("xdotool sleep 0.2 " + at(kButtonX, kButtonY) + " click 1");

    // The first pass checks every row; the second comes after two seconds
    // (ten would mean the typed interval was not taken).
    ASSERT_TRUE(WaitFor(8s,
                        [&] {
                            for (const Product& p : kProducts)
                                if (CountStockRequests(store, p.sku) < 2) return false;
                            return true;
                        }))
        << "no second pass within 8 s of the click; stock requests: " << CountStockRequests(store);

    // Every query is one of the four of its row, byte for byte, in their
    // order, with the fixed header block.
    {
        const std::vector<LoggedRequest> requests = store.Requests();
        const std::string host = "Host: 127.0.0.1:" + std::to_string(store.Port());
        std::map<std::string, std::vector<std::string>> bySku;
        for (const LoggedRequest& r : requests) {
            const std::string target = TargetOf(r);
            if (!IsItemQuery(target)) continue;
            EXPECT_EQ(r.requestLine, "GET " + target + " HTTP/1.1");
            const std::vector<std::string> headers = {
                host,
                "Accept: */*",
                "Referer: " + base + target,
                "Accept-Language: zh-cn",
                "Content-Type: application/x-www-form-urlencoded",
                "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)",
            };
            EXPECT_EQ(r.headers, headers) << target;
            bool known = false;
            for (const Product& p : kProducts) {
                for (const std::string& path : ExpectedPaths(p)) {
                    if (path == target) {
                        bySku[p.sku].push_back(target);
                        known = true;
                    }
                }
            }
            EXPECT_TRUE(known) << "unexpected request " << target;
        }
        for (const Product& p : kProducts) {
            const std::vector<std::string> expected = ExpectedPaths(p);
            const std::vector<std::string>& seen = bySku[p.sku];
            ASSERT_GE(seen.size(), 8u) << p.sku;
            for (size_t i = 0; i < 8; ++i)
                EXPECT_EQ(seen[i], expected[i % 4]) << p.sku << " #" << i;
        }
    }
    EXPECT_TRUE(smtp.Mails().empty()) << "mail before any alert";

    // The second product falls below its expected price of 50.
    const Product& falling = kProducts[1];
    ASSERT_TRUE(store.Set(falling.sku, "pc=45.00&mobile=48.00&wechat=49.00"));

    ASSERT_TRUE(WaitFor(15s, [&] { return !smtp.Mails().empty(); }))
        << "no alert mail within 15 s of the price drop";
    // Let the pass that alerted finish, then watch two intervals and more.
    std::this_thread::sleep_for(500ms);
    const int stockAfterAlert = CountStockRequests(store);
    std::this_thread::sleep_for(5s);
    EXPECT_EQ(CountStockRequests(store), stockAfterAlert)
        << "passes went on after the alert halted monitoring";

    const std::vector<SmtpMail> mails = smtp.Mails();
    ASSERT_EQ(mails.size(), 1u);
    const SmtpMail& mail = mails[0];
    EXPECT_EQ(mail.subject, Cp936FromUtf8("Vornik，提醒你，价格变化啦！"));
    EXPECT_EQ(mail.body, Cp936FromUtf8("Vornik，提醒你，价格变化啦！\r\n") + falling.sku + "\r\n" +
                             base + "/home");
    EXPECT_EQ(mail.envelopeFrom, kAccount);
    EXPECT_EQ(mail.envelopeTo, std::vector<std::string>{kRecipient});
    EXPECT_NE(mail.fromHeader.find(kAccount), std::string::npos) << mail.fromHeader;
    EXPECT_NE(mail.toHeader.find(kRecipient), std::string::npos) << mail.toHeader;
    bool loggedIn = false;
    for (const SmtpAuth& a : smtp.Auths()) loggedIn |= a.accepted && a.login == kAccount;
    EXPECT_TRUE(loggedIn);

    display.Run("xdotool windowfocus --sync " + window + " key Escape");
    int status = -1;
    ASSERT_TRUE(program.WaitExit(10s, &status)) << "Escape did not end the program";
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace velmora::testing
