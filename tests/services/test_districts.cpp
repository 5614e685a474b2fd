// The province list and the parsing of district answers.
#include <gtest/gtest.h>

#include "core/codepage.h"
#include "core/escape.h"
#include "district_list.h"
#include "fixtures.h"
#include "services/region_catalogue.h"

namespace velmora {
namespace {

Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

TEST(ProvinceListTest, PlaceholderThenThirtyFiveProvincesWhoseIdIsTheirIndex) {
    const TextList list = ProvinceListItems();
    ASSERT_EQ(list.size(), 36u);
    EXPECT_EQ(list[0], G("选择省份"));
    EXPECT_EQ(list[1], G("北京-1"));
    EXPECT_EQ(list[10], G("黑龙江-10"));
    EXPECT_EQ(list[23], G("海南-23"));
    EXPECT_EQ(list[35], G("钓鱼岛-35"));
    for (int i = 1; i <= 35; ++i) {
        EXPECT_EQ(TextToInt(TextAfterLast(list[i], "-")), i) << Utf8FromCp936(list[i]);
        EXPECT_EQ(Cp936FromUtf8(Utf8FromCp936(list[i])), list[i]);  // well-formed code page 936
    }
    EXPECT_EQ(Text(kCityPlaceholder), G("选择城市"));
    EXPECT_EQ(Text(kAreaPlaceholder), G("选择地区"));
}

TEST(ParseDistrictsTest, AnswersPlainAndEscaped) {
    struct Case {
        const char* what;
        Text answer;  // as it arrives; decoded before parsing
        TextList items;
    };
    const Case cases[] = {
        {"plain name", G("[{\"id\":\"2800\",\"aname\":\"海淀区\"}]"), {G("海淀区-2800")}},
        {"escaped name", testing::Fixture("district_answer_escaped.txt"), {G("海淀区-2800")}},
        {"several objects in answer order, other fields before the id",
         G("[{\"pid\":\"1\",\"level\":\"2\",\"id\":\"72\",\"aname\":\"朝阳区\"},"
           "{\"pid\":\"1\",\"level\":\"2\",\"id\":\"2800\",\"aname\":\"海淀区\"}]"),
         {G("朝阳区-72"), G("海淀区-2800")}},
        {"spaces around name and id are trimmed", "[{\"id\":\" 5 \",\"aname\":\"  A \"}]", {"A-5"}},
        {"markers in other letter case", "[{\"ID\":\"5\",\"ANAME\":\"E\"}]", {"E-5"}},
        {"a blank name drops its own object only",
         G("[{\"id\":\"1\",\"aname\":\"A\"},{\"id\":\"2\",\"aname\":\"　 \"},"
           "{\"id\":\"3\",\"aname\":\"C\"}]"),
         {"A-1", "C-3"}},
        {"an object without an id is left out",
         "[{\"aname\":\"A\"},{\"id\":\"2\",\"aname\":\"B\"}]",
         {"B-2"}},
        {"an object without a name is left out",
         "[{\"id\":\"1\",\"x\":\"y\"},{\"id\":\"2\",\"aname\":\"B\"}]",
         {"B-2"}},
        {"a name running into the next object is left out",
         "[{\"id\":\"1\",\"aname\":\"A\",\"x\":1},{\"id\":\"2\",\"aname\":\"B\"}]",
         {"B-2"}},
        {"a last object without its closing marker ends the list",
         "[{\"id\":\"1\",\"aname\":\"A\"},{\"id\":\"2\",\"aname\":\"B",
         {"A-1"}},
        {"no markers", "<html>502 Bad Gateway</html>", {}},
        {"empty answer", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseDistricts(DecodeUnicodeEscapes(c.answer)), c.items);
    }
}

TEST(ParseDistrictsTest, HostileAnswersEndInTimeProportionalToTheirLength) {
    // Many unfinished objects before one good one: every scan must move on.
    Text openIds;
    for (int i = 0; i < 150000; ++i) openIds += "\"id\":\"1";
    EXPECT_EQ(ParseDistricts(openIds + "\",\"aname\":\"A\"}"), TextList{"A-1"});
    Text openNames;
    for (int i = 0; i < 100000; ++i) openNames += "{\"id\":\"1\",\"aname\":\"x\",";
    EXPECT_EQ(ParseDistricts(openNames + "\"}"), TextList{});
}

TEST(FillChildDistrictsTest, NothingAskedWithoutChoiceOrService) {
    Endpoints noService;  // no district service by default
    testing::MemoryDistrictList provinces(ProvinceListItems());
    testing::MemoryDistrictList cities({kCityPlaceholder});
    provinces.Choose(1);
    FillChildDistricts(provinces, cities, noService);
    EXPECT_EQ(cities.Items(), TextList{kCityPlaceholder});
}

}  // namespace
}  // namespace velmora
