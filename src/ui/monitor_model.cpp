#include "ui/monitor_model.h"

#include <QCoreApplication>
#include <mutex>
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

// Carries changes from other threads to the model. A worker may still hold
// the list's listener when the model goes; the relay outlives the model and
// then drops what comes.
struct MonitorModel::Relay {
    std::mutex mutex;
    MonitorModel* model = nullptr;

    void Post(const ListChange& change) {
        std::lock_guard lock(mutex);
        if (!model) return;
        MonitorModel* target = model;
        // Qt drops the call if the model is destroyed before it runs.
        QMetaObject::invokeMethod(
            target, [target, change] { target->Apply(change); }, Qt::QueuedConnection);
    }
};

MonitorModel::MonitorModel(std::shared_ptr<MonitorList> list, QObject* parent)
    : QAbstractTableModel(parent), owner_(std::move(list)), list_(*owner_),
      relay_(std::make_shared<Relay>()), rows_(list_.ListRowCount()) {
    relay_->model = this;
    QThread* own = thread();
    list_.SetListener([relay = relay_, own](const ListChange& change) {
        if (QThread::currentThread() == own) {
            // On the window's thread the model is told at once; only this
            // thread destroys it, so it cannot go while it applies the change.
            MonitorModel* model;
            {
                std::lock_guard lock(relay->mutex);
                model = relay->model;
            }
            if (model) model->Apply(change);
            return;
        }
        relay->Post(change);
    });
}

MonitorModel::~MonitorModel() {
    list_.SetListener(nullptr);
    std::lock_guard lock(relay_->mutex);
    relay_->model = nullptr;
}

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
