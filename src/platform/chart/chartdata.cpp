#include "chartdata.h"

#include "platform/data/recordset.h"

#include <QSet>

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
    const bool log = logarithmic();
    for (int s = 0; s < n; ++s) {
        Series series;
        series.name = seriesInRow ? table.rowLabels.value(s) : table.columnNames.value(s);
        for (int p = 0; p < points; ++p) {
            std::optional<double> v =
                seriesInRow ? table.values[s].value(p) : table.values[p].value(s);
            if (v && scale == Percent)
                v = largest > 0 ? *v * 100.0 / largest : 0.0;
            if (v && *v <= 0 && log)
                v.reset(); // a logarithm has no place for zero or less: a gap
            series.values << v;
        }
        out << series;
    }
    return out;
}

QString ChartModel::titleOf(int s) const
{
    const QString name = seriesInRow ? table.rowLabels.value(s) : table.columnNames.value(s);
    return seriesTitle ? seriesTitle(name) : name;
}

bool ChartModel::logarithmic() const
{
    if (scale != Logarithmic)
        return false;
    for (const auto &row : table.values)
        for (const auto &v : row)
            if (v && *v > 0)
                return true;
    return false;
}

QString ChartModel::note() const
{
    int below = 0, negative = 0, any = 0;
    for (const auto &row : table.values)
        for (const auto &v : row)
            if (v) {
                ++any;
                below += *v <= 0;
                negative += *v < 0;
            }
    if (chartType == 14)
        return negative ? QStringLiteral("Torta ne prikazuje negativne iznose (%1).").arg(negative)
                        : QString();
    if (scale != Logarithmic || below == 0)
        return {};
    if (below == any)
        return QStringLiteral("Logaritamska os ne može prikazati nulu ni negativne iznose: "
                              "grafikon je nacrtan na linearnoj osi.");
    return QStringLiteral("Na logaritamskoj osi nisu nacrtani iznosi jednaki nuli ili manji od "
                          "nule (%1).")
        .arg(below);
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
    if (const auto fill = looks.value(s).fill)
        return *fill;
    return defaultSeriesColor(colourPlaces().value(s, s));
}

QVector<int> ChartModel::colourPlaces() const
{
    const int n = seriesCount();
    QVector<int> places(n, -1);
    QSet<int> taken;
    if (colourSlot)
        for (int s = 0; s < n; ++s) {
            const int wanted =
                colourSlot(seriesInRow ? table.rowLabels.value(s) : table.columnNames.value(s));
            if (wanted >= 0 && !taken.contains(wanted)) {
                places[s] = wanted;
                taken.insert(wanted);
            }
        }
    for (int s = 0; s < n; ++s) {
        if (places[s] >= 0)
            continue;
        int place = s;
        while (taken.contains(place))
            place = place + 1;
        places[s] = place;
        taken.insert(place);
    }
    return places;
}

SeriesMap::Look SeriesMap::lookOf(int chartType)
{
    switch (chartType) {
    case 2:
    case 3:
        return Look::Line;
    case 4:
    case 5:
        return Look::Area;
    case 6:
    case 7:
        return Look::Step;
    case 8:
    case 9:
        return Look::Combination;
    case 14:
        return Look::Pie;
    case 16:
        return Look::XY;
    default:
        return Look::Bar;
    }
}

namespace {

// The extent of what a chart draws, as its look draws it.
struct Extent
{
    double low = 0, high = 0, lowestPositive = 0;
    bool any = false;
    void see(double v)
    {
        low = any ? std::min(low, v) : v;
        high = any ? std::max(high, v) : v;
        any = true;
        if (v > 0)
            lowestPositive = lowestPositive > 0 ? std::min(lowestPositive, v) : v;
    }
};

// Bars of series from..to-1: each value (a gap as zero), or stacked, what rises above zero and
// what falls below it at each point.
void seeBars(Extent &e, const SeriesMap &m, int from, int to, bool stacked)
{
    const int points = int(m.categories.size());
    QVector<double> pos(points, 0), neg(points, 0);
    for (int s = from; s < to; ++s)
        for (int p = 0; p < points; ++p) {
            const double v = m.series[s].values.value(p).value_or(0.0);
            if (stacked)
                (v >= 0 ? pos[p] : neg[p]) += v;
            else
                e.see(v);
        }
    if (stacked)
        for (int p = 0; p < points; ++p) {
            e.see(pos[p]);
            e.see(neg[p]);
        }
}

} // namespace

