// Adding a product: the validation message, the product page lookup, the new
// row and the rewritten record file.
#include <QAbstractItemView>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "core/codepage.h"
#include "storage/record_file.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

// Closes every message box that comes up while it lives, keeping what it saw.
class MessageBoxWatcher {
public:
    struct Seen {
        QString title;
        QString text;
        QMessageBox::Icon icon;
        int buttons;
    };
    MessageBoxWatcher() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen_.push_back({box->windowTitle(), box->text(), box->icon(),
                             static_cast<int>(box->buttons().size())});
            box->accept();
        });
        timer_.start();
    }
    const std::vector<Seen>& seen() const { return seen_; }

private:
    QTimer timer_;
    std::vector<Seen> seen_;
};

class AddProduct : public WindowTest {
protected:
    void Fill(const char* sku, const char* province, const char* city, const char* area,
              const char* price) {
        Find<QLineEdit>("编辑框商品编号")->setText(Q(sku));
        Find<QComboBox>("组合框省份")->setEditText(Q(province));
        Find<QComboBox>("组合框城市")->setEditText(Q(city));
        Find<QComboBox>("组合框地区")->setEditText(Q(area));
        Find<QLineEdit>("编辑框价格监控")->setText(Q(price));
    }
    void ClickAdd() { QTest::mouseClick(Find<QPushButton>("按钮商品添加"), Qt::LeftButton); }
    std::filesystem::path records() const { return dir() / kRecordFileName; }
};

TEST_F(AddProduct, AppendsARowFromTheProductPageAndRewritesTheRecordFile) {
    const RecordRow existing{"100", Cp936FromUtf8("旧商品"), "#+", "9", "1", "2"};
    WriteWhole(records(), FormatRecordFile({existing}));
    MainWindow& w = Start();
    ASSERT_EQ(w.List().ListRowCount(), 1);

    Fill("1743535", "北京-1", "朝阳区-72", "三环以内-2799", "12.5");
    MessageBoxWatcher boxes;
    ClickAdd();
    EXPECT_TRUE(boxes.seen().empty());
    EXPECT_EQ(store().CountRequests("GET /1743535.html "), 1);

    MonitorList& list = w.List();
    ASSERT_EQ(list.ListRowCount(), 2);
    const Text name = list.ListGetCell(1, ColName);
    EXPECT_FALSE(name.empty());
    EXPECT_EQ(list.ListGetCell(1, ColSku), "1743535");
    EXPECT_EQ(list.ListGetCell(1, ColQrMobile), Cp936FromUtf8("二维码"));
    EXPECT_EQ(list.ListGetCell(1, ColQrWechat), Cp936FromUtf8("二维码"));
    EXPECT_EQ(list.ListGetCell(1, ColRegion), Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"));
    EXPECT_EQ(list.ListGetCell(1, ColExpectedPrice), "12.5");
    EXPECT_EQ(list.ListGetCell(1, ColIndex), "");
    EXPECT_EQ(list.ListGetCell(1, ColStatus), "");
    EXPECT_FALSE(list.ListIsTicked(1));
    const Text vender = list.ListGetCell(1, ColVenderId);
    EXPECT_FALSE(vender.empty());
    EXPECT_EQ(ToText(Find<QLineEdit>("venderId")->text()), vender);
    EXPECT_EQ(ToText(Find<QLineEdit>("cat")->text()), list.ListGetCell(1, ColCat));
    // The view shows the row too.
    EXPECT_EQ(Find<QAbstractItemView>("超级列表框监控")->model()->rowCount(), 2);

    std::vector<LoadedRecord> saved = LoadRecordFile(records());
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].row, existing);
    EXPECT_EQ(saved[1].row,
              (RecordRow{"1743535", name, Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"), "12.5",
                         vender, list.ListGetCell(1, ColCat)}));
}

TEST_F(AddProduct, RegionPiecesAreTakenAsTheyStand) {
    MainWindow& w = Start();
    Fill("1743535", "", "", "选择地区", "");
    ClickAdd();
    Fill("1743535", "", "", "选择地区", "");
    ClickAdd();
    ASSERT_EQ(w.List().ListRowCount(), 2);
    EXPECT_EQ(w.List().ListGetCell(0, ColRegion), Cp936FromUtf8("#+选择地区"));
    EXPECT_EQ(w.List().ListGetCell(1, ColExpectedPrice), "");
    EXPECT_EQ(LoadRecordFile(records()).size(), 2u);
}

TEST_F(AddProduct, WithoutTheStoreTheRowIsAddedWithEmptyPageFields) {
    WriteWhole(dir() / "endpoints.ini",
               "[endpoints]\nProductPageBase=http://127.0.0.1:1\n"
               "BannerImageUrl=http://127.0.0.1:1/b.png\n");
    MainWindow& w = Start();
    Find<QLineEdit>("venderId")->setText(Q("stale"));
    Fill("1743535", "北京-1", "", "x", "5");
    ClickAdd();
    ASSERT_EQ(w.List().ListRowCount(), 1);
    EXPECT_EQ(w.List().ListGetCell(0, ColName), "");
    EXPECT_EQ(w.List().ListGetCell(0, ColVenderId), "");
    EXPECT_EQ(Find<QLineEdit>("venderId")->text(), QString());
    EXPECT_EQ(LoadRecordFile(records()).size(), 1u);
}

struct MissingInput {
    const char* name;
    const char* sku;
    const char* area;
};

TEST_F(AddProduct, IncompleteInputShowsOneMessageAndChangesNothing) {
    const MissingInput cases[] = {
        {"both empty", "", ""}, {"area empty", "1743535", ""}, {"product number empty", "", "x"}};
    MainWindow& w = Start();
    for (const MissingInput& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(c.sku, "北京-1", "朝阳区-72", c.area, "5");
        MessageBoxWatcher boxes;
        ClickAdd();
        ASSERT_EQ(boxes.seen().size(), 1u);
        EXPECT_EQ(boxes.seen()[0].title, Q("错误"));
        EXPECT_EQ(boxes.seen()[0].text, Q("请输入完整商品信息！"));
        EXPECT_EQ(boxes.seen()[0].icon, QMessageBox::Critical);
        EXPECT_EQ(boxes.seen()[0].buttons, 1);
    }
    EXPECT_EQ(w.List().ListRowCount(), 0);
    EXPECT_EQ(store().CountRequests(".html "), 0);
    EXPECT_FALSE(std::filesystem::exists(records()));
}

}  // namespace
}  // namespace velmora::testing
