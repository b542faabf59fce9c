#include "recordsetmodel.h"

void RecordsetModel::setRecordset(const Recordset &rs)
{
    beginResetModel();
    m_rs = rs;
    endResetModel();
}

void RecordsetModel::setAmountFormat(bool on)
{
    if (m_amounts == on)
        return;
    m_amounts = on;
    if (rowCount() > 0 && columnCount() > 1)
        emit dataChanged(index(0, 1), index(rowCount() - 1, columnCount() - 1));
}

int RecordsetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rs.RecordCount();
}

int RecordsetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rs.fieldCount();
}

QString RecordsetModel::formatAmount(const QVariant &value, const QLocale &locale)
{
    if (value.isNull() || !value.isValid())
        return {};
    bool ok = false;
    const double d = value.toDouble(&ok);
    return ok ? locale.toString(d, 'f', 2) : value.toString();
}

QVariant RecordsetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const bool amount = m_amounts && index.column() > 0;
    switch (role) {
    case Qt::DisplayRole: {
        const QVariant v = m_rs.valueAt(index.row(), index.column());
        return amount ? QVariant(formatAmount(v)) : v;
    }
    case Qt::TextAlignmentRole:
        return amount ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return m_rs.fieldName(section);
    return section + 1;
}
