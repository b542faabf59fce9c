#include "chartcontrol.h"

#include "chart3d.h"

#include "platform/data/recordset.h"
#include "platform/files/atomicfile.h"

#include <QApplication>
#include <QAreaSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPieSeries>
#include <QPieSlice>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QStackedWidget>
#include <QSvgGenerator>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

#include <type_traits>

namespace {

using Look = SeriesMap::Look;

} // namespace

ChartControl::ChartControl(QWidget *parent)
    : QWidget(parent), m_stack(new QStackedWidget(this)), m_view(new QChartView(m_stack)),
      m_footnote(new QLabel(this)), m_note(new QLabel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_stack->addWidget(m_view);
    layout->addWidget(m_stack);
    layout->addWidget(m_note);
    layout->addWidget(m_footnote);
    m_note->setContentsMargins(8, 2, 8, 2);
    m_note->setWordWrap(true);
    m_note->setStyleSheet(QStringLiteral("color: #555555; font-style: italic;"));
    m_note->hide();
    m_footnote->setContentsMargins(8, 2, 8, 2);
    m_footnote->hide();
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->viewport()->installEventFilter(this);
    m_footnote->installEventFilter(this);
    rebuild();
}

ChartControl::Hit ChartControl::hitTest(QPoint pos) const
{
    Hit hit;
    QChart *chart = m_view->chart();
    const QPointF scenePos = m_view->mapToScene(pos);
    if (chart->legend()->isVisible() &&
        chart->legend()->mapToScene(chart->legend()->rect()).boundingRect().contains(scenePos))
        hit.part = Hit::Legend;
    else if (!m_model.title.isEmpty() && scenePos.y() < chart->plotArea().top() &&
             scenePos.y() >= chart->geometry().top())
        hit.part = Hit::Title;
    return hit;
}

QString ChartControl::valueTip(int series, int point) const
{
    const QString text = m_model.dataValueText(series, point);
    if (text.isEmpty())
        return {};
    const QLocale locale;
    return m_model.titleOf(series - 1) + QStringLiteral(" - ") +
           m_model.categories().value(point - 1) + QStringLiteral(": ") +
           locale.toString(text.toDouble(), 'f', 2);
}

QString ChartControl::categoryTip(int point) const
{
    const QLocale locale;
    QStringList lines{m_model.categories().value(point - 1)};
    for (int s = 1; s <= m_model.seriesCount(); ++s) {
        const QString text = m_model.dataValueText(s, point);
        lines << m_model.titleOf(s - 1) + QStringLiteral(": ") +
                     (text.isEmpty() ? QStringLiteral("-")
                                     : locale.toString(text.toDouble(), 'f', 2));
    }
    return lines.join(u'\n');
}

QString ChartControl::noteText() const
{
    return m_model.note();
}

