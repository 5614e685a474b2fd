// The profile reader and writer behind god.xin. Any content: writing one key
// and reading it back gives the value as the profile API hands it out, and
// every other key reads as before. The settings file: saving seven values into
// any existing file and loading it again gives those values back.
#include <filesystem>

#include "fuzz_support.h"
#include "storage/profile_file.h"
#include "storage/settings_file.h"

namespace velmora::fuzz {
namespace {

// A name that a line can carry: no bracket, "=", line break or zero byte, no
// surrounding blanks, and no lead byte without its second byte.
Text CleanName(Text t, bool doubleByte) {
    for (char& c : t) {
        if (c == '[' || c == ']' || c == '=' || c == '\r' || c == '\n' || c == ';') c = '_';
    }
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.erase(0, 1);
    for (;;) {
        while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.pop_back();
        size_t i = 0;
        while (i < t.size()) i += doubleByte && static_cast<unsigned char>(t[i]) >= 0x80 ? 2 : 1;
        if (i == t.size()) return t;
        t.pop_back();  // a lone lead byte; what is left may end in a blank again
    }
}

// What a written value reads back as: its first line, blanks around it
// removed, one pair of enclosing quotes removed, cut to the buffer.
Text ReadBack(const Text& value, size_t bufferSize) {
    Text v = value.substr(0, value.find_first_of("\r\n"));
    size_t b = v.find_first_not_of(" \t");
    v = b == Text::npos ? Text() : v.substr(b, v.find_last_not_of(" \t") - b + 1);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    if (v.size() > bufferSize - 1) v.resize(bufferSize - 1);
    return v;
}

}  // namespace
}  // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmora;
    using namespace velmora::fuzz;
    FuzzInput in(data, size);
    const uint8_t flags = in.Byte();
    ProfileOptions options;
    options.doubleByte = (flags & 1) == 0;
    options.bufferSize = (flags & 2) ? 16 : kProfileBufferSize;
    const Text section = CleanName(in.NextText(), options.doubleByte);
    const Text key = CleanName(in.NextText(), options.doubleByte);
    const Text otherKey = CleanName(in.NextText(), options.doubleByte);
    const Text value = in.NextText();
    const Bytes content = in.Rest();

    // Reading never fails on any content.
    (void)FindProfileValue(content, section, key, options);
    const std::optional<Text> otherBefore = FindProfileValue(content, section, otherKey, options);

    const Bytes written = WithProfileValue(content, section, key, value, options);
    if (!key.empty()) {
        const std::optional<Text> back = FindProfileValue(written, section, key, options);
        FUZZ_CHECK(back && *back == ReadBack(value, options.bufferSize));
        if (ToLowerCase(otherKey) != ToLowerCase(key)) {
            FUZZ_CHECK(FindProfileValue(written, section, otherKey, options) == otherBefore);
        }
    } else {
        FUZZ_CHECK(written == content);
    }

    // The settings file over the same content.
    const std::filesystem::path file = ScratchDir() / kSettingsFileName;
    FUZZ_CHECK(WriteProfileFile(file, content));
    (void)LoadSettingsFile(file);
    // Seven values taken from the value text, "|" between them.
    TextList pieces = SplitText(value, "|");
    pieces.resize(kSettingsKeyCount);
    Settings s{pieces[0], pieces[1], pieces[2], pieces[3], pieces[4], pieces[5], pieces[6]};
    Settings expected;
    Text* out[] = {&expected.sku,          &expected.province,    &expected.city,
                   &expected.area,         &expected.mailAccount, &expected.mailPassword,
                   &expected.mailRecipient};
    for (int i = 0; i < kSettingsKeyCount; ++i) *out[i] = ReadBack(pieces[i], kProfileBufferSize);
    FUZZ_CHECK(SaveSettingsFile(file, s));
    const std::optional<Settings> loaded = LoadSettingsFile(file);
    FUZZ_CHECK(loaded && *loaded == expected);
    FUZZ_CHECK((std::filesystem::status(file).permissions() & std::filesystem::perms::all) ==
               (std::filesystem::perms::owner_read | std::filesystem::perms::owner_write));
    return 0;
}
