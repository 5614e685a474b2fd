// The region catalogue: the fixed province list, the placeholders of the three
// region lists, and the child districts fetched from the district service.
// Every item is a place name, "-" and the place's numeric id.
#pragma once

#include "core/endpoints.h"
#include "core/text.h"

namespace velmora {

// "选择省份", "选择城市", "选择地区" in code page 936.
extern const char* const kProvincePlaceholder;
extern const char* const kCityPlaceholder;
extern const char* const kAreaPlaceholder;

// The 35 province items, in list order; the list index of each is its id.
const TextList& ProvinceItems();
// The province list as the window shows it at start: the placeholder, then the provinces.
TextList ProvinceListItems();

// A drop-down list of region items, as the window's combo boxes present it.
class DistrictList {
public:
    virtual ~DistrictList() = default;
    virtual int ChosenIndex() const = 0;  // 0 is the placeholder
    virtual Text CurrentText() const = 0;
    virtual void AppendItem(const Text& item) = 0;
};

// The district service's address for the children of `parentId`.
Text DistrictRequestUrl(const Text& districtServiceBase, const Text& parentId);
// The items "name-id" of a decoded district answer, in answer order. Each
// object is read whole: one whose name or id is missing, blank or not a
// number is left out, so every item keeps its own object's id.
TextList ParseDistricts(const Text& decoded);
// Appends the children of the source list's chosen item to the target list.
// The placeholder, an empty service address or an unusable answer change nothing.
void FillChildDistricts(const DistrictList& source, DistrictList& target,
                        const Endpoints& endpoints);

}  // namespace velmora
