#pragma once

#include "platform/data/recordset.h"

#include <QAbstractTableModel>
#include <QLocale>

/// The data grid's read-only model over a chart record set: field names as headers, the first
/// column as it comes, every further column right-aligned as "#,##0.00" in the user's locale.
class RecordsetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    /// Binds the rows; the columns are re-read from the record set.
    void setRecordset(const Recordset &rs);
    /// Turns the amount format of the data columns on (the grid formatting step) or off.
    void setAmountFormat(bool on);
    const Recordset &recordset() const { return m_rs; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation o, int role = Qt::DisplayRole) const override;

    /// "#,##0.00" in the given locale: grouped thousands, two decimals.
    static QString formatAmount(const QVariant &value, const QLocale &locale = QLocale());

private:
    Recordset m_rs;
    bool m_amounts = false;
};
