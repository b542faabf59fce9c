#pragma once

#include "chartdata.h"

#include <QHash>
#include <QWidget>

class QLabel;
class QPainter;
class QStackedWidget;

class Q3DBars;
class Q3DSurface;
class QAbstract3DGraph;
class QBar3DSeries;
class QSurface3DSeries;

/// The legend of a chart drawn by hand: a swatch and a name for each series, one under another.
/// Used by the 3D view, which has no legend of its own, on screen and in its pictures.
class ChartLegend : public QWidget
{
    Q_OBJECT
public:
    struct Entry
    {
        QString name;
        QColor colour;
        Qt::BrushStyle hatch = Qt::NoBrush; ///< drawn over the colour, in black or white
    };
    explicit ChartLegend(QWidget *parent = nullptr);
    void setEntries(const QVector<Entry> &entries);
    QSize sizeHint() const override;
    /// Draws the entries into rect, top down.
    static void paint(QPainter &painter, const QRect &rect, const QVector<Entry> &entries,
                      const QFont &font);
    static QSize sizeFor(const QVector<Entry> &entries, const QFont &font);

signals:
    void activated();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QVector<Entry> m_entries;
};

/// A chart model drawn in three dimensions with Qt Data Visualization: bars in rows (series) by
/// columns (categories) for the bar and combination codes, ribbons for lines, filled ribbons for
/// areas and stepped ribbons for steps. Title and legend are drawn around the graph.
///
/// Stacking shows each series on top of the ones before it (running totals), as the flat stacked
/// lines do; patterns become greys of their own, since the 3D view draws no hatches.
class Chart3D : public QWidget
{
    Q_OBJECT
public:
    /// Whether three-dimensional drawing can be had here: an OpenGL context on a real screen.
    /// The answer is found once; why says what is missing when it cannot.
    static bool available(QString *why = nullptr);
    /// The codes that draw in three dimensions: 0 bars, 2 lines, 4 areas, 6 steps, 8 combination.
    static bool isThreeDimensional(int code);

    explicit Chart3D(QWidget *parent = nullptr);
    ~Chart3D() override;

    void draw(const ChartModel &model);
    void setTitleText(const QString &text);
    void setLegendVisible(bool on);

    /// How many of the model's series the graph holds (a ribbon broken by gaps counts once).
    int seriesDrawn() const;
    /// The graph that draws the current code: bars or surface.
    QAbstract3DGraph *graph() const;

    /// Draws title, graph and legend into rect.
    void render(QPainter &painter, const QRect &rect) const;

signals:
    void pointSelected(int series, int point);
    void seriesActivated(int series);
    void titleActivated();
    void legendActivated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void drawBars(const ChartModel &model, const SeriesMap &map);
    void drawRibbons(const ChartModel &model, const SeriesMap &map);
    void select(int series, int point);
    Q3DBars *bars();
    Q3DSurface *surface();

    QLabel *m_title;
    QStackedWidget *m_graphs;
    ChartLegend *m_legend;
    Q3DBars *m_bars = nullptr;
    Q3DSurface *m_surface = nullptr;
    QWidget *m_barsBox = nullptr;
    QWidget *m_surfaceBox = nullptr;
    QBar3DSeries *m_barSeries = nullptr;
    /// Surface pieces: the model series (from 0) and, by column, the point (from 1).
    struct Piece
    {
        int series = 0;
        QVector<int> points;
    };
    QHash<QSurface3DSeries *, Piece> m_pieces;
    QVector<ChartLegend::Entry> m_entries;
    bool m_showBars = true;
    int m_seriesDrawn = 0;
    int m_barRows = -1; // the rows the bars' zoom was set for
    int m_selected = 0; // the series (from 1) of the last selected point
};