SeriesMap mapSeries(const ChartModel &model)
{
    SeriesMap m;
    m.look = SeriesMap::lookOf(model.chartType);
    m.categories = model.categories();
    m.logarithmic = model.logarithmic();
    const QVector<ChartModel::Series> series = model.series();
    const int points = int(m.categories.size());
    const int n = int(series.size());
    QVector<double> running(points, 0.0);
    for (int s = 0; s < n; ++s) {
        SeriesMap::Drawn d;
        d.title = model.titleOf(s);
        d.values = series[s].values;
        d.values.resize(points);
        d.base = model.stacked ? running : QVector<double>(points, 0.0);
        d.top = d.values;
        for (int p = 0; p < points; ++p) {
            if (d.top[p] && model.stacked)
                d.top[p] = running[p] += *d.top[p];
            else if (!d.top[p] && m.look == SeriesMap::Look::Area)
                d.top[p] = d.base[p];
        }
        for (int p = 0; p < points; ++p)
            if (d.top[p]) {
                if (d.runs.isEmpty() || d.runs.last().last != p - 1)
                    d.runs.append({p, p});
                else
                    d.runs.last().last = p;
            }
        d.asLine = m.look == SeriesMap::Look::Line || m.look == SeriesMap::Look::Step ||
                   m.look == SeriesMap::Look::XY ||
                   (m.look == SeriesMap::Look::Combination && n > 1 && s == n - 1);
        d.fill = model.fillColor(s);
        d.pen = model.penColor(s);
        d.pattern = model.looks.value(s).pattern;
        m.series.append(d);
    }

    Extent e;
    // on a logarithmic axis areas stand on its floor, as nothing reaches zero
    const double floorValue = m.logarithmic ? logRange(series, model.logBase).low : 0.0;
    switch (m.look) {
    case SeriesMap::Look::Bar:
        seeBars(e, m, 0, n, model.stacked);
        break;
    case SeriesMap::Look::Combination:
        // every series but the last is a bar; the last, of several, its own line
        seeBars(e, m, 0, n > 1 ? n - 1 : n, model.stacked);
        if (n > 1)
            for (const auto &v : std::as_const(m.series[n - 1].values))
                if (v)
                    e.see(*v);
        break;
    case SeriesMap::Look::Line:
    case SeriesMap::Look::Step:
    case SeriesMap::Look::XY:
        for (const SeriesMap::Drawn &d : std::as_const(m.series))
            for (const auto &v : d.top)
                if (v)
                    e.see(*v);
        break;
    case SeriesMap::Look::Area:
        for (const SeriesMap::Drawn &d : std::as_const(m.series))
            for (int p = 0; p < points; ++p) {
                const double b = std::max(d.base[p], floorValue);
                e.see(b + d.values[p].value_or(0.0));
                if (!m.logarithmic)
                    e.see(b);
            }
        break;
    case SeriesMap::Look::Pie:
        break;
    }
    if (m.logarithmic) {
        const LogRange r = logRange(e.lowestPositive, e.high, model.logBase);
        m.low = r.low;
        m.high = r.high;
    } else {
        m.low = std::min(e.low, 0.0);
        m.high = e.any ? std::max(e.high, 0.0) : 1.0;
        if (m.high == m.low)
            m.high = m.low + 1;
    }
    return m;
}

LogRange logRange(const QVector<ChartModel::Series> &series, double base)
{
    double low = 0, high = 0;
    for (const auto &s : series)
        for (const auto &v : s.values)
            if (v && *v > 0) {
                low = low > 0 ? std::min(low, *v) : *v;
                high = std::max(high, *v);
            }
    return logRange(low, high, base);
}

LogRange logRange(double low, double high, double base)
{
    if (!(low > 0) || !(high > 0) || !(base > 1))
        return {1, base > 1 ? base : 10};
    const double lb = std::log(base);
    LogRange r{std::pow(base, std::floor(std::log(low) / lb + 1e-9)),
               std::pow(base, std::ceil(std::log(high) / lb - 1e-9))};
    if (r.high <= r.low)
        r.high = r.low * base;
    return r;
}

double barGroupWidth(int barsPerCategory)
{
    return std::min(0.95, 0.6 + 0.07 * std::max(0, barsPerCategory - 1));
}

PieGrid pieGrid(int pies, QSizeF area, double captionHeight)
{
    PieGrid best;
    pies = std::max(1, pies);
    for (int columns = 1; columns <= pies; ++columns) {
        const int rows = (pies + columns - 1) / columns;
        const double diameter =
            0.9 * std::min(area.width() / columns, area.height() / rows - captionHeight);
        if (diameter > best.diameter)
            best = {columns, rows, diameter};
    }
    return best;
}

QColor ChartModel::penColor(int s) const
{
    const SeriesLook l = looks.value(s);
    return l.pattern > 0 ? QColor(Qt::black) : l.pen.value_or(fillColor(s));
}

QColor defaultSeriesColor(int s)
{
    // ten strong colours, their light partners and six dark ones: the 26 series of debit and
    // credit over thirteen years each have their own
    static const QRgb palette[] = {
        0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22,
        0x17becf, 0xaec7e8, 0xffbb78, 0x98df8a, 0xff9896, 0xc5b0d5, 0xc49c94, 0xf7b6d2, 0xc7c7c7,
        0xdbdb8d, 0x9edae5, 0x393b79, 0x637939, 0x8c6d31, 0x843c39, 0x7b4173, 0x00695c};
    constexpr int known = int(std::size(palette));
    s = std::max(0, s);
    if (s < known)
        return QColor(palette[s]);
    // beyond them hues a golden angle apart, in three shades: none falls on another
    const int k = s - known;
    return QColor::fromHsv(int(std::fmod(k * 137.508, 360.0)), 200, 120 + 60 * (k % 3));
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
