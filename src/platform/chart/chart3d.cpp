#include "chart3d.h"

#include <Q3DBars>
#include <Q3DCamera>
#include <Q3DScene>
#include <Q3DSurface>
#include <Q3DTheme>
#include <QBar3DSeries>
#include <QBarDataProxy>
#include <QCategory3DAxis>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLogValue3DAxisFormatter>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <QSet>
#include <QStackedWidget>
#include <QSurface3DSeries>
#include <QSurfaceDataProxy>
#include <QValue3DAxis>
#include <QValue3DAxisFormatter>

#include <cmath>

namespace {

// Labels whole-number positions of a value axis with names: categories along X and series along
// Z of the ribbons, which a surface can only place on value axes.
class NamedPositions : public QValue3DAxisFormatter
{
public:
    explicit NamedPositions(const QStringList &names = {}) : m_names(names) {}

protected:
    QValue3DAxisFormatter *createNewInstance() const override { return new NamedPositions; }
    void populateCopy(QValue3DAxisFormatter &copy) const override
    {
        QValue3DAxisFormatter::populateCopy(copy);
        static_cast<NamedPositions &>(copy).m_names = m_names;
    }
    QString stringForValue(qreal value, const QString &) const override
    {
        const long i = std::lround(value);
        return std::abs(value - double(i)) < 1e-4 ? m_names.value(int(i)) : QString();
    }

private:
    QStringList m_names;
};

// n names on whole positions 0..n-1, with half a step of room at both ends.
void nameAxis(QValue3DAxis *axis, const QStringList &names)
{
    const int n = std::max<int>(1, names.size());
    axis->setFormatter(new NamedPositions(names));
    axis->setRange(-0.5f, float(n) - 0.5f);
    axis->setSegmentCount(2 * n);
    axis->setSubSegmentCount(1);
    axis->setLabelAutoRotation(30);
}

// The value axis for the values drawn: linear from zero or the lowest value to the highest, or
// logarithmic over whole powers of the base. Returns the lowest value the axis shows (the floor
// of a logarithmic axis).
float scaleAxis(QValue3DAxis *axis, const ChartModel &model, const SeriesMap &map,
                const QLocale &graphLocale)
{
    double lo = map.low, hi = map.high;
    if (map.logarithmic) {
        if (!qobject_cast<QLogValue3DAxisFormatter *>(axis->formatter()))
            axis->setFormatter(new QLogValue3DAxisFormatter);
        static_cast<QLogValue3DAxisFormatter *>(axis->formatter())->setBase(model.logBase);
        axis->setLabelFormat(QStringLiteral("%.0f"));
        axis->setRange(float(lo), float(hi));
        return float(lo);
    }
    if (axis->formatter()->metaObject() != &QValue3DAxisFormatter::staticMetaObject)
        axis->setFormatter(new QValue3DAxisFormatter); // plain numbers again
    // the graph writes numbers by printf in the C locale, where a per cent sign is doubled, and by
    // its locale otherwise, where text after the number is taken as it stands
    const bool printf = graphLocale == QLocale::c();
    axis->setLabelFormat(model.scale != ChartModel::Percent ? QStringLiteral("%.0f")
                         : printf                           ? QStringLiteral("%.0f %%")
                                                            : QStringLiteral("%.0f %"));
    // round steps (1, 2 or 5 times a power of ten), about five of them, outward from the values
    const double rough = (hi - lo) / 5;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= rough) {
            step = m * power;
            break;
        }
    lo = std::floor(lo / step) * step;
    hi = std::ceil(hi / step) * step;
    axis->setRange(float(lo), float(hi));
    axis->setSegmentCount(std::max(1, int(std::lround((hi - lo) / step))));
    axis->setSubSegmentCount(1);
    return float(lo);
}

