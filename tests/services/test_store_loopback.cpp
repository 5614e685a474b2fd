// Every service against the simulated store over loopback: the requests it
// receives, byte for byte with their headers, and what comes back.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "district_list.h"
#include "services/item_query.h"
#include "services/product_lookup.h"
#include "services/region_catalogue.h"
#include "store_fixture.h"

namespace velmora {
namespace {

using testing::ExpectHttpGet;
using testing::LoggedRequest;
using testing::PercentEncoded;

Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

class LoopbackTest : public testing::StoreTest {};

TEST_F(LoopbackTest, LookupProductReadsThePage) {
    const ProductInfo known = LookupProduct("1743535", endpoints_);
    EXPECT_EQ(known.vendorId, "1000000127");
    EXPECT_EQ(known.category, "737,752,753");
    EXPECT_EQ(known.productName, G("Velmora 演示商品 智能电饭煲 4L"));

    ASSERT_TRUE(store_->Set("555", "name=" + PercentEncoded("  双引号\"前 后  ") +
                                       "&vender=77&cat=" + PercentEncoded("1, 2,3")));
    const ProductInfo changed = LookupProduct("555", endpoints_);
    EXPECT_EQ(changed.vendorId, "77");
    EXPECT_EQ(changed.category, "1, 2,3");
    EXPECT_EQ(changed.productName, G("  双引号\"前 后  "));

    const auto requests = store_->Requests();
    ASSERT_EQ(requests.size(), 2u);
    ExpectHttpGet(requests[0], store_->Base() + "/1743535.html", "/1743535.html");
    ExpectHttpGet(requests[1], store_->Base() + "/555.html", "/555.html");
}

TEST_F(LoopbackTest, LookupProductWithStoreGone) {
    Endpoints gone = endpoints_;
    gone.productPageBase = "http://127.0.0.1:" + std::to_string(testing::UnusedPort());
    const ProductInfo info = LookupProduct("1743535", gone);
    EXPECT_EQ(info.vendorId, "");
    EXPECT_EQ(info.category, "");
    EXPECT_EQ(info.productName, "");
}

TEST_F(LoopbackTest, QueryItemSendsFourRequestsInOrderAndCutsTheAnswers) {
    ASSERT_TRUE(store_->Set("100012043978", "stock=" + PercentEncoded("无货") +
                                                "&pc=349.00&mobile=339.00&wechat=345.00"));
    const ItemCells row{"100012043978", G("北京-1#海淀区-2800+三环以内-2848"), "1000000904",
                        "670,686,690"};
    const ItemQuery q = QueryItem(row, endpoints_);
    EXPECT_EQ(q.stockState, G("无货"));
    EXPECT_EQ(q.pricePc, "349.00");
    EXPECT_EQ(q.priceMobile, "339.00");
    EXPECT_EQ(q.priceWechat, "345.00");
    EXPECT_EQ(q.combinedStatus, G("无货 |当前价格：349.00/339.00"));

    const ItemQueryUrls urls = BuildItemQueryUrls(row, endpoints_);
    const Text base = store_->Base();
    const Text paths[] = {
        "/stock?skuId=100012043978&venderId=1000000904&cat=670,686,690&area=1_2800_2848_0"
        "&buyNum=1&extraParam={%22originid%22:%221%22}&ch=1&callback=getStockCallback",
        "/prices/get?skuid=J_100012043978&type=1&area=1_2800_2848&callback=cnp",
        "/promoinfo/get?id=100012043978&area=1_2800_2848_0&origin=1&callback=Promotions.set",
        "/prices/pcpmgets?skuids=100012043978&origin=4&source=wxsq&area=1_2800_2848"
        "&callback=singlePrice&g_ty=ls",
    };
    const Text sent[] = {urls.stock, urls.price, urls.promo, urls.mobile};
    const auto requests = store_->Requests();
    ASSERT_EQ(requests.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(sent[i], base + paths[i]);
        ExpectHttpGet(requests[i], sent[i], paths[i]);
    }
}

TEST_F(LoopbackTest, QueryItemMissesAndEmptyRegion) {
    struct Case {
        const char* what;
        std::string change;
        Text state, pc, mobile, wechat;
    };
    const Case cases[] = {
        {"no promotion price: mobile is the PC price",
         "stock=" + PercentEncoded("现货") + "&pc=88.00&mobile=none&wechat=87.00", G("现货"),
         "88.00", "88.00", "87.00"},
        {"no PC price and no promotion price", "pc=none&mobile=none&wechat=87.00", G("现货"), "",
         "", "87.00"},
        {"no WeChat price", "pc=88.00&mobile=80.00&wechat=none", G("现货"), "88.00", "80.00", ""},
        {"no stock state: nothing at all", "stock=none&pc=88.00&mobile=80.00&wechat=87.00", "", "",
         "", ""},
    };
    size_t seen = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(store_->Set("42", c.change));
        const ItemQuery q = QueryItem({"42", "", "", ""}, endpoints_);
        EXPECT_EQ(q.stockState, c.state);
        EXPECT_EQ(q.pricePc, c.pc);
        EXPECT_EQ(q.priceMobile, c.mobile);
        EXPECT_EQ(q.priceWechat, c.wechat);
        // All four are asked every time, the empty region as its bare underscores.
        const auto requests = store_->Requests();
        ASSERT_EQ(requests.size(), seen + 4);
        EXPECT_EQ(requests[seen].requestLine,
                  "GET /stock?skuId=42&venderId=&cat=&area=___0&buyNum=1&extraParam="
                  "{%22originid%22:%221%22}&ch=1&callback=getStockCallback HTTP/1.1");
        EXPECT_EQ(requests[seen + 1].requestLine,
                  "GET /prices/get?skuid=J_42&type=1&area=__&callback=cnp HTTP/1.1");
        EXPECT_EQ(requests[seen + 3].requestLine,
                  "GET /prices/pcpmgets?skuids=42&origin=4&source=wxsq&area=__"
                  "&callback=singlePrice&g_ty=ls HTTP/1.1");
        seen = requests.size();
    }
}

TEST_F(LoopbackTest, QueryItemWithServicesGone) {
    Endpoints gone = endpoints_;
    gone.stockServiceBase = gone.priceServiceBase = gone.promoServiceBase =
        gone.mobilePriceServiceBase = "http://127.0.0.1:" + std::to_string(testing::UnusedPort());
    const ItemQuery q = QueryItem({"1743535", G("北京-1#朝阳区-72+三环以内-2799"), "1", "2"}, gone);
    EXPECT_EQ(q.stockState, "");
    EXPECT_EQ(q.combinedStatus, "");
    EXPECT_EQ(q.pricePc, "");
}

TEST_F(LoopbackTest, ChoosingProvincesAndCitiesAppendsTheirChildren) {
    testing::MemoryDistrictList provinces(ProvinceListItems());
    testing::MemoryDistrictList cities({kCityPlaceholder});
    testing::MemoryDistrictList areas({kAreaPlaceholder});

    // The placeholder asks nothing.
    provinces.Choose(0);
    FillChildDistricts(provinces, cities, endpoints_);
    EXPECT_TRUE(store_->Requests().empty());
    EXPECT_EQ(cities.Items(), TextList{kCityPlaceholder});

    // Beijing's districts arrive escaped.
    provinces.Choose(1);
    FillChildDistricts(provinces, cities, endpoints_);
    const TextList beijing = {kCityPlaceholder, G("朝阳区-72"),   G("海淀区-2800"),
                              G("西城区-2801"), G("东城区-2802"), G("丰台区-2805")};
    EXPECT_EQ(cities.Items(), beijing);

    // A second province's cities follow the first one's.
    provinces.Choose(2);
    FillChildDistricts(provinces, cities, endpoints_);
    TextList both = beijing;
    for (const char* city : {"黄浦区-3021", "徐汇区-3022", "浦东新区-3023"})
        both.push_back(G(city));
    EXPECT_EQ(cities.Items(), both);

    // A city's areas, from an answer in plain code page 936.
    cities.Choose(6);  // 黄浦区-3021
    FillChildDistricts(cities, areas, endpoints_);
    const TextList huangpu = {kAreaPlaceholder, G("城区-30211"), G("高新区-30212"),
                              G("经济开发区-30213"), G("郊县-30214")};
    EXPECT_EQ(areas.Items(), huangpu);

    // A district without children adds nothing; the chosen texts never change.
    areas.Choose(1);
    testing::MemoryDistrictList none({"x"});
    FillChildDistricts(areas, none, endpoints_);
    EXPECT_EQ(none.Items(), TextList{"x"});

    const auto requests = store_->Requests();
    ASSERT_EQ(requests.size(), 4u);
    const char* pids[] = {"1", "2", "3021", "30211"};
    for (int i = 0; i < 4; ++i) {
        const Text path = std::string("/index.php?mod=ajax&act=getchild_jddist&pid=") + pids[i];
        ExpectHttpGet(requests[i], store_->Base() + path, path);
    }
}

TEST_F(LoopbackTest, DistrictServiceGoneOrUnset) {
    testing::MemoryDistrictList provinces(ProvinceListItems());
    testing::MemoryDistrictList cities({kCityPlaceholder});
    provinces.Choose(1);
    Endpoints unset = endpoints_;
    unset.districtServiceBase.clear();
    FillChildDistricts(provinces, cities, unset);
    Endpoints gone = endpoints_;
    gone.districtServiceBase = "http://127.0.0.1:" + std::to_string(testing::UnusedPort());
    FillChildDistricts(provinces, cities, gone);
    EXPECT_EQ(cities.Items(), TextList{kCityPlaceholder});
    EXPECT_TRUE(store_->Requests().empty());
}

}  // namespace
}  // namespace velmora
