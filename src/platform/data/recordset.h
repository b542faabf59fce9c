#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

class RecordsetFilter;

/// An in-memory, scrollable record set with the ADO operations the windows use.
///
/// A read-only record set holds the rows of one statement; copies share them. One opened for
/// changes also accepts AddNew, field assignment and Update, which insert the row through the
/// writer that the data access gave it (inside the unit of work's transaction).
class Recordset
{
public:
    struct FieldInfo
    {
        QString name;
        QMetaType::Type type = QMetaType::UnknownType;
    };
    /// Inserts one new row; returns false and fills *error when the database refuses it.
    using RowWriter =
        std::function<bool(const QStringList &fields, const QVariantList &values, QString *error)>;

    Recordset();
    ~Recordset();
    Recordset(const Recordset &);
    Recordset &operator=(const Recordset &);

    /// Replaces the content; the record set stands on its first row afterwards.
    void assign(QVector<FieldInfo> fields, QVector<QVector<QVariant>> rows);
    void clear();
    bool isOpen() const;

    // Navigation. EOF is a C macro, so the two ends are spelt Bof() and Eof().
    bool Bof() const;
    bool Eof() const;
    void MoveFirst();
    void MoveNext();
    /// Rows visible through the current filter.
    int RecordCount() const;
    int position() const { return m_pos; }

    int fieldCount() const;
    int fieldIndex(const QString &name) const; ///< case-insensitive; -1 when absent
    QString fieldName(int index) const;
    QMetaType::Type fieldType(int index) const;
    const QVector<FieldInfo> &fields() const;

    /// Value of a field in the current row; an invalid QVariant outside the rows or fields.
    QVariant value(int field) const;
    QVariant value(const QString &field) const;
    /// Value of a field in a visible row, whatever the current position.
    QVariant valueAt(int row, int field) const;

    /// ADO GetRows: the rows from the current one to the end, indexed [field][row]; moves to EOF.
    QVector<QVector<QVariant>> GetRows();

    /// ADO filter; an empty text removes it. Returns false (and keeps the old filter) when the
    /// text cannot be read, with the reason in filterError().
    bool setFilter(const QString &criteria);
    QString filter() const { return m_filterText; }
    QString filterError() const { return m_filterError; }

    // Changes, on a record set opened for them.
    bool isUpdatable() const { return bool(m_writer); }
    void setWriter(RowWriter writer);
    bool AddNew();
    bool setValue(const QString &field, const QVariant &value);
    bool Update();
    QString updateError() const { return m_updateError; }

private:
    struct Data;
    int rowIndex(int visible) const;

    std::shared_ptr<const Data> m_data;
    QVector<int> m_visible; // filtered row indices; empty with no filter
    bool m_filtered = false;
    QString m_filterText;
    QString m_filterError;
    int m_pos = 0;

    RowWriter m_writer;
    bool m_editing = false;
    QVariantList m_newRow;
    QString m_updateError;
};
