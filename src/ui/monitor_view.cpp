#include "ui/monitor_view.h"

#include <QHeaderView>
#include <QMouseEvent>

#include "monitor/monitor_list.h"
#include "ui/monitor_model.h"

namespace velmora {

MonitorView::MonitorView(QWidget* parent) : QTableView(parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setSortingEnabled(false);
    setWordWrap(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setStretchLastSection(false);
    // Keep the selection visible while another control has the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void MonitorView::ApplyColumnLooks() {
    for (int column = 0; column < kColumnCount; ++column) {
        int width = MonitorColumnLook(column).width;
        setColumnHidden(column, width == 0);
        if (width > 0) setColumnWidth(column, width);
    }
}

void MonitorView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton) return;
    QPoint at = event->position().toPoint();
    emit CellDoubleClicked(rowAt(at.y()), columnAt(at.x()));
}

}  // namespace velmora
