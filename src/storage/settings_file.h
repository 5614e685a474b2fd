// The settings file "god.xin": the user's product number, region texts and
// mail settings, in the profile section "商品监控". It holds the mail password,
// so it is kept readable and writable by its owner only.
#pragma once

#include <filesystem>
#include <optional>

#include "core/text.h"

namespace velmora {

inline constexpr char kSettingsFileName[] = "god.xin";

struct Settings {
    Text sku;
    Text province;
    Text city;
    Text area;
    Text mailAccount;
    Text mailPassword;
    Text mailRecipient;

    bool operator==(const Settings&) const = default;
};

// The section name and the seven keys, code page 936, in the order they are
// written and read.
const Text& SettingsSection();
const Text& SettingsKey(int index);  // 0..6, in the field order of Settings
inline constexpr int kSettingsKeyCount = 7;

// nullopt when no file exists, so the window keeps its initial texts.
// Otherwise every key's value, or its default when missing: empty for the
// product and region keys, the key's own name for the mail keys.
std::optional<Settings> LoadSettingsFile(const std::filesystem::path& path);
// Writes the seven keys, keeping every other line of the file; false when the
// file could not be written (the caller goes on all the same).
bool SaveSettingsFile(const std::filesystem::path& path, const Settings& settings);

}  // namespace velmora
