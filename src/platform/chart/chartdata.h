#pragma once

#include <QColor>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
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

    /// How the window names its series to a reader (the legend, the tips, the pie's captions):
    /// from the series' own name, which the figures keep. None: the name as it is.
    std::function<QString(const QString &name)> seriesTitle;
    /// Where a series takes its default colour in the palette, from its name, so that a series
    /// keeps its colour when another view puts it elsewhere. None, or a place below 0: its index.
    std::function<int(const QString &name)> colourSlot;

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
    /// The name a reader sees for series s (from 0).
    QString titleOf(int s) const;

    /// Whether the logarithmic scale asked for is drawn: only where some value is above zero.
    /// Otherwise the chart is drawn on the linear scale and the note says why.
    bool logarithmic() const;
    /// What the chart must tell under itself about values it cannot draw as asked: zero and
    /// negative values on the logarithmic scale, negative values in a pie. Empty when all is
    /// drawn.
    QString note() const;

    /// The value at series (column) and point (row), both from 1, as the chart gives it: plain
    /// text, no grouping; empty when there is none.
    QString dataValueText(int series, int point) const;

    /// Colours of series s (from 0) as drawn: the fill of bars, areas and slices, the pen of lines.
    QColor fillColor(int s) const;
    QColor penColor(int s) const;
    /// The palette place of every series: its colour slot, or where two series ask for one place
    /// (or a series has none) the first place no other series of the chart takes.
    QVector<int> colourPlaces() const;
};

/// What a chart draws, worked out from its model without a widget: the series as they stand, the
/// unbroken runs of each, what each stands on, their colours and the value axis. The flat chart
/// and the 3D view both draw from it.
struct SeriesMap
{
    enum class Look { Bar, Line, Area, Step, Combination, Pie, XY };
    /// The look of a chart type (the list's index): the 2D and 3D types of a pair look alike.
    static Look lookOf(int chartType);

    /// Points first to last of a series, every one with a value.
    struct Run
    {
        int first = 0;
        int last = 0;
        bool operator==(const Run &o) const { return first == o.first && last == o.last; }
    };
    struct Drawn
    {
        QString title;                         ///< as a reader sees it
        QVector<std::optional<double>> values; ///< its own values, one per category
        /// Where each point tops out: with stacking, on the series before it; an area has no
        /// gaps (a missing value lies on what the area stands on).
        QVector<std::optional<double>> top;
        /// What each point stands on: with stacking, the top of the series before, else zero.
        QVector<double> base;
        QVector<Run> runs;   ///< the unbroken runs of top
        bool asLine = false; ///< every series of a line chart, the last of a combination of several
        QColor fill;
        QColor pen;
        int pattern = 0; ///< 0: solid; else the numbered hatch
    };
    Look look = Look::Bar;
    QStringList categories;
    QVector<Drawn> series;
    bool logarithmic = false;
    /// The value axis: the extent of what is drawn, zero included (linear), or whole powers of
    /// the base round the values above zero (logarithmic).
    double low = 0;
    double high = 1;
    /// The lowest value drawn: the floor of a logarithmic axis, else zero.
    double floor() const { return logarithmic ? low : 0.0; }
};
SeriesMap mapSeries(const ChartModel &model);

/// The value axis of a logarithmic scale: whole powers of the base around the values above
/// zero; from 1 to the base when there are none.
struct LogRange
{
    double low = 1;
    double high = 10;
};
LogRange logRange(const QVector<ChartModel::Series> &series, double base);
LogRange logRange(double lowestPositive, double highest, double base);

/// How the bars of a category share its width: the part of the category the group of bars takes
/// (the rest is the gap to the next group), wider as more bars stand in one group so that each
/// stays readable.
double barGroupWidth(int barsPerCategory);

/// Pies side by side in a grid over an area: as many columns and rows as make the largest pies,
/// each pie with room for its caption (captionHeight) above it.
struct PieGrid
{
    int columns = 1;
    int rows = 1;
    double diameter = 0; ///< in the area's units
};
PieGrid pieGrid(int pies, QSizeF area, double captionHeight);

/// The colour a series gets when nobody chose one, by its palette place from 0: no two places
/// share a colour.
QColor defaultSeriesColor(int s);
/// The hatch of black-and-white pattern number p (from 1): distinct on paper.
Qt::BrushStyle patternHatch(int p);
/// Where a hatch cannot be drawn (the 3D view), pattern p is told apart by a grey of its own.
QColor patternGrey(int p);
