#include "recordset.h"

#include "recordsetfilter.h"

struct Recordset::Data
{
    QVector<FieldInfo> fields;
    QVector<QVector<QVariant>> rows;
    bool open = false;
};

Recordset::Recordset() : m_data(std::make_shared<Data>()) {}
Recordset::~Recordset() = default;
Recordset::Recordset(const Recordset &) = default;
Recordset &Recordset::operator=(const Recordset &) = default;

void Recordset::assign(QVector<FieldInfo> fields, QVector<QVector<QVariant>> rows)
{
    auto d = std::make_shared<Data>();
    d->fields = std::move(fields);
    d->rows = std::move(rows);
    d->open = true;
    m_data = std::move(d);
    m_visible.clear();
    m_filtered = false;
    m_filterText.clear();
    m_filterError.clear();
    m_pos = 0;
    m_writer = nullptr;
    m_editing = false;
    m_newRow.clear();
}

void Recordset::clear()
{
    *this = Recordset();
}

bool Recordset::isOpen() const
{
    return m_data->open;
}

int Recordset::RecordCount() const
{
    return m_filtered ? m_visible.size() : m_data->rows.size();
}

bool Recordset::Bof() const
{
    return RecordCount() == 0 || m_pos < 0;
}
bool Recordset::Eof() const
{
    return RecordCount() == 0 || m_pos >= RecordCount();
}
void Recordset::MoveFirst()
{
    m_pos = 0;
}

void Recordset::MoveNext()
{
    if (m_pos < RecordCount())
        ++m_pos;
}

int Recordset::fieldCount() const
{
    return m_data->fields.size();
}

int Recordset::fieldIndex(const QString &name) const
{
    const auto &f = m_data->fields;
    for (int i = 0; i < f.size(); ++i)
        if (f[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString Recordset::fieldName(int index) const
{
    return index >= 0 && index < fieldCount() ? m_data->fields[index].name : QString();
}

QMetaType::Type Recordset::fieldType(int index) const
{
    return index >= 0 && index < fieldCount() ? m_data->fields[index].type : QMetaType::UnknownType;
}

const QVector<Recordset::FieldInfo> &Recordset::fields() const
{
    return m_data->fields;
}

int Recordset::rowIndex(int visible) const
{
    if (visible < 0 || visible >= RecordCount())
        return -1;
    return m_filtered ? m_visible[visible] : visible;
}

QVariant Recordset::valueAt(int row, int field) const
{
    const int r = rowIndex(row);
    if (r < 0 || field < 0 || field >= fieldCount())
        return {};
    return m_data->rows[r].value(field);
}

QVariant Recordset::value(int field) const
{
    return valueAt(m_pos, field);
}
QVariant Recordset::value(const QString &field) const
{
    return value(fieldIndex(field));
}

QVector<QVector<QVariant>> Recordset::GetRows()
{
    QVector<QVector<QVariant>> out(fieldCount());
    for (; !Eof(); MoveNext())
        for (int f = 0; f < fieldCount(); ++f)
            out[f].append(value(f));
    return out;
}

bool Recordset::setFilter(const QString &criteria)
{
    m_filterError.clear();
    if (criteria.trimmed().isEmpty()) {
        m_filtered = false;
        m_visible.clear();
        m_filterText.clear();
        m_pos = 0;
        return true;
    }
    QString error;
    auto filter = RecordsetFilter::parse(
        criteria, [this](const QString &n) { return fieldIndex(n); }, &error);
    if (!filter) {
        m_filterError = error;
        return false;
    }
    QVector<int> visible;
    const auto &rows = m_data->rows;
    for (int r = 0; r < rows.size(); ++r)
        if (filter->matches([&rows, r](int f) { return rows[r].value(f); }))
            visible.append(r);
    m_visible = std::move(visible);
    m_filtered = true;
    m_filterText = criteria;
    m_pos = 0;
    return true;
}

void Recordset::setWriter(RowWriter writer)
{
    m_writer = std::move(writer);
}

bool Recordset::AddNew()
{
    m_updateError.clear();
    if (!m_writer) {
        m_updateError = QStringLiteral("Skup zapisa nije otvoren za izmjene.");
        return false;
    }
    m_editing = true;
    m_newRow = QVariantList(fieldCount());
    return true;
}

bool Recordset::setValue(const QString &field, const QVariant &value)
{
    const int i = fieldIndex(field);
    if (!m_editing || i < 0) {
        m_updateError = i < 0 ? QStringLiteral("Nepoznato polje: %1").arg(field)
                              : QStringLiteral("Nije započet novi zapis (AddNew).");
        return false;
    }
    m_newRow[i] = value;
    return true;
}

bool Recordset::Update()
{
    m_updateError.clear();
    if (!m_editing || !m_writer) {
        m_updateError = QStringLiteral("Nije započet novi zapis (AddNew).");
        return false;
    }
    QStringList names;
    QVariantList values;
    for (int i = 0; i < fieldCount(); ++i) {
        if (m_newRow[i].isValid()) {
            names << m_data->fields[i].name;
            values << m_newRow[i];
        }
    }
    if (!m_writer(names, values, &m_updateError))
        return false;
    // The inserted row becomes part of the record set, as in ADO.
    auto d = std::make_shared<Data>(*m_data);
    d->rows.append(QVector<QVariant>(m_newRow.begin(), m_newRow.end()));
    m_data = std::move(d);
    m_editing = false;
    m_newRow.clear();
    if (m_filtered)
        m_visible.append(m_data->rows.size() - 1);
    m_pos = RecordCount() - 1;
    return true;
}
