// The list's mouse actions: double-clicks by hit test, the popup menu and the
// deletions that rewrite the record file.
#include <QAbstractItemView>
#include <QClipboard>
#include <QMenu>

#include "core/codepage.h"
#include "storage/record_file.h"
#include "ui/picture_widgets.h"
#include "ui/qr_window.h"
#include "ui_fixture.h"

namespace velmora::testing {
namespace {

class ListActions : public WindowTest {
protected:
    // Three saved products, loaded at start as rows 1 to 3.
    MainWindow& StartWithThreeRows() {
        std::vector<RecordRow> rows;
        for (const char* sku : {"1743535", "100012", "200034"}) {
            rows.push_back({sku, Cp936FromUtf8("商品") + sku,
                            Cp936FromUtf8("北京-1#朝阳区-72+三环以内-2799"), "5", "1000",
                            "9987,653,655"});
        }
        WriteWhole(dir() / kRecordFileName, FormatRecordFile(rows));
        return Start();
    }
    QAbstractItemView* view() { return Find<QAbstractItemView>("超级列表框监控"); }
    void DoubleClickCell(int row, int column) {
        QRect cell = view()->visualRect(view()->model()->index(row, column));
        ASSERT_TRUE(cell.isValid());
        QTest::mouseDClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    QString Clipboard() { return QGuiApplication::clipboard()->text(); }
    void RightClickAt(QPoint at) {
        // The view asks for its menu on a right press (and context menu event).
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view()->viewport(), &event);
    }
    QMenu* menu() { return Find<QMenu>("菜单监控"); }
    void Choose(const char* entry) {
        for (QAction* action : menu()->actions()) {
            if (action->text() == Q(entry)) {
                action->trigger();
                menu()->hide();
                return;
            }
        }
        ADD_FAILURE() << "no menu entry " << entry;
    }
};

struct DoubleClickCase {
    int column;
    const char* path;  // after the store's base address
    bool showsQr;
};

TEST_F(ListActions, DoubleClickActsOnTheCellUnderTheMouseAndCopiesTheAddress) {
    const DoubleClickCase cases[] = {
        {6, "/product/100012.html", true},
        {7, "/item/view?sku=100012", true},
        {2, "/100012.html", false},
        {0, "/100012.html", false},
    };
    MainWindow& w = StartWithThreeRows();
    for (const DoubleClickCase& c : cases) {
        SCOPED_TRACE(c.column);
        opened_.clear();
        const int qrRequests = store().CountRequests("GET /api.php");
        DoubleClickCell(1, c.column);
        const Text address = store().base() + c.path;
        EXPECT_EQ(Clipboard(), ToQString(address));
        if (c.showsQr) {
            EXPECT_TRUE(opened_.empty());
            EXPECT_EQ(store().CountRequests("&text=" + address + " "), 1);
            EXPECT_EQ(store().CountRequests("GET /api.php"), qrRequests + 1);
            ASSERT_NE(w.OpenQrWindow(), nullptr);
            EXPECT_TRUE(w.OpenQrWindow()->isVisible());
            EXPECT_TRUE(w.OpenQrWindow()->Picture()->HasPicture());
            EXPECT_TRUE(std::filesystem::exists(dir() / "二维码.jpg"));
        } else {
            EXPECT_EQ(opened_, std::vector<Text>{address});
            EXPECT_EQ(store().CountRequests("GET /api.php"), qrRequests);
        }
    }
}

TEST_F(ListActions, QrRequestCarriesTheHolderColoursAndTheQrWindowClosesOnDoubleClick) {
    MainWindow& w = StartWithThreeRows();
    DoubleClickCell(0, 6);
    EXPECT_EQ(store().CountRequests("GET /api.php?&bg=FFFFFF&fg=0&gc=0&el=2&w=200&m=10&pt=0&inpt=0"
                                    "&logo=&text="),
              1);
    QrWindow* qr = w.OpenQrWindow();
    ASSERT_NE(qr, nullptr);
    EXPECT_EQ(qr->size(), QSize(200, 200));
    EXPECT_EQ(qr->windowTitle(), QString());
    EXPECT_EQ(qr->Picture()->objectName(), Q("图片框二维码"));
    EXPECT_EQ(qr->parentWidget(), &w);
    QTest::mouseDClick(qr->Picture(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_EQ(w.OpenQrWindow(), nullptr);
    EXPECT_TRUE(w.isVisible());
}

TEST_F(ListActions, DoubleClickBelowTheRowsOpensTheAddressWithoutAProductNumber) {
    StartWithThreeRows();
    QTest::mouseDClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(400, 350));
    const Text address = store().base() + "/.html";
    EXPECT_EQ(opened_, std::vector<Text>{address});
    EXPECT_EQ(Clipboard(), ToQString(address));
}

TEST_F(ListActions, RightClickOnARowOrBelowTheRowsOpensTheMenu) {
    StartWithThreeRows();
    ASSERT_EQ(menu()->actions().size(), 2);
    EXPECT_EQ(menu()->actions()[0]->text(), Q("全部删除"));
    EXPECT_EQ(menu()->actions()[1]->text(), Q("删除选中"));
    for (QPoint at :
         {view()->visualRect(view()->model()->index(0, 2)).center(), QPoint(400, 350)}) {
        RightClickAt(at);
        EXPECT_TRUE(menu()->isVisible());
        menu()->hide();
    }
}

TEST_F(ListActions, DeletingTickedRowsKeepsTheOthersWithTheirNumbers) {
    MainWindow& w = StartWithThreeRows();
    // Tick rows 1 and 3 by clicking their check boxes.
    for (int row : {0, 2}) {
        QRect cell = view()->visualRect(view()->model()->index(row, 0));
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(cell.left() + 10, cell.center().y()));
    }
    ASSERT_TRUE(w.List().ListIsTicked(0));
    ASSERT_FALSE(w.List().ListIsTicked(1));
    ASSERT_TRUE(w.List().ListIsTicked(2));
    RightClickAt(QPoint(400, 350));
    Choose("删除选中");
    ASSERT_EQ(w.List().ListRowCount(), 1);
    EXPECT_EQ(w.List().ListGetCell(0, ColSku), "100012");
    EXPECT_EQ(w.List().ListGetCell(0, ColIndex), "2");
    EXPECT_EQ(view()->model()->rowCount(), 1);
    std::vector<LoadedRecord> saved = LoadRecordFile(dir() / kRecordFileName);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].row.sku, "100012");

    // Nothing ticked: nothing deleted, the file is still rewritten.
    std::filesystem::remove(dir() / kRecordFileName);
    Choose("删除选中");
    EXPECT_EQ(w.List().ListRowCount(), 1);
    EXPECT_EQ(LoadRecordFile(dir() / kRecordFileName).size(), 1u);
}

TEST_F(ListActions, DeletingAllEmptiesTheListAndTheFileAlsoWhenAlreadyEmpty) {
    MainWindow& w = StartWithThreeRows();
    Choose("全部删除");
    EXPECT_EQ(w.List().ListRowCount(), 0);
    EXPECT_EQ(view()->model()->rowCount(), 0);
    EXPECT_EQ(ReadWhole(dir() / kRecordFileName), "");
    WriteWhole(dir() / kRecordFileName, "junk");
    Choose("全部删除");
    EXPECT_EQ(w.List().ListRowCount(), 0);
    EXPECT_EQ(ReadWhole(dir() / kRecordFileName), "");
}

}  // namespace
}  // namespace velmora::testing
