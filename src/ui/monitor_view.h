// The monitor list's view: report style with a check box per row, grid lines,
// one whole row selected at a time, never sorted. A double-click reports the
// cell under the mouse by hit test (row -1 below the last row).
#pragma once

#include <QTableView>

namespace velmora {

class MonitorView : public QTableView {
    Q_OBJECT
public:
    explicit MonitorView(QWidget* parent = nullptr);
    // Column widths, alignments and hidden columns from the column table.
    void ApplyColumnLooks();

signals:
    void CellDoubleClicked(int row, int column);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace velmora