bool ChartControl::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == m_footnote) {
            emit footnoteActivated();
            return true;
        }
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const Hit hit = hitTest(mouse->position().toPoint());
        if (hit.part == Hit::Legend) {
            emit legendActivated();
            return true;
        }
        if (hit.part == Hit::Title) {
            emit titleActivated();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Clicks, double clicks and hovering on one drawn series; index counts the model's series from 0.
void ChartControl::connectSeries(QObject *series, int index)
{
    auto pointOf = [this](const QPointF &p) {
        return std::clamp(qRound(p.x()), 0, int(m_model.categories().size()) - 1) + 1;
    };
    auto tip = [this](int s, int p) { QToolTip::showText(QCursor::pos(), valueTip(s, p), m_view); };
    if (auto *set = qobject_cast<QBarSet *>(series)) {
        connect(set, &QBarSet::clicked, this,
                [this, index](int p) { emit pointSelected(index + 1, p + 1); });
        connect(set, &QBarSet::doubleClicked, this,
                [this, index](int) { emit seriesActivated(index + 1); });
        connect(set, &QBarSet::hovered, this, [tip, index](bool on, int p) {
            if (on)
                tip(index + 1, p + 1);
        });
        return;
    }
    // Lines and areas report a position on the value axes; the point is the nearest category.
    // Both kinds name their signals alike, so one wiring serves them.
    auto wirePositions = [&](auto *drawn) {
        using Kind = std::remove_pointer_t<decltype(drawn)>;
        connect(drawn, &Kind::clicked, this, [this, index, pointOf](const QPointF &p) {
            emit pointSelected(index + 1, pointOf(p));
        });
        connect(drawn, &Kind::doubleClicked, this,
                [this, index](const QPointF &) { emit seriesActivated(index + 1); });
        connect(drawn, &Kind::hovered, this, [tip, index, pointOf](const QPointF &p, bool on) {
            if (on)
                tip(index + 1, pointOf(p));
        });
    };
    if (auto *line = qobject_cast<QXYSeries *>(series)) {
        wirePositions(line);
    } else if (auto *area = qobject_cast<QAreaSeries *>(series)) {
        wirePositions(area);
    } else if (auto *slice = qobject_cast<QPieSlice *>(series)) {
        const int point = slice->property("fingrafPoint").toInt();
        connect(slice, &QPieSlice::clicked, this,
                [this, index, point] { emit pointSelected(index + 1, point); });
        connect(slice, &QPieSlice::doubleClicked, this,
                [this, index] { emit seriesActivated(index + 1); });
        connect(slice, &QPieSlice::hovered, this, [tip, index, point](bool on) {
            if (on)
                tip(index + 1, point);
        });
    }
}

ChartControl::~ChartControl() = default;

void ChartControl::setChartType(int code)
{
    m_model.chartType = code;
    rebuild();
}

void ChartControl::setDataSource(const Recordset &rs)
{
    m_model.table = ChartTable::fromRecordset(rs);
    rebuild();
}

void ChartControl::setSeriesInRow(bool inRow)
{
    m_model.seriesInRow = inRow;
    rebuild();
}

void ChartControl::setStacking(bool on)
{
    if (m_model.stacked == on)
        return;
    m_model.stacked = on;
    rebuild();
}

void ChartControl::setLegendVisible(bool on)
{
    m_model.legendVisible = on;
    m_view->chart()->legend()->setVisible(on);
    if (m_3d)
        m_3d->setLegendVisible(on);
}

void ChartControl::setTitleText(const QString &text)
{
    m_model.title = text;
    m_view->chart()->setTitle(text);
    if (m_3d)
        m_3d->setTitleText(text);
}

void ChartControl::setFootnoteText(const QString &text)
{
    m_model.footnote = text;
    rebuild();
}

void ChartControl::setScale(ChartModel::Scale scale)
{
    m_model.scale = scale;
    rebuild();
}

void ChartControl::setSeriesNaming(std::function<QString(const QString &)> title,
                                   std::function<int(const QString &)> colourSlot)
{
    m_model.seriesTitle = std::move(title);
    m_model.colourSlot = std::move(colourSlot);
    rebuild();
}

void ChartControl::setLogBase(double base)
{
    m_model.logBase = base > 1 ? base : 10;
    rebuild();
}

ChartModel::SeriesLook *ChartControl::seriesLook(int series)
{
    if (series < 1)
        return nullptr;
    if (m_model.looks.size() < series)
        m_model.looks.resize(series);
    return &m_model.looks[series - 1];
}

void ChartControl::setSeriesPen(int series, const QColor &color)
{
    if (auto *look = seriesLook(series)) {
        look->pen = color;
        rebuild();
    }
}

void ChartControl::setSeriesFill(int series, const QColor &color)
{
    if (auto *look = seriesLook(series)) {
        look->fill = color;
        rebuild();
    }
}

void ChartControl::setSeriesPattern(int series, int pattern, const QColor &fill)
{
    if (auto *look = seriesLook(series)) {
        look->pattern = pattern;
        look->fill = fill;
        rebuild();
    }
}

void ChartControl::resetToDefaults()
{
    m_model.looks.clear();
    m_model.seriesInRow = true;
    m_model.legendVisible = true;
    m_model.stacked = false;
    m_model.title.clear();
    rebuild(); // the footnote stays: the user typed it, and nothing puts it back
}

void ChartControl::refresh()
{
    rebuild();
}

void ChartControl::rebuild()
{
    if (m_batchDepth > 0) {
        m_dirty = true;
        return;
    }
    m_dirty = false;
    ++m_rebuilds;
    m_in3D = rebuild3D();
    if (!m_in3D)
        rebuildFlat();
    m_stack->setCurrentWidget(m_in3D ? static_cast<QWidget *>(m_3d) : m_view);
    m_footnote->setText(m_model.footnote);
    m_footnote->setVisible(!m_model.footnote.isEmpty());
    m_note->setText(m_model.note());
    m_note->setVisible(!m_note->text().isEmpty());
    update();
}

bool ChartControl::rebuild3D()
{
    if (!Chart3D::isThreeDimensional(m_model.chartType))
        return false;
    // A window passes through the 3D entries while it fills its type list, before it has
    // figures: no graph (an OpenGL context, hundreds of milliseconds and megabytes) is made and
    // nothing is said for an empty chart nobody chose.
    if (m_model.table.rows() == 0 && !m_3d)
        return false;
    QString why;
    if (!Chart3D::available(&why)) {
        if (!m_saidFlat) {
            m_saidFlat = true;
            emit statusMessage(QStringLiteral("3D prikaz nije dostupan (%1): grafikon je "
                                              "nacrtan u 2D.")
                                   .arg(why));
        }
        return false;
    }
    if (!m_3d) {
        m_3d = new Chart3D(m_stack);
        m_stack->addWidget(m_3d);
        connect(m_3d, &Chart3D::pointSelected, this, &ChartControl::pointSelected);
        connect(m_3d, &Chart3D::seriesActivated, this, &ChartControl::seriesActivated);
        connect(m_3d, &Chart3D::titleActivated, this, &ChartControl::titleActivated);
        connect(m_3d, &Chart3D::legendActivated, this, &ChartControl::legendActivated);
    }
    m_3d->draw(m_model);
    return true;
}

void ChartControl::rebuildFlat()
{
    auto *chart = new QChart;
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale());
    chart->setTitle(m_model.title.trimmed());
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->layout()->setContentsMargins(0, 0, 0, 0);

    const SeriesMap map = mapSeries(m_model);
    const QVector<SeriesMap::Drawn> &series = map.series;
    const QStringList &categories = map.categories;
    const Look look = map.look;
    const bool log = map.logarithmic;

    auto brushOf = [&series](int s) {
        const int pattern = series[s].pattern;
        // a pattern is a black hatch on a white ground
        return pattern > 0 ? QBrush(Qt::black, patternHatch(pattern)) : QBrush(series[s].fill);
    };
    auto penOf = [&series](int s) {
        QPen pen(series[s].pen);
        pen.setWidthF(2.0);
        return pen;
    };

    QValueAxis *linearAxis = nullptr;
    QLogValueAxis *logAxis = nullptr;
    QAbstractAxis *valueAxis = nullptr;
    QBarCategoryAxis *categoryAxis = nullptr;
    if (look != Look::Pie) {
        if (log) {
            logAxis = new QLogValueAxis;
            logAxis->setBase(m_model.logBase);
            logAxis->setLabelFormat(QStringLiteral("%.0f"));
            valueAxis = logAxis;
        } else {
            linearAxis = new QValueAxis;
            linearAxis->setLabelFormat(m_model.scale == ChartModel::Percent
                                           ? QStringLiteral("%.0f %%")
                                           : QStringLiteral("%.0f"));
            valueAxis = linearAxis;
        }
        categoryAxis = new QBarCategoryAxis;
        categoryAxis->append(m_model.axisLabels());
        chart->addAxis(categoryAxis, Qt::AlignBottom);
        chart->addAxis(valueAxis, Qt::AlignLeft);
    }

    // on a logarithmic axis areas stand on its floor, as nothing reaches zero
    const double floorValue = map.floor();

    // Lines break at a gap: each unbroken run of values is a piece of its own.
    auto addLine = [&](int s, bool stackedValues, bool step, bool markers) {
        const auto &values = stackedValues ? series[s].top : series[s].values;
        for (const SeriesMap::Run &run : series[s].runs) {
            auto *piece = new QLineSeries;
            piece->setName(series[s].title);
            piece->setPen(penOf(s));
            // a value alone between two gaps is no line: its marker shows it
            piece->setPointsVisible(markers || run.first == run.last);
            connectSeries(piece, s);
            chart->addSeries(piece);
            piece->attachAxis(categoryAxis);
            piece->attachAxis(valueAxis);
            if (&run != &series[s].runs.first())
                for (auto *m : chart->legend()->markers(piece))
                    m->setVisible(false);
            for (int p = run.first; p <= run.last; ++p) {
                const double v = *values[p];
                if (step) {
                    piece->append(p - 0.5, v);
                    piece->append(p + 0.5, v);
                } else {
                    piece->append(p, v);
                }
            }
        }
    };

    auto addBars = [&](int from, int to) {
        QAbstractBarSeries *bars = m_model.stacked
                                       ? static_cast<QAbstractBarSeries *>(new QStackedBarSeries)
                                       : new QBarSeries;
        for (int s = from; s < to; ++s) {
            auto *set = new QBarSet(series[s].title);
            connectSeries(set, s);
            set->setBrush(brushOf(s));
            set->setColor(series[s].fill);
            if (series[s].pattern > 0) {
                set->setBrush(brushOf(s));
                set->setPen(QPen(Qt::black, 1)); // the outline keeps a hatched bar a bar on paper
            }
            for (int p = 0; p < categories.size(); ++p)
                set->append(series[s].values.value(p).value_or(0.0));
            bars->append(set);
        }
        // the group of bars takes more of its category as more bars share it
        bars->setBarWidth(barGroupWidth(m_model.stacked ? 1 : to - from));
        chart->addSeries(bars);
        bars->attachAxis(categoryAxis);
        bars->attachAxis(valueAxis);
    };

    switch (look) {
    case Look::Bar:
        addBars(0, series.size());
        break;
    case Look::Combination:
        // Every series but the last is a bar; the last (in a turnover chart the latest year) is a
        // line drawn over them, so one series can be compared with the others at a glance.
        addBars(0, std::max(0, int(series.size()) - 1));
        if (series.size() > 1)
            addLine(series.size() - 1, false, false, true);
        else if (series.size() == 1)
            addBars(0, 1);
        break;
    case Look::Line:
    case Look::Step:
    case Look::XY: {
        for (int s = 0; s < series.size(); ++s)
            addLine(s, true, look == Look::Step, look == Look::XY);
        if (look == Look::XY)
            for (auto *ser : chart->series())
                static_cast<QLineSeries *>(ser)->setPen(
                    QPen(static_cast<QLineSeries *>(ser)->pen().color(), 1.0, Qt::DotLine));
        break;
    }
    case Look::Area: {
        for (int s = 0; s < series.size(); ++s) {
            // The area does not own its edges: as its children they go when the chart drops it.
            auto *area = new QAreaSeries;
            auto *upper = new QLineSeries(area);
            auto *lower = new QLineSeries(area);
            for (int p = 0; p < categories.size(); ++p) {
                const double v = series[s].values.value(p).value_or(0.0);
                const double b = std::max(series[s].base.value(p), floorValue);
                upper->append(p, std::max(b + v, floorValue));
                lower->append(p, b);
            }
            area->setUpperSeries(upper);
            area->setLowerSeries(lower);
            area->setName(series[s].title);
            connectSeries(area, s);
            QColor c = series[s].fill;
            if (series[s].pattern == 0)
                c.setAlpha(m_model.stacked ? 255 : 140);
            area->setBrush(series[s].pattern > 0 ? brushOf(s) : QBrush(c));
            area->setPen(penOf(s));
            chart->addSeries(area);
            area->attachAxis(categoryAxis);
            area->attachAxis(valueAxis);
        }
        break;
    }
    case Look::Pie: {
        // Every pie holds a slice for each category that has a share anywhere, an empty one
        // where it has none here: the legend then names every category once, however small.
        QVector<bool> shown(categories.size(), false);
        for (const auto &ser : series)
            for (int p = 0; p < categories.size(); ++p)
                shown[p] = shown[p] || ser.values.value(p).value_or(0.0) > 0;
        QVector<QPieSeries *> pies;
        QVector<QGraphicsSimpleTextItem *> captions;
        for (int s = 0; s < series.size(); ++s) {
            auto *pie = new QPieSeries;
            pie->setName(series[s].title);
            const auto l = m_model.looks.value(s);
            for (int p = 0; p < categories.size(); ++p) {
                if (!shown[p])
                    continue;
                const double v = std::max(0.0, series[s].values.value(p).value_or(0.0));
                auto *slice = pie->append(categories[p], v);
                slice->setProperty("fingrafPoint", p + 1);
                connectSeries(slice, s);
                slice->setBrush(l.pattern > 0 ? brushOf(s)
                                              : QBrush(l.fill.value_or(defaultSeriesColor(p))));
                slice->setBorderColor(l.pattern > 0 ? QColor(Qt::black) : QColor(Qt::white));
                if (v == 0)
                    slice->setBorderWidth(0);
            }
            chart->addSeries(pie);
            const auto markers = chart->legend()->markers(pie);
            for (int m = 0; m < markers.size(); ++m) {
                markers[m]->setVisible(s == 0);
                // a slice too small to point at is told by its legend entry
                const int point = pie->slices().value(m)->property("fingrafPoint").toInt();
                connect(markers[m], &QLegendMarker::hovered, this, [this, point](bool on) {
                    if (on)
                        QToolTip::showText(QCursor::pos(), categoryTip(point), m_view);
                });
            }
            auto *caption = new QGraphicsSimpleTextItem(series[s].title, chart);
            QFont font = caption->font();
            font.setBold(true);
            caption->setFont(font);
            pies << pie;
            captions << caption;
        }
        // the pies share the plot area in the grid that makes them largest, each under its name
        auto arrange = [chart, pies, captions] {
            const QRectF area = chart->plotArea();
            if (area.isEmpty() || pies.isEmpty())
                return;
            const double captionHeight = QFontMetricsF(chart->font()).height() * 1.6;
            const PieGrid grid = pieGrid(int(pies.size()), area.size(), captionHeight);
            const double cellWidth = area.width() / grid.columns;
            const double cellHeight = area.height() / grid.rows;
            const double shorter = std::min(area.width(), area.height());
            for (int s = 0; s < pies.size(); ++s) {
                const int column = s % grid.columns;
                const int row = s / grid.columns;
                const double cx = (column + 0.5) * cellWidth;
                const double cy =
                    row * cellHeight + captionHeight + (cellHeight - captionHeight) / 2;
                pies[s]->setHorizontalPosition(cx / area.width());
                pies[s]->setVerticalPosition(cy / area.height());
                pies[s]->setPieSize(grid.diameter / shorter);
                const QRectF r = captions[s]->boundingRect();
                captions[s]->setPos(area.left() + cx - r.width() / 2,
                                    area.top() + cy - grid.diameter / 2 - r.height() - 4);
            }
        };
        connect(chart, &QChart::plotAreaChanged, chart, arrange);
        arrange();
        break;
    }
    }

    if (logAxis)
        logAxis->setRange(map.low, map.high);
    if (linearAxis) {
        linearAxis->setRange(map.low, map.high);
        linearAxis->applyNiceNumbers();
        // as many decimals as the step between two labels needs, so that no two read the same
        const double step =
            (linearAxis->max() - linearAxis->min()) / std::max(1, linearAxis->tickCount() - 1);
        int decimals = 0;
        while (decimals < 6 && step > 0 &&
               std::abs(step * std::pow(10, decimals) - std::round(step * std::pow(10, decimals))) >
                   1e-6)
            ++decimals;
        linearAxis->setLabelFormat(
            QStringLiteral("%.") + QString::number(decimals) +
            (m_model.scale == ChartModel::Percent ? QStringLiteral("f %%") : QStringLiteral("f")));
    }
    if (categoryAxis && look != Look::Bar && look != Look::Combination) {
        const QStringList labels = m_model.axisLabels();
        categoryAxis->setRange(labels.value(0), labels.value(labels.size() - 1));
    }
    chart->legend()->setVisible(m_model.legendVisible);
    chart->legend()->setAlignment(Qt::AlignRight);

    QChart *old = m_view->chart();
    m_view->setChart(chart);
    delete old;
}

