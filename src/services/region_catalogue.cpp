#include "services/region_catalogue.h"

#include "core/escape.h"
#include "net/http_get.h"

namespace velmora {

const char* const kProvincePlaceholder = "\xD1\xA1\xD4\xF1\xCA\xA1\xB7\xDD";  // 选择省份
const char* const kCityPlaceholder = "\xD1\xA1\xD4\xF1\xB3\xC7\xCA\xD0";      // 选择城市
const char* const kAreaPlaceholder = "\xD1\xA1\xD4\xF1\xB5\xD8\xC7\xF8";      // 选择地区

const TextList& ProvinceItems() {
    static const TextList items = {
        "\xB1\xB1\xBE\xA9-1",           // 北京-1
        "\xC9\xCF\xBA\xA3-2",           // 上海-2
        "\xCC\xEC\xBD\xF2-3",           // 天津-3
        "\xD6\xD8\xC7\xEC-4",           // 重庆-4
        "\xBA\xD3\xB1\xB1-5",           // 河北-5
        "\xC9\xBD\xCE\xF7-6",           // 山西-6
        "\xBA\xD3\xC4\xCF-7",           // 河南-7
        "\xC1\xC9\xC4\xFE-8",           // 辽宁-8
        "\xBC\xAA\xC1\xD6-9",           // 吉林-9
        "\xBA\xDA\xC1\xFA\xBD\xAD-10",  // 黑龙江-10
        "\xC4\xDA\xC3\xC9\xB9\xC5-11",  // 内蒙古-11
        "\xBD\xAD\xCB\xD5-12",          // 江苏-12
        "\xC9\xBD\xB6\xAB-13",          // 山东-13
        "\xB0\xB2\xBB\xD5-14",          // 安徽-14
        "\xD5\xE3\xBD\xAD-15",          // 浙江-15
        "\xB8\xA3\xBD\xA8-16",          // 福建-16
        "\xBA\xFE\xB1\xB1-17",          // 湖北-17
        "\xBA\xFE\xC4\xCF-18",          // 湖南-18
        "\xB9\xE3\xB6\xAB-19",          // 广东-19
        "\xB9\xE3\xCE\xF7-20",          // 广西-20
        "\xBD\xAD\xCE\xF7-21",          // 江西-21
        "\xCB\xC4\xB4\xA8-22",          // 四川-22
        "\xBA\xA3\xC4\xCF-23",          // 海南-23
        "\xB9\xF3\xD6\xDD-24",          // 贵州-24
        "\xD4\xC6\xC4\xCF-25",          // 云南-25
        "\xCE\xF7\xB2\xD8-26",          // 西藏-26
        "\xC9\xC2\xCE\xF7-27",          // 陕西-27
        "\xB8\xCA\xCB\xE0-28",          // 甘肃-28
        "\xC7\xE0\xBA\xA3-29",          // 青海-29
        "\xC4\xFE\xCF\xC4-30",          // 宁夏-30
        "\xD0\xC2\xBD\xAE-31",          // 新疆-31
        "\xCC\xA8\xCD\xE5-32",          // 台湾-32
        "\xCF\xE3\xB8\xDB-33",          // 香港-33
        "\xB0\xC4\xC3\xC5-34",          // 澳门-34
        "\xB5\xF6\xD3\xE3\xB5\xBA-35",  // 钓鱼岛-35
    };
    return items;
}

TextList ProvinceListItems() {
    TextList items{kProvincePlaceholder};
    const TextList& provinces = ProvinceItems();
    items.insert(items.end(), provinces.begin(), provinces.end());
    return items;
}

Text DistrictRequestUrl(const Text& districtServiceBase, const Text& parentId) {
    return districtServiceBase + "/index.php?mod=ajax&act=getchild_jddist&pid=" + parentId;
}

namespace {

bool IsDecimalId(const Text& id) {
    if (id.empty()) return false;
    for (const char c : id) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// Bytes an id may be made of: digits and the spaces trimmed around it.
bool IsIdByte(char c) {
    return (c >= '0' && c <= '9') || c == ' ' || static_cast<unsigned char>(c) == 0xA1;
}

// Whether `marker` stands at 1-based position `at`, ASCII case ignored.
bool MarkerAt(const Text& text, const Text& marker, int at) {
    const Text piece = TextMid(text, at, TextLength(marker));
    return TextLength(piece) == TextLength(marker) && FindText(piece, marker, 1, true) == 1;
}

}  // namespace

TextList ParseDistricts(const Text& decoded) {
    // Each object ends with its id directly followed by its name:
    //   "id":"2800","aname":"海淀区"}
    // Reading the id and the name of one object together keeps them paired
    // even when some object has a blank or missing name. Every scan moves
    // forward from where the last one stopped, so a hostile answer costs time
    // in proportion to its length.
    static const Text kIdLeft = "\"id\":\"";
    static const Text kIdToName = "\",\"aname\":\"";
    static const Text kNameRight = "\"}";
    TextList items;
    const int length = TextLength(decoded);
    int from = 1;
    while (true) {
        const int idAt = FindText(decoded, kIdLeft, from, true);
        if (idAt == -1) break;
        const int idStart = idAt + TextLength(kIdLeft);
        from = idStart;  // where to look next when this object is unusable
        int idEnd = idStart;
        while (idEnd <= length && IsIdByte(decoded[idEnd - 1])) ++idEnd;
        if (!MarkerAt(decoded, kIdToName, idEnd)) continue;
        const Text id = TrimSpaces(TextMid(decoded, idStart, idEnd - idStart));
        if (!IsDecimalId(id)) continue;

        const int nameStart = idEnd + TextLength(kIdToName);
        // A name holds no quote: the first one must close the object.
        const int quote = FindText(decoded, "\"", nameStart);
        if (quote == -1) break;
        from = quote;
        if (!MarkerAt(decoded, kNameRight, quote)) continue;
        const Text name = TrimSpaces(TextMid(decoded, nameStart, quote - nameStart));
        if (!name.empty()) items.push_back(name + "-" + id);
        from = quote + TextLength(kNameRight);
    }
    return items;
}

void FillChildDistricts(const DistrictList& source, DistrictList& target,
                        const Endpoints& endpoints) {
    // The placeholder (or no choice at all) has no children to ask for.
    if (source.ChosenIndex() <= 0) return;
    // Without a configured service there is nowhere to ask.
    if (endpoints.districtServiceBase.empty()) return;
    const Text parentId = TextAfterLast(source.CurrentText(), "-");
    const Text url = DistrictRequestUrl(endpoints.districtServiceBase, parentId);
    const Text decoded = DecodeUnicodeEscapes(BytesToText(HttpGet(url)));
    if (decoded.empty()) return;
    for (const Text& item : ParseDistricts(decoded)) target.AppendItem(item);
}

}  // namespace velmora
