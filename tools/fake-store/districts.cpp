#include "districts.h"

#include <map>
#include <vector>

#include "encoding.h"

namespace fakestore {
namespace {

struct District {
    int id;
    const char* name;
};

// Beijing's first level below the province is its districts, as the store has it.
const std::vector<District> kBeijing = {
    {72, "朝阳区"}, {2800, "海淀区"}, {2801, "西城区"}, {2802, "东城区"}, {2805, "丰台区"}};

const std::map<int, std::vector<District>> kBeijingAreas = {
    {72, {{2799, "三环以内"}, {2819, "三环到四环之间"}, {2839, "四环到五环之间"}, {2840, "五环到六环之间"}}},
    {2800, {{2848, "三环以内"}, {2849, "三环到四环之间"}, {2850, "四环到五环之间"}}},
    {2801, {{2827, "内环到二环里"}, {2828, "二环到三环"}}},
    {2802, {{2821, "内环到三环里"}, {2822, "三环以外"}}},
    {2805, {{2829, "四环以内"}, {2830, "四环到五环之间"}, {2831, "五环以外"}}},
};

// Three cities for every other province (index = province id); names only, the
// ids are made from the province id so they never meet Beijing's.
const std::vector<std::vector<const char*>> kCities = {
    {}, {},
    {"黄浦区", "徐汇区", "浦东新区"},            // 2 上海
    {"和平区", "河西区", "滨海新区"},            // 3 天津
    {"渝中区", "江北区", "沙坪坝区"},            // 4 重庆
    {"石家庄市", "唐山市", "保定市"},            // 5 河北
    {"太原市", "大同市", "运城市"},              // 6 山西
    {"郑州市", "洛阳市", "开封市"},              // 7 河南
    {"沈阳市", "大连市", "鞍山市"},              // 8 辽宁
    {"长春市", "吉林市", "延边州"},              // 9 吉林
    {"哈尔滨市", "齐齐哈尔市", "大庆市"},        // 10 黑龙江
    {"呼和浩特市", "包头市", "鄂尔多斯市"},      // 11 内蒙古
    {"南京市", "苏州市", "无锡市"},              // 12 江苏
    {"济南市", "青岛市", "烟台市"},              // 13 山东
    {"合肥市", "芜湖市", "黄山市"},              // 14 安徽
    {"杭州市", "宁波市", "温州市"},              // 15 浙江
    {"福州市", "厦门市", "泉州市"},              // 16 福建
    {"武汉市", "宜昌市", "襄阳市"},              // 17 湖北
    {"长沙市", "株洲市", "岳阳市"},              // 18 湖南
    {"广州市", "深圳市", "东莞市"},              // 19 广东
    {"南宁市", "桂林市", "柳州市"},              // 20 广西
    {"南昌市", "九江市", "赣州市"},              // 21 江西
    {"成都市", "绵阳市", "乐山市"},              // 22 四川
    {"海口市", "三亚市", "儋州市"},              // 23 海南
    {"贵阳市", "遵义市", "六盘水市"},            // 24 贵州
    {"昆明市", "大理州", "丽江市"},              // 25 云南
    {"拉萨市", "日喀则市", "林芝市"},            // 26 西藏
    {"西安市", "宝鸡市", "延安市"},              // 27 陕西
    {"兰州市", "天水市", "酒泉市"},              // 28 甘肃
    {"西宁市", "海东市", "海西州"},              // 29 青海
    {"银川市", "石嘴山市", "吴忠市"},            // 30 宁夏
    {"乌鲁木齐市", "克拉玛依市", "喀什地区"},    // 31 新疆
    {"台北市", "高雄市", "台中市"},              // 32 台湾
    {"香港岛", "九龙", "新界"},                  // 33 香港
    {"澳门半岛", "氹仔岛", "路环岛"},            // 34 澳门
    {"钓鱼岛", "黄尾屿", "赤尾屿"},              // 35 钓鱼岛
};

const std::vector<const char*> kAreaNames = {"城区", "高新区", "经济开发区", "郊县"};

// City ids: 3000 + province * 10 + n; area ids: city id * 10 + n (n from 1).
int CityId(int province, int n) { return 3000 + province * 10 + n; }

std::string ObjectList(const std::vector<District>& items, bool escaped) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        const std::string name = escaped ? UnicodeEscaped(items[i].name) : GbkFromUtf8(items[i].name);
        out += "{\"id\":\"" + std::to_string(items[i].id) + "\",\"aname\":\"" + name + "\"}";
    }
    return out + "]";
}

}  // namespace

std::string DistrictAnswer(const std::string& pidText) {
    if (pidText.empty() || pidText.size() > 9 ||
        pidText.find_first_not_of("0123456789") != std::string::npos)
        return "[]";
    const int pid = std::stoi(pidText);
    if (pid == 1) return ObjectList(kBeijing, true);
    if (auto it = kBeijingAreas.find(pid); it != kBeijingAreas.end())
        return ObjectList(it->second, true);
    if (pid >= 2 && pid < static_cast<int>(kCities.size())) {
        std::vector<District> cities;
        for (std::size_t n = 0; n < kCities[pid].size(); ++n)
            cities.push_back({CityId(pid, static_cast<int>(n) + 1), kCities[pid][n]});
        return ObjectList(cities, true);
    }
    // A city of provinces 2-35: its areas, names in plain code page 936.
    const int province = (pid - 3000) / 10, n = (pid - 3000) % 10;
    if (pid > 3000 && province >= 2 && province < static_cast<int>(kCities.size()) && n >= 1 &&
        n <= static_cast<int>(kCities[province].size())) {
        std::vector<District> areas;
        for (std::size_t k = 0; k < kAreaNames.size(); ++k)
            areas.push_back({pid * 10 + static_cast<int>(k) + 1, kAreaNames[k]});
        return ObjectList(areas, false);
    }
    return "[]";
}

}  // namespace fakestore
