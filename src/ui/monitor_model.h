// The list view's model over MonitorList. The store may change on any thread;
// the model learns of it on the window's thread only (changes made elsewhere
// arrive as queued calls), and its row count moves only with the begin/end
// notifications it sends, so the view never sees a count it was not told of.
#pragma once

#include <QAbstractTableModel>
#include <memory>

#include "monitor/monitor_list.h"

namespace velmora {

struct ColumnLook {
    const char* header;  // UTF-8
    int width;           // 0: hidden
    Qt::Alignment alignment;
};
const ColumnLook& MonitorColumnLook(int column);

class MonitorModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // Shares the store, so it is still there when the model goes.
    MonitorModel(std::shared_ptr<MonitorList> list, QObject* parent = nullptr);
    ~MonitorModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct Relay;
    void Apply(const ListChange& change);

    std::shared_ptr<MonitorList> owner_;
    MonitorList& list_;
    std::shared_ptr<Relay> relay_;
    int rows_ = 0;
};

}  // namespace velmora
