// The seven input texts saved to god.xin and restored at the next start.
#include <array>

#include "core/codepage.h"
#include "storage/settings_file.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

using SettingsRoundTrip = WindowTest;

// The seven texts in the order of the settings keys (UTF-8).
using EditTexts = std::array<std::string, 7>;

EditTexts Read(MainWindow& w) {
    const char* names[] = {"编辑框商品编号",   "组合框省份",       "组合框城市",      "组合框地区",
                           "编辑框发邮件账号", "编辑框发邮件密码", "编辑框收邮件地址"};
    EditTexts texts;
    for (int i = 0; i < 7; ++i) {
        QWidget* widget = w.findChild<QWidget*>(Q(names[i]));
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) texts[i] = edit->text().toStdString();
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            texts[i] = combo->currentText().toStdString();
    }
    return texts;
}

TEST_F(SettingsRoundTrip, SavedTextsComeBackAtTheNextStartWithoutRefillingTheLists) {
    {
        MainWindow& w = Start();
        Find<QLineEdit>("编辑框商品编号")->setText(Q("100012043978"));
        Find<QComboBox>("组合框省份")->setEditText(Q("北京-1"));
        Find<QComboBox>("组合框城市")->setEditText(Q("朝阳区-72"));
        Find<QComboBox>("组合框地区")->setEditText(Q("三环以内-2799"));
        Find<QLineEdit>("编辑框发邮件账号")->setText(Q("me@example.com"));
        Find<QLineEdit>("编辑框发邮件密码")->setText(Q("秘密 pass"));
        Find<QLineEdit>("编辑框收邮件地址")->setText(Q("you@example.com"));
        w.SaveSettings();
    }
    ASSERT_TRUE(std::filesystem::exists(dir() / "god.xin"));
    // The file holds code page 936 text under its section.
    const std::string file = ReadWhole(dir() / "god.xin");
    EXPECT_NE(file.find(Cp936FromUtf8("[商品监控]")), std::string::npos);
    EXPECT_NE(file.find(Cp936FromUtf8("省份=北京-1")), std::string::npos);

    MainWindow& again = Start();
    EXPECT_EQ(Read(again), (EditTexts{"100012043978", "北京-1", "朝阳区-72", "三环以内-2799",
                                      "me@example.com", "秘密 pass", "you@example.com"}));
    EXPECT_EQ(Find<QComboBox>("组合框城市")->count(), 1);
    EXPECT_EQ(Find<QComboBox>("组合框地区")->count(), 1);
}

TEST_F(SettingsRoundTrip, FirstSaveWritesTheInitialTexts) {
    Start().SaveSettings();
    auto loaded = LoadSettingsFile(dir() / "god.xin");
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->sku, "1743535");
    EXPECT_EQ(loaded->province, "");
    EXPECT_EQ(loaded->mailAccount, Cp936FromUtf8("发邮件设置"));
    EXPECT_EQ(loaded->mailRecipient, Cp936FromUtf8("收邮件设置"));
}

struct ProfileCase {
    const char* name;
    const char* fileUtf8;
    EditTexts want;
};

const ProfileCase kProfiles[] = {
    {"only the section header",
     "[商品监控]\r\n",
     {"", "", "", "", "发邮件账号", "发邮件密码", "收邮件地址"}},
    {"quoted password and padded values",
     "[商品监控]\r\n商品编号=  42  \r\n发邮件密码=\"  in quotes \"\r\n",
     {"42", "", "", "", "发邮件账号", "  in quotes ", "收邮件地址"}},
    {"another section only",
     "[other]\r\n商品编号=7\r\n",
     {"", "", "", "", "发邮件账号", "发邮件密码", "收邮件地址"}},
};

TEST_F(SettingsRoundTrip, ProfileEdgeCases) {
    for (const ProfileCase& c : kProfiles) {
        SCOPED_TRACE(c.name);
        WriteWhole(dir() / "god.xin", Cp936FromUtf8(c.fileUtf8));
        MainWindow& w = Start();
        EXPECT_EQ(Read(w), c.want);
    }
}

}  // namespace
}  // namespace velmora::testing
