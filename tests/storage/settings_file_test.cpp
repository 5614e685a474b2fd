#include "storage/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/codepage.h"
#include "scratch_dir.h"
#include "storage/profile_file.h"

namespace velmora {
namespace {

using testing::EntryCount;
using testing::ReadAll;
using testing::ScratchDir;
using testing::WriteAll;

Text G(const char* utf8) { return Cp936FromUtf8(utf8); }

// The window's texts at first start.
Settings InitialTexts() {
    return Settings{"1743535", "", "", "", G("发邮件设置"), G("发邮件设置"), G("收邮件设置")};
}

Bytes SevenKeys(const Settings& s) {
    return G("商品编号=") + s.sku + "\r\n" + G("省份=") + s.province + "\r\n" + G("城市=") +
           s.city + "\r\n" + G("地区=") + s.area + "\r\n" + G("发邮件账号=") + s.mailAccount +
           "\r\n" + G("发邮件密码=") + s.mailPassword + "\r\n" + G("收邮件地址=") +
           s.mailRecipient + "\r\n";
}

mode_t ModeOf(const std::filesystem::path& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 0777;
}

TEST(SettingsFile, FirstSaveCreatesTheSectionWithSevenKeysOwnerOnly) {
    ScratchDir dir;
    std::filesystem::path path = dir / kSettingsFileName;
    EXPECT_EQ(LoadSettingsFile(path), std::nullopt) << "no file: nothing read";

    ASSERT_TRUE(SaveSettingsFile(path, InitialTexts()));
    EXPECT_EQ(ReadAll(path), G("[商品监控]\r\n") + SevenKeys(InitialTexts()));
    EXPECT_EQ(ModeOf(path), 0600u);
    EXPECT_EQ(LoadSettingsFile(path), InitialTexts());

    // Saving the same values again changes no byte.
    const Bytes once = ReadAll(path);
    ASSERT_TRUE(SaveSettingsFile(path, InitialTexts()));
    EXPECT_EQ(ReadAll(path), once);
    EXPECT_EQ(EntryCount(dir.path()), 1) << "no temporary file stays behind";
}

TEST(SettingsFile, SaveReplacesItsKeysAndKeepsEveryOtherLine) {
    ScratchDir dir;
    std::filesystem::path path = dir / kSettingsFileName;
    const Bytes head = "; comment\r\n[Other]\r\nk=v\nodd line\r\n\r\n";
    const Bytes tail = "\r\n[Later]\r\n" + G("商品编号") + "=keep\r\n";
    WriteAll(path, head + G("[商品监控]\r\n地区=old\r\n  商品编号 = 42 \r\nx=y\r\n") + tail);
    chmod(path.c_str(), 0644);

    Settings s{"100", G("北京-1"),      G("朝阳区-72"), G("三环以内-2799"), "me@example.com",
               "pw",  "you@example.com"};
    ASSERT_TRUE(SaveSettingsFile(path, s));
    // Keys already present are replaced where they stand; the others follow
    // the section's last line, before the blank line that ends it.
    EXPECT_EQ(ReadAll(path),
              head + G("[商品监控]\r\n地区=三环以内-2799\r\n商品编号=100\r\nx=y\r\n") +
                  G("省份=北京-1\r\n城市=朝阳区-72\r\n发邮件账号=me@example.com\r\n") +
                  G("发邮件密码=pw\r\n收邮件地址=you@example.com\r\n") + tail);
    EXPECT_EQ(ModeOf(path), 0600u) << "the password file is made owner-only";
    EXPECT_EQ(LoadSettingsFile(path), s);
}

TEST(SettingsFile, ValuesWithLineBreaksCannotAddKeys) {
    ScratchDir dir;
    std::filesystem::path path = dir / kSettingsFileName;
    Settings s = InitialTexts();
    s.mailPassword = "secret\r\n" + G("收邮件地址") + "=evil@example.com";
    s.sku = "1\n[Other]";
    ASSERT_TRUE(SaveSettingsFile(path, s));
    Settings expected = InitialTexts();
    expected.mailPassword = "secret";
    expected.sku = "1";
    EXPECT_EQ(ReadAll(path), G("[商品监控]\r\n") + SevenKeys(expected));
    EXPECT_EQ(LoadSettingsFile(path), expected);
}

struct LoadCase {
    const char* what;
    Bytes file;
    Settings expected;
};

TEST(SettingsFile, LoadTable) {
    const Settings keyNames{"", "", "", "", G("发邮件账号"), G("发邮件密码"), G("收邮件地址")};
    Settings quoted = keyNames;
    quoted.mailPassword = "pass word";
    Settings spaced = keyNames;
    spaced.sku = "123";
    spaced.city = "a b";
    Settings halfQuoted = keyNames;
    halfQuoted.mailPassword = "\"pw";
    halfQuoted.mailRecipient = "'";
    Settings emptyQuotes = keyNames;
    emptyQuotes.mailPassword = "";
    emptyQuotes.mailAccount = "'x'";

    const LoadCase cases[] = {
        {"empty file", "", keyNames},
        {"only the section header", G("[商品监控]"), keyNames},
        {"another section only", G("[商品监控x]\r\n商品编号=1\r\n"), keyNames},
        {"key before any section", G("商品编号=1\r\n[商品监控]\r\n"), keyNames},
        {"double-quoted password", G("[商品监控]\r\n发邮件密码=\"pass word\"\r\n"), quoted},
        {"single-quoted password", G("[商品监控]\r\n发邮件密码='pass word'\r\n"), quoted},
        {"quotes inside spaces", G("[商品监控]\r\n发邮件密码=  \"pass word\"\t\r\n"), quoted},
        {"unpaired quotes stay", G("[商品监控]\r\n发邮件密码=\"pw\r\n收邮件地址='\r\n"),
         halfQuoted},
        {"quoted empty and nested", G("[商品监控]\r\n发邮件密码=\"\"\r\n发邮件账号=\"'x'\"\r\n"),
         emptyQuotes},
        {"spaces around names and values",
         G("  [ 商品监控 ]  \r\n \t商品编号\t =  123  \r\n城市= a b \r\n"), spaced},
        {"bare line feeds", G("[商品监控]\n商品编号=123\n城市=a b\n"), spaced},
        {"first of two keys wins", G("[商品监控]\r\n商品编号=123\r\n商品编号=9\r\n城市=a b\r\n"),
         spaced},
        {"only the first section counts",
         G("[商品监控]\r\n商品编号=123\r\n城市=a b\r\n[商品监控]\r\n省份=x\r\n"), spaced},
    };
    ScratchDir dir;
    std::filesystem::path path = dir / kSettingsFileName;
    for (const LoadCase& c : cases) {
        WriteAll(path, c.file);
        EXPECT_EQ(LoadSettingsFile(path), c.expected) << c.what;
    }
}

TEST(ProfileFile, NamesIgnoreAsciiCaseButNotDoubleByteCharacters) {
    const Bytes file =
        "[Endpoints]\r\nMailServerHost=a\r\n[\x81\x5D]\r\nk=inside\r\n\x81\x41=upper\r\n";
    EXPECT_EQ(FindProfileValue(file, "endpoints", "MAILSERVERHOST"), "a");
    EXPECT_EQ(FindProfileValue(file, " ENDPOINTS ", " mailserverhost "), "a");
    // 0x81 0x5D is one character whose second byte is the code of "]".
    EXPECT_EQ(FindProfileValue(file, "\x81\x5D", "k"), "inside");
    EXPECT_EQ(FindProfileValue(file, "\x81\x5D", "\x81\x41"), "upper");
    // Folding the second byte 0x41 ("A") would make this another character match.
    EXPECT_EQ(FindProfileValue(file, "\x81\x5D", "\x81\x61"), std::nullopt);
    EXPECT_EQ(FindProfileValue(file, "\x81\x5D", "mailserverhost"), std::nullopt);
}

TEST(ProfileFile, LongValuesAreCutToTheBuffer) {
    ScratchDir dir;
    std::filesystem::path path = dir / "p.ini";
    const Text longValue(20000, 'x');
    ASSERT_TRUE(WriteProfileString(path, "s", "k", longValue));
    ASSERT_TRUE(WriteProfileString(path, "s", "q", "\"" + longValue + "\""));
    EXPECT_EQ(ReadProfileString(path, "s", "k", "d"), Text(10239, 'x'));
    EXPECT_EQ(ReadProfileString(path, "s", "q", "d"), Text(10239, 'x'));
    const Text fits(10239, 'y');
    ASSERT_TRUE(WriteProfileString(path, "s", "k", fits));
    EXPECT_EQ(ReadProfileString(path, "s", "k", "d"), fits);
    EXPECT_EQ(ReadProfileString(path, "s", "missing", "d"), "d");
    EXPECT_EQ(ReadProfileString(dir / "none.ini", "s", "k", "d"), "d");
}

TEST(ProfileFile, WriteAddsKeysAndSectionsWhereTheyBelong) {
    struct Case {
        const char* what;
        Bytes before;
        Bytes after;  // after writing k=new into [s]
    };
    const Case cases[] = {
        {"empty file", "", "[s]\r\nk=new\r\n"},
        {"file without final line end", "[t]\r\nx=1", "[t]\r\nx=1\r\n[s]\r\nk=new\r\n"},
        {"header without line end", "[s]", "[s]\r\nk=new\r\n"},
        {"replaced in place", "[S]\r\na=1\r\n K = old \r\nb=2\r\n",
         "[S]\r\na=1\r\nk=new\r\nb=2\r\n"},
        {"appended before blank lines", "[s]\r\na=1\r\n\r\n\r\n[t]\r\n",
         "[s]\r\na=1\r\nk=new\r\n\r\n\r\n[t]\r\n"},
        {"key in another section untouched", "[t]\r\nk=1\r\n[s]\r\n",
         "[t]\r\nk=1\r\n[s]\r\nk=new\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WithProfileValue(c.before, "s", "k", "new"), c.after) << c.what;
    }
}

TEST(ProfileFile, AFileThatCannotBeReadIsNotReplaced) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "god.xin");
    EXPECT_FALSE(WriteProfileString(dir / "god.xin", "s", "k", "v"));
    EXPECT_FALSE(SaveSettingsFile(dir / "god.xin", InitialTexts()));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "god.xin"));
    EXPECT_FALSE(SaveSettingsFile(dir / "no-dir" / "god.xin", InitialTexts()));
    EXPECT_EQ(EntryCount(dir.path()), 1);
}

}  // namespace
}  // namespace velmora
