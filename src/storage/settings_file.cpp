#include "storage/settings_file.h"

#include <array>

#include "storage/file_io.h"
#include "storage/profile_file.h"

namespace velmora {

namespace {

// 商品监控
const Text kSection = "\xc9\xcc\xc6\xb7\xbc\xe0\xbf\xd8";

// 商品编号, 省份, 城市, 地区, 发邮件账号, 发邮件密码, 收邮件地址
const std::array<Text, kSettingsKeyCount> kKeys = {
    "\xc9\xcc\xc6\xb7\xb1\xe0\xba\xc5",
    "\xca\xa1\xb7\xdd",
    "\xb3\xc7\xca\xd0",
    "\xb5\xd8\xc7\xf8",
    "\xb7\xa2\xd3\xca\xbc\xfe\xd5\xcb\xba\xc5",
    "\xb7\xa2\xd3\xca\xbc\xfe\xc3\xdc\xc2\xeb",
    "\xca\xd5\xd3\xca\xbc\xfe\xb5\xd8\xd6\xb7",
};

// The mail keys default to their own names.
bool DefaultsToKeyName(int index) { return index >= 4; }

std::array<Text*, kSettingsKeyCount> Fields(Settings& s) {
    return {&s.sku,         &s.province,     &s.city,         &s.area,
            &s.mailAccount, &s.mailPassword, &s.mailRecipient};
}

}  // namespace

const Text& SettingsSection() { return kSection; }

const Text& SettingsKey(int index) { return kKeys.at(static_cast<size_t>(index)); }

std::optional<Settings> LoadSettingsFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return std::nullopt;
    // A file that exists but cannot be read reads as one without the keys.
    Bytes content = ReadFileBytes(path).value_or(Bytes());
    Settings settings;
    std::array<Text*, kSettingsKeyCount> fields = Fields(settings);
    for (int i = 0; i < kSettingsKeyCount; ++i) {
        std::optional<Text> value = FindProfileValue(content, kSection, kKeys[i]);
        *fields[i] = value ? *value : (DefaultsToKeyName(i) ? kKeys[i] : Text());
    }
    return settings;
}

bool SaveSettingsFile(const std::filesystem::path& path, const Settings& settings) {
    std::error_code ec;
    std::optional<Bytes> content = ReadFileBytes(path);
    if (!content && std::filesystem::exists(path, ec)) return false;
    Bytes updated = content.value_or(Bytes());
    Settings copy = settings;
    std::array<Text*, kSettingsKeyCount> fields = Fields(copy);
    // Key by key, as separate profile writes would leave it, but one atomic
    // replacement of the file.
    for (int i = 0; i < kSettingsKeyCount; ++i) {
        updated = WithProfileValue(updated, kSection, kKeys[i], *fields[i]);
    }
    return WriteProfileFile(path, updated);
}

}  // namespace velmora