void ChartControl::render(QPainter &painter, QSize size) const
{
    // the note and the footnote a line each under the chart
    const QString note = m_model.note();
    const int line = 24;
    const int footnoteHeight = m_model.footnote.isEmpty() ? 0 : line;
    const int noteHeight = note.isEmpty() ? 0 : line;
    const QRect area(0, 0, size.width(), size.height() - footnoteHeight - noteHeight);
    if (m_in3D) {
        m_3d->render(painter, area);
    } else {
        QChart *chart = m_view->chart();
        const QRectF oldGeometry = chart->geometry();
        chart->setGeometry(area);
        m_view->scene()->render(&painter, area, chart->geometry());
        chart->setGeometry(oldGeometry);
    }
    if (noteHeight) {
        painter.save();
        QFont font = painter.font();
        font.setItalic(true);
        painter.setFont(font);
        painter.setPen(QColor(0x55, 0x55, 0x55));
        painter.drawText(QRect(8, area.bottom() + 1, size.width() - 16, noteHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, note);
        painter.restore();
    }
    if (footnoteHeight) {
        painter.setPen(Qt::black);
        painter.drawText(
            QRect(8, size.height() - footnoteHeight, size.width() - 16, footnoteHeight),
            Qt::AlignLeft | Qt::AlignVCenter, m_model.footnote);
    }
}

QImage ChartControl::picture(QSize size) const
{
    if (size.isEmpty())
        size = m_stack->size().width() > 50 ? m_stack->size() : QSize(800, 500);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    render(painter, size);
    return image;
}

QString ChartControl::figuresText() const
{
    const ChartTable &t = m_model.table;
    QString text = QStringLiteral("\t") + t.columnNames.join(u'\t') + QStringLiteral("\r\n");
    for (int r = 0; r < t.rows(); ++r) {
        text += t.rowLabels[r];
        for (const auto &v : t.values[r])
            text += u'\t' + (v ? QString::number(*v, 'g', 15) : QString());
        text += QStringLiteral("\r\n");
    }
    return text;
}

bool ChartControl::copyToClipboard(QString *error)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        *error = QStringLiteral("Međuspremnik (clipboard) nije dostupan.");
        return false;
    }
    auto *mime = new QMimeData;
    mime->setImageData(picture());
    mime->setText(figuresText());
    clipboard->setMimeData(mime);
    return true;
}

bool ChartControl::save(const QString &path, QSize size, QString *error) const
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"png" && suffix != u"svg" && suffix != u"pdf") {
        *error = QStringLiteral("Nepoznata vrsta datoteke \"%1\": očekuje se .png, .svg ili .pdf.")
                     .arg(path);
        return false;
    }
    if (suffix == u"png")
        return AtomicFile::saveImage(picture(size), path, error);
    AtomicFile file(path);
    if (file.open()) {
        if (suffix == u"svg") {
            QSvgGenerator svg;
            svg.setOutputDevice(&file);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(0, 0), size));
            svg.setTitle(m_model.title);
            QPainter p(&svg);
            render(p, size);
        } else {
            QPdfWriter pdf(&file);
            pdf.setTitle(m_model.title);
            pdf.setPageOrientation(QPageLayout::Landscape);
            pdf.setResolution(96);
            QPainter p(&pdf);
            const QSize page = p.viewport().size();
            render(p, size.scaled(page, Qt::KeepAspectRatio));
        }
    }
    // The painters above have finished their files before the file takes the target's place.
    if (!file.commit()) {
        *error = file.errorText();
        return false;
    }
    return true;
}
