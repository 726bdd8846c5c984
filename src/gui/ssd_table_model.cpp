// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/ssd_table_model.h"

#include "app/app_delegate.h"
#include "ext/text.h"
#include "foundation/defaults.h"

SSDTableModel::SSDTableModel(const AppDelegate& controller, QObject* parent)
    : QAbstractTableModel(parent), controller_(controller) {
    // The list is replaced drive by drive during a check: a reset per change
    // keeps the view from ever reading a record that is gone.
    connect(&controller, &AppDelegate::ssdArrayWillChange, this, &SSDTableModel::beginResetModel);
    connect(&controller, &AppDelegate::ssdArrayDidChange, this, &SSDTableModel::endResetModel);
}

int SSDTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(controller_.ssdArray().size());
}

int SSDTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

const SSD* SSDTableModel::ssdAt(int row) const {
    const auto& ssds = controller_.ssdArray();
    return row >= 0 && size_t(row) < ssds.size() ? ssds[size_t(row)].get() : nullptr;
}

QString SSDTableModel::healthText(int health) {
    return health >= 0 && health <= 100 ? QStringLiteral("%1%").arg(health)
                                        : localized(QStringLiteral("Unknown"));
}

QString SSDTableModel::smartStatusText(int status) {
    switch (status) {
        case SMARTStatusFailing:
            return localized(QStringLiteral("Failing"));
        case SMARTStatusVerified:
            return localized(QStringLiteral("Verified"));
        case SMARTStatusNotCapable:
            return localized(QStringLiteral("Not capable"));
        default:
            return localized(QStringLiteral("Unknown"));
    }
}

QVariant SSDTableModel::data(const QModelIndex& index, int role) const {
    const SSD* ssd = index.isValid() ? ssdAt(index.row()) : nullptr;
    if (ssd == nullptr) {
        return {};
    }
    if (role == HealthRole) {
        return ssd->healthPercentage();
    }
    if (role == HealthStateRole) {
        // Read at each use, so a changed threshold shows at the next paint.
        const qint32 health = ssd->healthPercentage();
        return health <= defaultInt(QStringLiteral("ThresholdError"))     ? 1
               : health <= defaultInt(QStringLiteral("ThresholdWarning")) ? 2
                                                                          : 3;
    }
    if (role == Qt::ToolTipRole && index.column() == Status) {
        const QString wear = ssd->ownWearSummary(Wording::Shown);
        const QString status = ssd->status(Wording::Shown);
        return wear.isEmpty() ? status : status + QLatin1Char('\n') + wear;
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case Name:
            return ssd->name();
        case Device:
            return ssd->deviceNode();
        case Model:
            return ssd->modelName();
        case Health:
            return healthText(ssd->healthPercentage());
        case Status:
            return ssd->status(Wording::Shown);
        case SmartStatus:
            return smartStatusText(ssd->smartStatus());
        default:
            return {};
    }
}

QVariant SSDTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const kTitles[ColumnCount] = {
        QT_TRANSLATE_NOOP("Localizable", "Name"),
        QT_TRANSLATE_NOOP("Localizable", "Device"),
        QT_TRANSLATE_NOOP("Localizable", "Model"),
        QT_TRANSLATE_NOOP("Localizable", "Health"),
        QT_TRANSLATE_NOOP("Localizable", "Status"),
        QT_TRANSLATE_NOOP("Localizable", "S.M.A.R.T. Status")};
    return section >= 0 && section < ColumnCount ? localized(QString::fromLatin1(kTitles[section]))
                                                 : QVariant();
}