void setUpGraph(QAbstract3DGraph *graph)
{
    Q3DTheme *theme = graph->activeTheme();
    theme->setType(Q3DTheme::ThemeQt);
    theme->setWindowColor(Qt::white);
    theme->setBackgroundColor(QColor(0xf4, 0xf4, 0xf4));
    theme->setLabelBackgroundEnabled(false);
    theme->setLabelBorderEnabled(false);
    theme->setColorStyle(Q3DTheme::ColorStyleUniform);
    QFont font = QGuiApplication::font();
    font.setPointSize(20); // labels are drawn as textures in the scene; this keeps them modest
    theme->setFont(font);
    graph->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    // without perspective the far labels are as large as the near ones and keep apart
    graph->setOrthoProjection(true);
    graph->setSelectionMode(QAbstract3DGraph::SelectionItem);
    // from the front right and high enough that a near row leaves the rows behind it in sight
    graph->scene()->activeCamera()->setCameraPosition(40, 32, 80);
    // room between the plot and its walls, so that the value axis' lowest label and the name
    // of the farthest row, which meet at one corner, keep apart
    graph->setMargin(0.7f);
}

// The drawn colour of a series: its grey when it carries a pattern, else the pen of a line and
// the fill of the rest.
QColor colourOf(const SeriesMap::Drawn &d)
{
    if (d.pattern > 0)
        return patternGrey(d.pattern);
    return d.asLine ? d.pen : d.fill;
}

} // namespace

// --- legend

ChartLegend::ChartLegend(QWidget *parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void ChartLegend::setEntries(const QVector<Entry> &entries)
{
    m_entries = entries;
    updateGeometry();
    update();
}

QSize ChartLegend::sizeFor(const QVector<Entry> &entries, const QFont &font)
{
    const QFontMetrics fm(font);
    int width = 0;
    for (const auto &e : entries)
        width = std::max(width, fm.horizontalAdvance(e.name));
    const int line = std::max(fm.height(), 12) + 4;
    return {width + 12 + 6 + 16, int(entries.size()) * line + 8};
}

void ChartLegend::paint(QPainter &painter, const QRect &rect, const QVector<Entry> &entries,
                        const QFont &font)
{
    const QFontMetrics fm(font);
    const int line = std::max(fm.height(), 12) + 4;
    painter.save();
    painter.setFont(font);
    int y = rect.top() + 4;
    for (const auto &e : entries) {
        const QRect swatch(rect.left() + 8, y + (line - 12) / 2, 12, 12);
        painter.fillRect(swatch, e.colour);
        if (e.hatch != Qt::NoBrush) // black on light greys, white on dark ones
            painter.fillRect(swatch,
                             QBrush(e.colour.lightness() < 128 ? Qt::white : Qt::black, e.hatch));
        painter.setPen(Qt::black);
        painter.drawRect(swatch.adjusted(0, 0, -1, -1));
        painter.drawText(QRect(swatch.right() + 6, y, rect.width(), line),
                         Qt::AlignLeft | Qt::AlignVCenter, e.name);
        y += line;
    }
    painter.restore();
}

QSize ChartLegend::sizeHint() const
{
    return sizeFor(m_entries, font());
}

void ChartLegend::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QSize need = sizeHint();
    paint(painter, QRect(0, (height() - need.height()) / 2, width(), need.height()), m_entries,
          font());
}

void ChartLegend::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit activated();
    event->accept();
}

// --- graph

bool Chart3D::available(QString *why)
{
    static int known = -1;
    static QString reason;
    if (known < 0) {
        const QString platform = QGuiApplication::platformName();
        if (platform == u"offscreen" || platform == u"minimal") {
            reason = QStringLiteral("nema OpenGL-a");
        } else {
            QOffscreenSurface surface;
            surface.create();
            QOpenGLContext context;
            if (!context.create() || !context.makeCurrent(&surface))
                reason = QStringLiteral("OpenGL se ne može pokrenuti");
            else
                context.doneCurrent();
        }
        known = reason.isEmpty() ? 1 : 0;
    }
    if (why)
        *why = reason;
    return known == 1;
}

bool Chart3D::isThreeDimensional(int code)
{
    return code >= 0 && code <= 8 && code % 2 == 0;
}

