// Choosing a province or a city appends the child districts to the next list.
#include <QAbstractItemView>

#include "ui_fixture.h"

namespace velmora::testing {
namespace {

class RegionLists : public WindowTest {
protected:
    // Chooses an item the way the user does: from the open drop-down list.
    void Choose(QComboBox* combo, int index) {
        combo->showPopup();
        QAbstractItemView* popup = combo->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(popup->window()));
        QModelIndex item = popup->model()->index(index, 0);
        popup->scrollTo(item);
        QRect at = popup->visualRect(item);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, Qt::NoModifier, at.center());
        // The fill runs from a posted call after the choice.
        QTest::qWait(50);
        QApplication::processEvents();
    }
    QStringList Items(QComboBox* combo) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        return items;
    }
    int DistrictRequests() { return store().CountRequests("act=getchild_jddist"); }
};

TEST_F(RegionLists, ChoosingAProvinceThenACityAppendsTheirChildren) {
    Start();
    auto* province = Find<QComboBox>("组合框省份");
    auto* city = Find<QComboBox>("组合框城市");
    auto* area = Find<QComboBox>("组合框地区");

    Choose(province, 1);
    EXPECT_EQ(province->currentText(), Q("北京-1"));
    EXPECT_EQ(store().CountRequests("GET /index.php?mod=ajax&act=getchild_jddist&pid=1 "), 1);
    const QStringList cities = Items(city);
    ASSERT_GT(cities.size(), 1);
    EXPECT_EQ(cities[0], Q("选择城市"));
    for (int i = 1; i < cities.size(); ++i) {
        EXPECT_TRUE(cities[i].contains(QRegularExpression(QStringLiteral("^.+-[0-9]+$"))))
            << cities[i].toStdString();
    }
    // The chosen item and the texts of the lists are left as they were.
    EXPECT_EQ(city->currentText(), QString());

    Choose(city, 1);
    const QString cityId = cities[1].section(u'-', -1);
    EXPECT_EQ(store().CountRequests("&pid=" + cityId.toStdString() + " "), 1);
    EXPECT_GT(area->count(), 1);
    EXPECT_EQ(area->itemText(0), Q("选择地区"));

    // A second province adds its cities after those of the first.
    Choose(province, 2);
    const QStringList more = Items(city);
    ASSERT_GT(more.size(), cities.size());
    EXPECT_EQ(more.mid(0, cities.size()), cities);
    EXPECT_EQ(store().CountRequests("&pid=2 "), 1);

    // Choosing an area asks nothing.
    const int before = DistrictRequests();
    Choose(area, 1);
    EXPECT_EQ(DistrictRequests(), before);
}

TEST_F(RegionLists, ChoosingThePlaceholderSendsNothing) {
    Start();
    auto* province = Find<QComboBox>("组合框省份");
    auto* city = Find<QComboBox>("组合框城市");
    Choose(province, 0);
    Choose(city, 0);
    EXPECT_EQ(DistrictRequests(), 0);
    EXPECT_EQ(city->count(), 1);
    EXPECT_EQ(Find<QComboBox>("组合框地区")->count(), 1);
}

}  // namespace
}  // namespace velmora::testing
