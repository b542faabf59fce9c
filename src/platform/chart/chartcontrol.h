#pragma once

#include "chartdata.h"

#include <QWidget>

class Chart3D;
class QChart;
class QChartView;
class QPainter;
class QStackedWidget;
class Recordset;

/// The chart control of every chart window: keeps a ChartModel and draws it with Qt Charts.
///
/// Type codes: 0/1 bars, 2/3 lines, 4/5 areas, 6/7 steps, 8/9 combination, 14 pie, 16 XY. The
/// three-dimensional codes (even numbers below 10) are drawn by Chart3D where OpenGL can be had,
/// and as their flat counterpart elsewhere.
class ChartControl : public QWidget
{
    Q_OBJECT
public:
    explicit ChartControl(QWidget *parent = nullptr);
    ~ChartControl() override;

    const ChartModel &model() const { return m_model; }

    void setChartType(int code);
    int chartType() const { return m_model.chartType; }
    void setDataSource(const Recordset &rs);
    void setSeriesInRow(bool inRow);
    bool seriesInRow() const { return m_model.seriesInRow; }
    void setStacking(bool on);
    void setLegendVisible(bool on);
    bool legendVisible() const { return m_model.legendVisible; }
    void setTitleText(const QString &text);
    QString titleText() const { return m_model.title; }
    void setFootnoteText(const QString &text);
    QString footnoteText() const { return m_model.footnote; }
    void setScale(ChartModel::Scale scale);
    /// How the window names its series to the reader and where they take their colours (see
    /// ChartModel::seriesTitle and ChartModel::colourSlot).
    void setSeriesNaming(std::function<QString(const QString &)> title,
                         std::function<int(const QString &)> colourSlot);
    void setLogBase(double base);

    int seriesCount() const { return m_model.seriesCount(); }
    void setSeriesPen(int series, const QColor &color);                 ///< series from 1
    void setSeriesFill(int series, const QColor &color);                ///< series from 1
    void setSeriesPattern(int series, int pattern, const QColor &fill); ///< series from 1
    /// Back to the default look: colours, patterns, title, orientation, legend and stacking go
    /// back; data, type, scale and footnote stay.
    void resetToDefaults();

    void setColumn(int column) { m_column = column; }
    void setRow(int row) { m_row = row; }
    QString data() const { return m_model.dataValueText(m_column, m_row); }

    /// Redraws from the model.
    void refresh();

    /// Holds back redrawing while several settings change; the chart is redrawn once, when the
    /// outermost batch ends and something changed.
    class Batch
    {
    public:
        explicit Batch(ChartControl &chart) : m_chart(chart) { ++m_chart.m_batchDepth; }
        ~Batch()
        {
            if (--m_chart.m_batchDepth == 0 && m_chart.m_dirty)
                m_chart.rebuild();
        }
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        ChartControl &m_chart;
    };
    /// Whether the chart on show is the three-dimensional one.
    bool drawnIn3D() const { return m_in3D; }
    /// The three-dimensional view, once a 3D code has been drawn in 3D.
    Chart3D *view3D() const { return m_3d; }
    /// How many times the chart was rebuilt: one per drawing is the aim.
    int rebuildCount() const { return m_rebuilds; }
    /// The chart as a picture of the given size (the widget's size when empty).
    QImage picture(QSize size = QSize()) const;
    /// Puts the picture and the figures (tab-separated text) on the clipboard.
    bool copyToClipboard(QString *error);
    /// Writes the chart as PNG, SVG or PDF, by the file's extension.
    bool save(const QString &path, QSize size, QString *error) const;
    /// The figures as tab-separated text, header first.
    QString figuresText() const;

    /// Draws the chart (and the footnote below it) into painter at the given size.
    void render(QPainter &painter, QSize size) const;

    /// Where a position in the widget falls: a data point (series and point from 1), the
    /// legend, the title or the footnote.
    struct Hit
    {
        enum Part { Nothing, Point, Legend, Title, Footnote } part = Nothing;
        int series = 0;
        int point = 0;
    };
    Hit hitTest(QPoint pos) const;
    /// The value under the pointer as a tooltip shows it: the grid's number format.
    QString valueTip(int series, int point) const;
    /// The values of one point (from 1) in every series, a line each: the pie legend's tip.
    QString categoryTip(int point) const;
    /// What the chart says under itself about values it could not draw (empty when none).
    QString noteText() const;

signals:
    /// A data point was clicked: series and point from 1.
    void pointSelected(int series, int point);
    void titleActivated();
    void footnoteActivated();
    void legendActivated();
    /// A series was double-clicked: series from 1.
    void seriesActivated(int series);
    /// Something the window should tell in its status line, said once: a 3D type drawn flat.
    void statusMessage(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuild();
    void rebuildFlat();
    bool rebuild3D();

    void connectSeries(QObject *series, int index);
    /// The look of a series (from 1), made when missing; none for a series below 1.
    ChartModel::SeriesLook *seriesLook(int series);

    ChartModel m_model;
    QStackedWidget *m_stack;
    QChartView *m_view;
    Chart3D *m_3d = nullptr;
    bool m_in3D = false;
    bool m_saidFlat = false;
    class QLabel *m_footnote;
    class QLabel *m_note;
    int m_column = 1;
    int m_row = 1;
    int m_batchDepth = 0;
    bool m_dirty = false;
    int m_rebuilds = 0;
};
