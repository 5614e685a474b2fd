// A region list held in memory, standing where the window's combo box stands.
#pragma once

#include "services/region_catalogue.h"

namespace velmora::testing {

class MemoryDistrictList : public DistrictList {
public:
    explicit MemoryDistrictList(TextList items) : items_(std::move(items)) {}
    int ChosenIndex() const override { return chosen_; }
    Text CurrentText() const override {
        return chosen_ >= 0 && chosen_ < static_cast<int>(items_.size()) ? items_[chosen_] : Text();
    }
    void AppendItem(const Text& item) override { items_.push_back(item); }

    void Choose(int index) { chosen_ = index; }
    const TextList& Items() const { return items_; }

private:
    TextList items_;
    int chosen_ = 0;
};

}  // namespace velmora::testing
