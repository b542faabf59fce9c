#include "chartdata.h"

#include "platform/data/recordset.h"

#include <algorithm>
#include <cmath>

ChartTable ChartTable::fromRecordset(const Recordset &rs)
{
    ChartTable t;
    const int fields = rs.fieldCount();
    for (int f = 1; f < fields; ++f)
        t.columnNames << rs.fieldName(f);
    for (int r = 0; r < rs.RecordCount(); ++r) {
        t.rowLabels << rs.valueAt(r, 0).toString();
        QVector<std::optional<double>> row(fields > 0 ? fields - 1 : 0);
        for (int f = 1; f < fields; ++f) {
            const QVariant v = rs.valueAt(r, f);
            bool ok = false;
            const double d = v.toDouble(&ok);
            // a value that is no finite number (a text, an infinity) cannot be drawn: a gap
            if (!v.isNull() && ok && std::isfinite(d))
                row[f - 1] = d;
        }
        t.values << row;
    }
    return t;
}

int ChartModel::seriesCount() const
{
    return seriesInRow ? table.rows() : table.columns();
}

QStringList ChartModel::categories() const
{
    return seriesInRow ? table.columnNames : table.rowLabels;
}

QStringList ChartModel::axisLabels() const
{
    QStringList labels = categories();
    for (const QString &c : std::as_const(labels))
        if (c.size() != 4 || !c.startsWith(u"Mj") || !c[2].isDigit() || !c[3].isDigit())
            return labels;
    for (QString &c : labels)
        c = c.mid(2);
    return labels;
}

QVector<ChartModel::Series> ChartModel::series() const
{
    QVector<Series> out;
    const int n = seriesCount();
    const int points = categories().size();
    double largest = 0;
    for (const auto &row : table.values)
        for (const auto &v : row)
            if (v)
                largest = std::max(largest, std::abs(*v));
    for (int s = 0; s < n; ++s) {
        Series series;
        series.name = seriesInRow ? table.rowLabels.value(s) : table.columnNames.value(s);
        for (int p = 0; p < points; ++p) {
            std::optional<double> v =
                seriesInRow ? table.values[s].value(p) : table.values[p].value(s);
            if (v && scale == Percent)
                v = largest > 0 ? *v * 100.0 / largest : 0.0;
            if (v && scale == Logarithmic && *v <= 0)
                v.reset(); // a logarithm has no place for zero or less: a gap
            series.values << v;
        }
        out << series;
    }
    return out;
}

QString ChartModel::dataValueText(int series, int point) const
{
    const int row = seriesInRow ? series - 1 : point - 1;
    const int column = seriesInRow ? point - 1 : series - 1;
    if (row < 0 || row >= table.rows() || column < 0 || column >= table.columns())
        return {};
    const auto &v = table.values[row][column];
    return v ? QString::number(*v, 'g', 15) : QString();
}

QColor ChartModel::fillColor(int s) const
{
    return looks.value(s).fill.value_or(defaultSeriesColor(s));
}

QColor ChartModel::penColor(int s) const
{
    const SeriesLook l = looks.value(s);
    return l.pattern > 0 ? QColor(Qt::black) : l.pen.value_or(fillColor(s));
}

QColor defaultSeriesColor(int s)
{
    static const QColor palette[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                                     QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                                     QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                                     QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f),
                                     QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf)};
    return palette[std::max(0, s) % 10];
}

Qt::BrushStyle patternHatch(int p)
{
    static const Qt::BrushStyle styles[] = {
        Qt::BDiagPattern,  Qt::FDiagPattern,  Qt::CrossPattern,
        Qt::HorPattern,    Qt::VerPattern,    Qt::DiagCrossPattern,
        Qt::Dense5Pattern, Qt::Dense3Pattern, Qt::Dense6Pattern};
    return styles[std::max(0, p - 1) % 9];
}

QColor patternGrey(int p)
{
    // one grey for each hatch, neighbours far apart, none as light as the 3D walls (about 244)
    static const int levels[] = {30, 200, 110, 170, 60, 140, 90, 185, 45};
    const int g = levels[std::max(0, p - 1) % 9];
    return QColor(g, g, g);
}
