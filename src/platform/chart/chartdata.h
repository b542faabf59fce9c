#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class Recordset;

/// The table a chart shows, taken from a record set: the first field labels the rows, every
/// further field is a numeric column named by its field. Null values, and values that are no
/// finite number, stay empty (a gap).
struct ChartTable
{
    QStringList rowLabels;
    QStringList columnNames;
    QVector<QVector<std::optional<double>>> values; // [row][column]

    static ChartTable fromRecordset(const Recordset &rs);
    int rows() const { return rowLabels.size(); }
    int columns() const { return columnNames.size(); }
};

/// The chart model: what the presentation controls set and what is drawn.
struct ChartModel
{
    enum Scale { Linear, Percent, Logarithmic };

    int chartType = 1;
    bool seriesInRow = true;
    bool stacked = false;
    bool legendVisible = true;
    QString title;
    QString footnote;
    Scale scale = Linear;
    double logBase = 10;
    ChartTable table;

    struct SeriesLook
    {
        std::optional<QColor> pen;  // line colour
        std::optional<QColor> fill; // brush fill colour
        int pattern = 0;            // 0: solid; 1..n: the numbered hatch patterns
    };
    QVector<SeriesLook> looks; // by series index from 0; missing entries use the defaults

    /// Series as drawn: names and values along the categories, after orientation and scale.
    struct Series
    {
        QString name;
        QVector<std::optional<double>> values;
    };
    int seriesCount() const;
    QStringList categories() const;
    /// The categories as the axis writes them: month columns ("Mj01") by their two-digit month
    /// alone, so that thirteen of them stay readable on a narrow chart; others as they are.
    QStringList axisLabels() const;
    QVector<Series> series() const;

    /// The value at series (column) and point (row), both from 1, as the chart gives it: plain
    /// text, no grouping; empty when there is none.
    QString dataValueText(int series, int point) const;

    /// Colours of series s (from 0) as drawn: the fill of bars, areas and slices, the pen of lines.
    QColor fillColor(int s) const;
    QColor penColor(int s) const;
};

/// The colour a series gets when nobody chose one, by series index from 0.
QColor defaultSeriesColor(int s);
/// The hatch of black-and-white pattern number p (from 1): distinct on paper.
Qt::BrushStyle patternHatch(int p);
/// Where a hatch cannot be drawn (the 3D view), pattern p is told apart by a grey of its own.
QColor patternGrey(int p);
