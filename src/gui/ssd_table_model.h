// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

class AppDelegate;
class SSD;

// The controller's drive list as a table; follows every change of the list.
class SSDTableModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    enum Column { Name, Device, Model, Health, Status, SmartStatus, ColumnCount };
    // The health as a number (255: unknown) for the bar.
    static constexpr int HealthRole = Qt::UserRole + 1;
    // The icon state of the health against the thresholds: 1 error, 2 warning, 3 OK.
    static constexpr int HealthStateRole = Qt::UserRole + 2;

    explicit SSDTableModel(const AppDelegate& controller, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const SSD* ssdAt(int row) const;
    static QString healthText(int health);
    static QString smartStatusText(int status);

  private:
    const AppDelegate& controller_;
};