Chart3D::Chart3D(QWidget *parent)
    : QWidget(parent), m_title(new QLabel(this)), m_graphs(new QStackedWidget(this)),
      m_legend(new ChartLegend(this))
{
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_title, 0, 0, 1, 2);
    layout->addWidget(m_graphs, 1, 0);
    layout->addWidget(m_legend, 1, 1);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);
    m_title->setAlignment(Qt::AlignCenter);
    QFont f = m_title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.25);
    m_title->setFont(f);
    m_title->setContentsMargins(0, 4, 0, 4);
    m_title->hide();
    m_title->installEventFilter(this);
    connect(m_legend, &ChartLegend::activated, this, &Chart3D::legendActivated);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
}

Chart3D::~Chart3D() = default;

Q3DBars *Chart3D::bars()
{
    if (!m_bars) {
        m_bars = new Q3DBars;
        setUpGraph(m_bars);
        m_bars->setBarThickness(1.0f);
        m_bars->setBarSpacing(QSizeF(0.4, 0.6));
        m_bars->columnAxis()->setLabelAutoRotation(30);
        m_bars->rowAxis()->setLabelAutoRotation(30);
        m_barSeries = new QBar3DSeries;
        m_barSeries->setMesh(QAbstract3DSeries::MeshBevelBar);
        m_barSeries->setColorStyle(Q3DTheme::ColorStyleUniform);
        m_barSeries->setItemLabelFormat(QStringLiteral("@rowLabel - @colLabel: %.2f"));
        m_bars->addSeries(m_barSeries);
        connect(m_barSeries, &QBar3DSeries::selectedBarChanged, this, [this](const QPoint &at) {
            if (at != QBar3DSeries::invalidSelectionPosition())
                select(at.x() + 1, at.y() + 1); // (row, column): series, point
        });
        m_bars->installEventFilter(this);
        m_barsBox = QWidget::createWindowContainer(m_bars, m_graphs);
        m_graphs->addWidget(m_barsBox);
    }
    return m_bars;
}

Q3DSurface *Chart3D::surface()
{
    if (!m_surface) {
        m_surface = new Q3DSurface;
        setUpGraph(m_surface);
        // the ribbons stand high: look a little lower so their labels stay in the picture
        m_surface->scene()->activeCamera()->setTarget(QVector3D(0, -0.8f, 0));
        m_surface->scene()->activeCamera()->setZoomLevel(70);
        m_surface->installEventFilter(this);
        m_surfaceBox = QWidget::createWindowContainer(m_surface, m_graphs);
        m_graphs->addWidget(m_surfaceBox);
    }
    return m_surface;
}

QAbstract3DGraph *Chart3D::graph() const
{
    return m_showBars ? static_cast<QAbstract3DGraph *>(m_bars)
                      : static_cast<QAbstract3DGraph *>(m_surface);
}

int Chart3D::seriesDrawn() const
{
    return m_seriesDrawn;
}

void Chart3D::draw(const ChartModel &model)
{
    const SeriesMap map = mapSeries(model);
    m_showBars = map.look == SeriesMap::Look::Bar;
    // numbers as the flat charts write them, thousands grouped
    (m_showBars ? static_cast<QAbstract3DGraph *>(bars()) : surface())->setLocale(QLocale());
    m_selected = 0;
    if (m_showBars)
        drawBars(model, map);
    else
        drawRibbons(model, map);
    m_graphs->setCurrentWidget(m_showBars ? m_barsBox : m_surfaceBox);

    m_entries.clear();
    for (const SeriesMap::Drawn &d : map.series)
        m_entries.append(
            {d.title, colourOf(d), d.pattern > 0 ? patternHatch(d.pattern) : Qt::NoBrush});
    m_legend->setEntries(m_entries);
    setLegendVisible(model.legendVisible);
    setTitleText(model.title);
}

void Chart3D::setTitleText(const QString &text)
{
    m_title->setText(text.trimmed());
    m_title->setVisible(!m_title->text().isEmpty());
}

void Chart3D::setLegendVisible(bool on)
{
    m_legend->setVisible(on);
}

