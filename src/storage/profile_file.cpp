#include "storage/profile_file.h"

#include <vector>

#include "core/atomic_file.h"
#include "storage/file_io.h"

namespace velmora {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLead(char c, bool doubleByte) { return doubleByte && static_cast<unsigned char>(c) >= 0x80; }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

Text Trimmed(const Text& text) {
    size_t b = 0;
    size_t e = text.size();
    while (b < e && IsBlank(text[b])) ++b;
    while (e > b && IsBlank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// Names are equal with ASCII letters folded at character starts; both bytes of
// a two-byte character must match exactly.
bool NamesEqual(const Text& a, const Text& b, bool doubleByte) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (IsLead(a[i], doubleByte)) {
            if (a[i] != b[i] || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Position of `wanted` in [from, to), walking whole characters; `npos` if none.
size_t FindChar(const Bytes& s, size_t from, size_t to, char wanted, bool doubleByte) {
    for (size_t i = from; i < to; ++i) {
        if (s[i] == wanted) return i;
        if (IsLead(s[i], doubleByte)) ++i;
    }
    return Bytes::npos;
}

struct Line {
    enum Kind { Other, Header, Pair } kind = Other;
    size_t begin = 0;         // first byte of the line
    size_t next = 0;          // first byte of the next line
    bool terminated = false;  // ends with "\n"
    bool blank = true;        // nothing but spaces and tabs
    Text name;                // section name or key, trimmed
    Bytes value;              // raw value, blanks around it removed
};

Line ParseLine(const Bytes& s, size_t begin, size_t next, bool terminated, bool doubleByte) {
    Line line;
    line.begin = begin;
    line.next = next;
    line.terminated = terminated;
    size_t e = terminated ? next - 1 : next;
    if (e > begin && s[e - 1] == '\r') --e;
    size_t b = begin;
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    if (b == e) return line;
    line.blank = false;

    if (s[b] == '[') {
        size_t close = FindChar(s, b + 1, e, ']', doubleByte);
        if (close == Bytes::npos) return line;
        line.kind = Line::Header;
        line.name = Trimmed(s.substr(b + 1, close - b - 1));
        return line;
    }
    line.kind = Line::Pair;
    size_t eq = FindChar(s, b, e, '=', doubleByte);
    if (eq == Bytes::npos) {
        line.name = s.substr(b, e - b);
        return line;
    }
    line.name = Trimmed(s.substr(b, eq - b));
    size_t vb = eq + 1;
    while (vb < e && IsBlank(s[vb])) ++vb;
    line.value = s.substr(vb, e - vb);
    return line;
}

std::vector<Line> ParseLines(const Bytes& s, bool doubleByte) {
    std::vector<Line> lines;
    size_t begin = 0;
    while (begin < s.size()) {
        size_t nl = s.find('\n', begin);
        bool terminated = nl != Bytes::npos;
        size_t next = terminated ? nl + 1 : s.size();
        lines.push_back(ParseLine(s, begin, next, terminated, doubleByte));
        begin = next;
    }
    return lines;
}

// Index of the first header naming `section`, or -1.
int FindSection(const std::vector<Line>& lines, const Text& section, bool doubleByte) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind == Line::Header && NamesEqual(lines[i].name, section, doubleByte)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Index of the key's line in the section that starts at `header`, or -1.
int FindKey(const std::vector<Line>& lines, int header, const Text& key, bool doubleByte) {
    for (size_t i = header + 1; i < lines.size() && lines[i].kind != Line::Header; ++i) {
        if (lines[i].kind == Line::Pair && NamesEqual(lines[i].name, key, doubleByte)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Text FitBuffer(Text value, size_t bufferSize) {
    size_t limit = bufferSize == 0 ? 0 : bufferSize - 1;
    if (value.size() > limit) value.resize(limit);
    return value;
}

// What the profile API hands back for a stored value.
Text ReadValue(Bytes value, size_t bufferSize) {
    value = BytesToText(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return FitBuffer(std::move(value), bufferSize);
}

Text SingleLine(const Text& value) { return value.substr(0, value.find_first_of("\r\n")); }

}  // namespace

std::optional<Text> FindProfileValue(const Bytes& content, const Text& section, const Text& key,
                                     const ProfileOptions& options) {
    Text wantedSection = Trimmed(section);
    Text wantedKey = Trimmed(key);
    if (wantedKey.empty()) return std::nullopt;
    std::vector<Line> lines = ParseLines(content, options.doubleByte);
    int header = FindSection(lines, wantedSection, options.doubleByte);
    if (header < 0) return std::nullopt;
    int at = FindKey(lines, header, wantedKey, options.doubleByte);
    if (at < 0) return std::nullopt;
    return ReadValue(lines[at].value, options.bufferSize);
}

Bytes WithProfileValue(const Bytes& content, const Text& section, const Text& key,
                       const Text& value, const ProfileOptions& options) {
    Text sectionName = Trimmed(section);
    Text keyName = Trimmed(key);
    if (keyName.empty()) return content;
    Bytes newLine = keyName + "=" + SingleLine(value) + "\r\n";

    std::vector<Line> lines = ParseLines(content, options.doubleByte);
    int header = FindSection(lines, sectionName, options.doubleByte);
    if (header < 0) {
        Bytes out = content;
        if (!out.empty() && out.back() != '\n') out += "\r\n";
        out += "[" + sectionName + "]\r\n" + newLine;
        return out;
    }
    int at = FindKey(lines, header, keyName, options.doubleByte);
    if (at >= 0) {
        const Line& old = lines[at];
        return content.substr(0, old.begin) + newLine + content.substr(old.next);
    }
    // A new key goes after the section's last non-blank line, before any blank
    // lines that separate it from the next section.
    int last = header;
    for (size_t i = header + 1; i < lines.size() && lines[i].kind != Line::Header; ++i) {
        if (!lines[i].blank) last = static_cast<int>(i);
    }
    const Line& after = lines[last];
    Bytes out = content.substr(0, after.next);
    if (!after.terminated) out += "\r\n";
    out += newLine;
    out += content.substr(after.next);
    return out;
}

Text ReadProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                       const Text& defaultValue, const ProfileOptions& options) {
    std::optional<Bytes> content = ReadFileBytes(path);
    std::optional<Text> value;
    if (content) value = FindProfileValue(*content, section, key, options);
    return value ? *value : FitBuffer(defaultValue, options.bufferSize);
}

bool WriteProfileString(const std::filesystem::path& path, const Text& section, const Text& key,
                        const Text& value, const ProfileOptions& options) {
    std::error_code ec;
    std::optional<Bytes> content = ReadFileBytes(path);
    // A file that exists but cannot be read must not be replaced by one that
    // has lost its other lines.
    if (!content && std::filesystem::exists(path, ec)) return false;
    return WriteProfileFile(
        path, WithProfileValue(content.value_or(Bytes()), section, key, value, options));
}

bool WriteProfileFile(const std::filesystem::path& path, const Bytes& content) {
    return WriteFileAtomically(path, content, 0600);
}

}  // namespace velmora
