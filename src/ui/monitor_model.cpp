#include "ui/monitor_model.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include "ui/qt_text.h"

namespace velmora {

namespace {

constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
constexpr Qt::Alignment kCentre = Qt::AlignCenter;

const ColumnLook kColumns[kColumnCount] = {
    {"序号", 50, kLeft},      {"商品编号", 90, kCentre}, {"商品名称", 300, kCentre},
    {"电脑", 65, kCentre},    {"手机", 70, kCentre},     {"微信", 70, kCentre},
    {"手机", 70, kCentre},    {"微信", 70, kLeft},       {"查询状态", 80, kCentre},
    {"查询地区", 0, kCentre}, {"期望价格", 0, kLeft},    {"var", 0, kLeft},
    {"cat", 0, kLeft},
};

}  // namespace

const ColumnLook& MonitorColumnLook(int column) { return kColumns[column]; }

MonitorModel::MonitorModel(std::shared_ptr<MonitorList> list, QObject* parent)
    : QAbstractTableModel(parent),
      owner_(std::move(list)),
      list_(*owner_),
      rows_(list_.ListRowCount()) {
    QPointer<MonitorModel> self(this);
    list_.SetListener([this, self](const ListChange& change) {
        if (QThread::currentThread() == thread()) {
            Apply(change);
            return;
        }
        // From a worker: carried out later on the window's thread, in order.
        QMetaObject::invokeMethod(
            this,
            [self, change] {
                if (self) self->Apply(change);
            },
            Qt::QueuedConnection);
    });
}

MonitorModel::~MonitorModel() { list_.SetListener(nullptr); }

void MonitorModel::Apply(const ListChange& change) {
    switch (change.kind) {
        case ListChange::Inserted:
            if (change.firstRow == rows_ && change.lastRow >= change.firstRow) {
                beginInsertRows(QModelIndex(), change.firstRow, change.lastRow);
                rows_ += change.lastRow - change.firstRow + 1;
                endInsertRows();
                return;
            }
            break;
        case ListChange::Removed:
            if (change.firstRow >= 0 && change.firstRow < rows_) {
                beginRemoveRows(QModelIndex(), change.firstRow, change.firstRow);
                --rows_;
                endRemoveRows();
                return;
            }
            break;
        case ListChange::Reset:
            beginResetModel();
            rows_ = 0;
            endResetModel();
            return;
        case ListChange::CellChanged:
            if (change.firstRow >= 0 && change.firstRow < rows_) {
                QModelIndex cell = index(change.firstRow, change.column);
                emit dataChanged(cell, cell);
            }
            return;
    }
    // A change that does not fit what the view was told: start over from the
    // store as it is now.
    beginResetModel();
    rows_ = list_.ListRowCount();
    endResetModel();
}

int MonitorModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int MonitorModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant MonitorModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return ToQString(list_.ListGetCell(index.row(), index.column()));
        case Qt::CheckStateRole:
            if (index.column() != ColIndex) return QVariant();
            return list_.ListIsTicked(index.row()) ? Qt::Checked : Qt::Unchecked;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(kColumns[index.column()].alignment);
        default:
            return QVariant();
    }
}

bool MonitorModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::CheckStateRole || index.column() != ColIndex) return false;
    list_.ListSetTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags MonitorModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == ColIndex) flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant MonitorModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return QVariant();
    if (role == Qt::DisplayRole) return QString::fromUtf8(kColumns[section].header);
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(kColumns[section].alignment);
    return QVariant();
}

}  // namespace velmora
