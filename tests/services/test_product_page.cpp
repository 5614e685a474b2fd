// Cutting the vendor id, category and name out of a product page.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "fixtures.h"
#include "services/product_lookup.h"

namespace velmora {
namespace {

Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

TEST(ProductPageTest, RecordedPage) {
    const ProductInfo info = ParseProductPage(testing::Fixture("product_page.html"));
    EXPECT_EQ(info.vendorId, "1000000127");
    EXPECT_EQ(info.category, "737,752,753");
    EXPECT_EQ(info.productName, G("演示商品 智能电饭煲 4L"));
}

TEST(ProductPageTest, FieldsAndTrimming) {
    const Text intro = "<div id=\"product-intro\"><img src=\"a.jpg\" alt=\"N\"/></div>";
    struct Case {
        const char* what;
        Text page;
        Text vendorId, category, name;
    };
    const Case cases[] = {
        {"spaces around the vendor id go", "venderId: 1000 ,cat: [1,2,3]," + intro, "1000", "1,2,3",
         "N"},
        {"full-width spaces go too", G("venderId:　1000　,cat: [　1,2　],") + intro, "1000", "1,2",
         "N"},
        {"a tab or line break stays", "venderId:\t1000\n,cat: [1],", "\t1000\n", "1", ""},
        {"category needs the space after the colon", "venderId:7,cat:[1,2]," + intro, "7", "", "N"},
        {"category ends at \"],\", not at \"]\"", "cat: [1,[2]],", "", "1,[2]", ""},
        {"vendor id without a comma after it", "venderId:7 cat: [1]]", "", "", ""},
        {"first vendor id wins", "venderId:7,venderId:8,", "7", "", ""},
        {"name with quotes is cut at the first \"/>",
         "<div id=\"product-intro\"><img src=\"a\" alt=\"Say \"hi\" now\"/> x\"/></div>", "", "",
         "Say \"hi\" now"},
        {"name is not trimmed", "<div id=\"product-intro\"><img src=\"a\" alt=\"  N  \"/></div>",
         "", "", "  N  "},
        {"alt outside the intro block is ignored",
         "<img src=\"l\" alt=\"Logo\"/><div id=\"product-intro\"><span></span></div>"
         "<img src=\"d\" alt=\"Ad\"/>",
         "", "", ""},
        {"intro without a closing div", "<div id=\"product-intro\"><img src=\"a\" alt=\"N\"/>", "",
         "", ""},
        {"name needs the quote before alt", "<div id=\"product-intro\"><img alt=\"N\"/></div>", "",
         "", ""},
        {"empty page", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ProductInfo info = ParseProductPage(c.page);
        EXPECT_EQ(info.vendorId, c.vendorId);
        EXPECT_EQ(info.category, c.category);
        EXPECT_EQ(info.productName, c.name);
    }
}

}  // namespace
}  // namespace velmora