void Chart3D::drawBars(const ChartModel &model, const SeriesMap &map)
{
    Q3DBars *graph = bars();
    const QVector<SeriesMap::Drawn> &series = map.series;
    const QStringList &categories = map.categories;
    const bool log = map.logarithmic;
    const float floor = scaleAxis(graph->valueAxis(), model, map, graph->locale());

    auto *array = new QBarDataArray;
    array->reserve(series.size());
    QStringList names;
    QList<QColor> colours;
    for (int s = 0; s < series.size(); ++s) {
        auto *row = new QBarDataRow(categories.size());
        for (int p = 0; p < categories.size(); ++p) {
            // a gap is an empty place: no bar on a linear axis, none above the floor of a log one
            const double v = series[s].top.value(p).value_or(log ? floor : 0.0);
            (*row)[p].setValue(float(v));
        }
        array->append(row);
        names << series[s].title;
        colours << colourOf(series[s]);
    }
    m_barSeries->dataProxy()->resetArray(array, names, categories);
    m_barSeries->setRowColors(colours);
    m_barSeries->setBaseColor(colours.value(0, defaultSeriesColor(0)));
    graph->setFloorLevel(log ? floor : 0.0f);
    // more rows make a deeper floor: look from further away so that its labels stay in sight;
    // the same rows again keep the zoom the user chose
    if (int(series.size()) != m_barRows) {
        m_barRows = int(series.size());
        graph->scene()->activeCamera()->setZoomLevel(
            std::max(50.0f, 80.0f - 2.5f * float(std::max(0, m_barRows - 6))));
    }
    m_seriesDrawn = int(series.size());
}

void Chart3D::drawRibbons(const ChartModel &model, const SeriesMap &map)
{
    Q3DSurface *graph = surface();
    for (QSurface3DSeries *old : graph->seriesList()) {
        graph->removeSeries(old);
        delete old;
    }
    m_pieces.clear();

    const QVector<SeriesMap::Drawn> &series = map.series;
    const bool area = map.look == SeriesMap::Look::Area;
    const bool step = map.look == SeriesMap::Look::Step;
    const bool combination = map.look == SeriesMap::Look::Combination;

    const float floor = scaleAxis(graph->axisY(), model, map, graph->locale());
    nameAxis(graph->axisX(), map.categories);
    QStringList seriesNames;
    for (const SeriesMap::Drawn &d : series)
        seriesNames << d.title;
    nameAxis(graph->axisZ(), seriesNames);

    // One drawn piece: a grid of columns (x, the point it stands for, the value) by rows (z, and
    // whether the row lies on the ground), each point at its value or on the ground.
    struct Column
    {
        float x;
        int point;
        float value;
        bool ground = false;
    };
    struct Row
    {
        float z;
        bool ground;
    };
    QSet<int> drawn;
    auto addPiece = [&](int s, const QVector<Column> &columns, const QVector<Row> &rows,
                        const QVector<float> &groundAt) {
        auto *array = new QSurfaceDataArray;
        array->reserve(rows.size());
        Piece piece;
        piece.series = s;
        for (const Column &c : columns)
            piece.points << c.point;
        for (const Row &r : rows) {
            auto *row = new QSurfaceDataRow(columns.size());
            for (int c = 0; c < columns.size(); ++c) {
                const bool low = r.ground || columns[c].ground;
                (*row)[c].setPosition(
                    QVector3D(columns[c].x, low ? groundAt[c] : columns[c].value, r.z));
            }
            array->append(row);
        }
        auto *drawnSeries = new QSurface3DSeries;
        drawnSeries->dataProxy()->resetArray(array);
        drawnSeries->setName(series[s].title);
        drawnSeries->setColorStyle(Q3DTheme::ColorStyleUniform);
        drawnSeries->setBaseColor(colourOf(series[s]));
        drawnSeries->setFlatShadingEnabled(true);
        drawnSeries->setDrawMode(series[s].pattern > 0 ? QSurface3DSeries::DrawSurfaceAndWireframe
                                                       : QSurface3DSeries::DrawSurface);
        drawnSeries->setWireframeColor(Qt::black);
        drawnSeries->setItemLabelFormat(QStringLiteral("@seriesName: %.2f"));
        connect(drawnSeries, &QSurface3DSeries::selectedPointChanged, this,
                [this, drawnSeries](const QPoint &at) {
                    if (at == QSurface3DSeries::invalidSelectionPosition())
                        return;
                    const Piece piece = m_pieces.value(drawnSeries);
                    if (const int point = piece.points.value(at.y()))
                        select(piece.series + 1, point);
                });
        m_pieces.insert(drawnSeries, piece);
        graph->addSeries(drawnSeries);
        drawn.insert(s);
    };

    // a series stands on the one before it (stacked), and never below the axis' floor
    auto groundOf = [&](int s, int p) { return std::max(float(series[s].base[p]), floor); };
    for (int s = 0; s < series.size(); ++s) {
        const QVector<std::optional<double>> &top = series[s].top;
        const float z = float(s);
        // In a combination every series but the last is a row of blocks, as the flat one draws
        // bars under the last series' line.
        if (combination && !series[s].asLine) {
            for (int p = 0; p < top.size(); ++p)
                if (top[p]) {
                    const float v = float(*top[p]);
                    const float g = groundOf(s, p);
                    addPiece(s,
                             {{float(p) - 0.32f, p + 1, v, true},
                              {float(p) - 0.3f, p + 1, v},
                              {float(p) + 0.3f, p + 1, v},
                              {float(p) + 0.32f, p + 1, v, true}},
                             {{z - 0.32f, true},
                              {z - 0.3f, false},
                              {z + 0.3f, false},
                              {z + 0.32f, true}},
                             {g, g, g, g});
                }
            continue;
        }
        for (const SeriesMap::Run &run : series[s].runs) {
            // x positions along the run and the point each column stands for
            QVector<Column> columns;
            QVector<float> ground;
            auto column = [&](float x, int p) {
                columns.append({x, p + 1, float(*top[p])});
                ground << groundOf(s, p);
            };
            for (int p = run.first; p <= run.last; ++p) {
                if (step || run.first == run.last) {
                    const float half = step ? 0.48f : 0.25f;
                    column(float(p) - half, p);
                    column(float(p) + half, p);
                } else {
                    column(float(p), p);
                }
            }
            // rows run front to back: a ribbon is a strip at the values; an area's strip drops to
            // its ground at the front and back edges
            addPiece(s, columns,
                     area ? QVector<Row>{{z - 0.32f, true},
                                         {z - 0.3f, false},
                                         {z + 0.3f, false},
                                         {z + 0.32f, true}}
                          : QVector<Row>{{z - 0.3f, false}, {z + 0.3f, false}},
                     ground);
        }
    }
    m_seriesDrawn = int(drawn.size());
}

