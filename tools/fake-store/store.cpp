#include "store.h"

#include <cstdlib>
#include <map>
#include <random>

#include "answers.h"
#include "districts.h"
#include "encoding.h"
#include "pictures.h"

namespace fakestore {
namespace {

// Raw query parameters, first occurrence wins; values stay undecoded, since the
// program sends its fields unencoded.
std::map<std::string, std::string> Params(const std::string& query) {
    std::map<std::string, std::string> params;
    std::size_t start = 0;
    while (start <= query.size()) {
        std::size_t amp = query.find('&', start);
        if (amp == std::string::npos) amp = query.size();
        std::string pair = query.substr(start, amp - start);
        std::size_t eq = pair.find('=');
        std::string key = pair.substr(0, eq);
        std::string value = eq == std::string::npos ? std::string() : pair.substr(eq + 1);
        if (!key.empty()) params.emplace(key, value);
        start = amp + 1;
    }
    return params;
}

std::string Get(const std::map<std::string, std::string>& params, const std::string& key) {
    auto it = params.find(key);
    return it == params.end() ? std::string() : it->second;
}

HttpResponse Text(int status, const std::string& reason, const std::string& body) {
    return HttpResponse{status, reason, {{"Content-Type", "text/plain; charset=utf-8"}}, body};
}

HttpResponse Ok(const std::string& type, std::string body) {
    return HttpResponse{200, "OK", {{"Content-Type", type}}, std::move(body)};
}

HttpResponse NotFound() { return Text(404, "Not Found", "not found\n"); }

int IntParam(const std::map<std::string, std::string>& params, const std::string& key,
             int fallback) {
    std::string v = Get(params, key);
    if (v.empty() || v.size() > 6 || v.find_first_not_of("0123456789") != std::string::npos)
        return fallback;
    return std::atoi(v.c_str());
}

// "/<sku>.html" (one path segment) gives the sku; anything else is empty.
std::string ProductPageSku(const std::string& path) {
    const std::string suffix = ".html";
    if (path.size() <= 1 + suffix.size() || path[0] != '/' ||
        path.compare(path.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    std::string sku = path.substr(1, path.size() - 1 - suffix.size());
    return sku.find('/') == std::string::npos ? sku : std::string();
}

std::string ProductText(const Product& p) {
    auto opt = [](const std::optional<std::string>& v) { return v ? *v : std::string("none"); };
    return "name=" + p.name + "\nvender=" + p.venderId + "\ncat=" + p.cat + "\nstock=" +
           opt(p.stock) + "\npc=" + opt(p.pc) + "\nmobile=" + opt(p.mobile) +
           "\nwechat=" + opt(p.wechat) + "\n";
}

}  // namespace

Store::Store(RequestLog* log, Scenario* scenario, std::string bannerPng)
    : log_(log), scenario_(scenario), bannerPng_(std::move(bannerPng)) {}

HttpResponse Store::Handle(const HttpRequest& req) {
    const std::string path = req.Path();
    if (path.rfind("/__admin/", 0) == 0) return Admin(req);
    if (log_) log_->Write(req);
    if (scenario_) scenario_->ApplyDue(products_);
    if (auto rule = modes_.Take(path)) return Hostile(req, *rule);
    return Answer(req);
}

HttpResponse Store::Answer(const HttpRequest& req) {
    const std::string path = req.Path();
    const auto params = Params(req.Query());
    const std::string js = "text/javascript; charset=gbk";

    if (path == "/stock") {
        std::string sku = Get(params, "skuId");
        return Ok(js, StockAnswer(sku, Get(params, "area"), products_.Get(sku)));
    }
    if (path == "/prices/get") {
        std::string sku = Get(params, "skuid");
        if (sku.rfind("J_", 0) == 0) sku = sku.substr(2);
        return Ok(js, PriceAnswer(sku, products_.Get(sku)));
    }
    if (path == "/promoinfo/get") {
        std::string sku = Get(params, "id");
        return Ok(js, PromotionAnswer(sku, products_.Get(sku)));
    }
    if (path == "/prices/pcpmgets") {
        std::string sku = Get(params, "skuids");
        sku = sku.substr(0, sku.find(','));
        return Ok(js, MobilePriceAnswer(sku, products_.Get(sku)));
    }
    if (path == "/index.php" && Get(params, "act") == "getchild_jddist")
        return Ok("text/html; charset=gbk", DistrictAnswer(Get(params, "pid")));
    if (path == "/api.php") {
        // The text is everything after "&text=", as sent: it may hold "?", "=" and "&".
        const std::string marker = "&text=";
        std::size_t at = req.target.find(marker);
        std::string text = at == std::string::npos ? std::string()
                                                   : req.target.substr(at + marker.size());
        QrStyle style{Get(params, "bg"), Get(params, "fg"), Get(params, "pt"),
                      Get(params, "inpt"), IntParam(params, "w", 200), IntParam(params, "m", 10),
                      IntParam(params, "el", 2)};
        std::string png = text.empty() ? std::string() : QrPng(text, style);
        if (png.empty()) return Text(400, "Bad Request", "no text to encode\n");
        return Ok("image/png", std::move(png));
    }
    if (path == "/banner.png") return Ok("image/png", bannerPng_);
    if (path == "/")
        return Ok("text/html; charset=utf-8",
                  SimplePage("Velmora", "京东商品价格与库存监控。降价、到货，第一时间提醒你。"));
    if (path == "/feedback")
        return Ok("text/html; charset=utf-8",
                  SimplePage("问题反馈", "请把问题和建议写信告诉我们。"));
    if (path.rfind("/product/", 0) == 0) {
        std::string sku = ProductPageSku(path.substr(8));
        if (sku.empty()) return NotFound();
        return Ok("text/html; charset=utf-8",
                  SimplePage(products_.Get(sku).name, "手机版商品页 " + sku));
    }
    if (path == "/item/view") {
        std::string sku = Get(params, "sku");
        return Ok("text/html; charset=utf-8",
                  SimplePage(products_.Get(sku).name, "微信购物商品页 " + sku));
    }
    if (std::string sku = ProductPageSku(path); !sku.empty())
        return Ok("text/html; charset=gbk", ProductPage(sku, products_.Get(sku)));
    return NotFound();
}

HttpResponse Store::Admin(const HttpRequest& req) {
    const std::string path = req.Path();
    std::map<std::string, std::string> params;
    for (const auto& [k, v] : Params(req.Query()))
        params[PercentDecoded(k, true)] = PercentDecoded(v, true);

    if (path == "/__admin/set" || path == "/__admin/get") {
        const std::string sku = Get(params, "sku");
        if (sku.empty()) return Text(400, "Bad Request", "sku missing\n");
        if (scenario_) scenario_->ApplyDue(products_);
        if (path == "/__admin/set") {
            params.erase("sku");
            if (!products_.Change(sku, params)) return Text(400, "Bad Request", "unknown key\n");
        }
        return Text(200, "OK", ProductText(products_.Get(sku)));
    }
    if (path == "/__admin/mode") {
        auto mode = ModeFromName(Get(params, "mode"));
        if (!mode) return Text(400, "Bad Request", "unknown mode\n");
        ModeRule rule;
        rule.mode = *mode;
        rule.intervalMs = IntParam(params, "interval_ms", rule.intervalMs);
        rule.times = IntParam(params, "times", 0);
        if (std::string size = Get(params, "size"); !size.empty())
            rule.size = std::strtoull(size.c_str(), nullptr, 10);
        rule.withoutLength = Get(params, "length") == "none";
        rule.side = IntParam(params, "side", rule.side);
        std::string prefix = Get(params, "path");
        modes_.Set(prefix.empty() ? "/" : prefix, rule);
        return Text(200, "OK", "ok\n");
    }
    if (path == "/__admin/reset") {
        products_.Reset();
        modes_.Clear();
        return Text(200, "OK", "ok\n");
    }
    if (path == "/__admin/quit") {
        HttpResponse bye = Text(200, "OK", "bye\n");
        bye.stopServer = true;
        return bye;
    }
    return NotFound();
}

HttpResponse Store::Hostile(const HttpRequest& req, const ModeRule& rule) {
    HttpResponse resp;
    switch (rule.mode) {
        case Mode::Normal:
            return Answer(req);
        case Mode::Stall:
            resp.delivery = Delivery::Stall;
            return resp;
        case Mode::Trickle:
            resp = Answer(req);
            resp.delivery = Delivery::Trickle;
            resp.intervalMs = rule.intervalMs;
            return resp;
        case Mode::Huge:
            resp.delivery = Delivery::Huge;
            resp.size = rule.size;
            resp.withoutLength = rule.withoutLength;
            resp.headers = {{"Content-Type", "text/html; charset=gbk"}};
            return resp;
        case Mode::Garbage:
        case Mode::Junk: {
            // Fixed seed: the same bytes every time, zero bytes and markers' pieces included.
            std::mt19937 random(936);
            std::string bytes(4096, '\0');
            for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
            if (rule.mode == Mode::Garbage) {
                resp.delivery = Delivery::Garbage;
                resp.body = "\x01\x02 not http \xff\xfe\r\n" + bytes;
            } else {
                resp.headers = {{"Content-Type", "application/octet-stream"}};
                resp.body = "\"StockStateName\":\"\"p\":\"" + bytes;
            }
            return resp;
        }
        case Mode::Truncate:
            resp = Answer(req);
            resp.delivery = Delivery::Truncate;
            return resp;
        case Mode::RedirectLoop:
            return HttpResponse{302, "Found", {{"Location", req.target}}, "again\n"};
        case Mode::Reset:
            resp.delivery = Delivery::Reset;
            return resp;
        case Mode::Bomb:
            return Ok("image/png", PngBomb(rule.side));
    }
    return Answer(req);
}

}  // namespace fakestore