void Chart3D::select(int series, int point)
{
    m_selected = series;
    emit pointSelected(series, point);
}

bool Chart3D::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_title) {
            emit titleActivated();
            return true;
        }
        // the first click of the two has selected a point: its series is the one meant
        if ((watched == m_bars || watched == m_surface) && m_selected > 0)
            emit seriesActivated(m_selected);
    }
    return QWidget::eventFilter(watched, event);
}

void Chart3D::render(QPainter &painter, const QRect &rect) const
{
    painter.save();
    painter.fillRect(rect, Qt::white);
    QRect graphRect = rect;
    if (!m_title->text().isEmpty()) {
        const QFontMetrics fm(m_title->font());
        const int h = fm.height() + 8;
        painter.setFont(m_title->font());
        painter.setPen(Qt::black);
        painter.drawText(QRect(rect.left(), rect.top(), rect.width(), h), Qt::AlignCenter,
                         m_title->text());
        graphRect.setTop(rect.top() + h);
    }
    QSize legend;
    if (!m_legend->isHidden()) {
        legend = ChartLegend::sizeFor(m_entries, m_legend->font());
        graphRect.setRight(rect.right() - legend.width());
    }
    if (QAbstract3DGraph *g = graph(); g && graphRect.width() > 0 && graphRect.height() > 0)
        painter.drawImage(graphRect, g->renderToImage(0, graphRect.size()));
    if (legend.isValid())
        ChartLegend::paint(painter,
                           QRect(graphRect.right() + 1,
                                 graphRect.top() + (graphRect.height() - legend.height()) / 2,
                                 legend.width(), legend.height()),
                           m_entries, m_legend->font());
    painter.restore();
}
