#include "tablepages.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The sizes tried, largest first: the largest that puts every column across one page, else the
// first with the columns in bands.
constexpr qreal kPointSizes[] = {8, 7.5, TablePages::kSmallestPoints};
// A text column wider than this many text heights is shortened with an ellipsis.
constexpr qreal kWidestText = 16;

const QColor kRule(150, 150, 150);
const QColor kHeaderFill(232, 232, 232);
const QColor kMarkFill(255, 230, 0);

} // namespace

TablePages::TablePages(ReportTable table, QSizeF page)
    : m_table(std::move(table)),
      m_page(page.width() * kUnitsPerInch / 72, page.height() * kUnitsPerInch / 72)
{
    bool fits = false;
    for (const qreal points : kPointSizes)
        if ((fits = layOut(points)))
            break;
    if (!fits)
        layOut(kPointSizes[0]);
}

QFont TablePages::font(bool bold, qreal scale) const
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(std::max(1, int(std::lround(units(m_points * scale)))));
    f.setBold(bold);
    return f;
}

bool TablePages::layOut(qreal points)
{
    m_points = points;
    const QFontMetricsF plain(font()), bold(font(true));
    const qreal pad = units(points) * 0.4;
    const qreal widestText = units(points) * kWidestText;
    m_widths.clear();
    for (const ReportTable::Column &c : std::as_const(m_table.columns)) {
        qreal w = std::max(bold.horizontalAdvance(c.header), bold.horizontalAdvance(c.widest));
        if (!c.number)
            w = std::min(w, std::max(widestText, bold.horizontalAdvance(c.header)));
        m_widths << std::ceil(w + 2 * pad);
    }

    // the key columns leave room for the widest group of the others: their texts are shortened
    // (never below their headers) when they would not
    qreal keys = 0, own = 0, widestGroup = 0, shortenable = 0;
    for (int c = 0; c < m_table.columns.size(); ++c) {
        const ReportTable::Column &column = m_table.columns[c];
        if (column.key && !column.number)
            shortenable += m_widths[c] - bold.horizontalAdvance(column.header) - 2 * pad;
        qreal group = m_widths[c];
        for (int d = c + 1; column.group != 0 && d < m_table.columns.size() &&
                            m_table.columns[d].group == column.group;
             ++d)
            group += m_widths[d];
        if (!column.key)
            widestGroup = std::max(widestGroup, group);
    }
    for (int c = 0; c < m_table.columns.size(); ++c)
        keys += m_table.columns[c].key ? m_widths[c] : 0;
    const qreal over = keys + widestGroup - m_page.width();
    if (over > 0 && shortenable > 0) {
        const qreal keep = std::max(0.0, 1 - over / shortenable);
        for (int c = 0; c < m_table.columns.size(); ++c) {
            const ReportTable::Column &column = m_table.columns[c];
            if (column.key && !column.number) {
                const qreal header = bold.horizontalAdvance(column.header) + 2 * pad;
                m_widths[c] = std::ceil(header + (m_widths[c] - header) * keep);
            }
        }
    }
    keys = 0;
    for (int c = 0; c < m_table.columns.size(); ++c)
        (m_table.columns[c].key ? keys : own) += m_widths[c];
    const qreal room = std::max(m_page.width() - keys, qreal(1));
    m_bands = bands(room);
    const int fewest = int(m_bands.size());
    for (qreal w = own / fewest; fewest > 1 && w < room; w += room / 50) {
        QVector<QVector<int>> even = bands(w);
        if (even.size() == fewest) {
            m_bands = even;
            break;
        }
    }

    const qreal line = plain.lineSpacing();
    m_rowHeight = std::ceil(line * 1.3);
    const qreal title = QFontMetricsF(font(true, 1.5)).lineSpacing();
    m_headHeight =
        title * 1.3 + line * 1.2 * (m_table.heading.size() + 1) + line * 0.6 + m_rowHeight;
    m_rowsPerPage = std::max(1, int((m_page.height() - m_headHeight) / m_rowHeight));
    m_blocks = std::max(1, (m_table.rowCount + m_rowsPerPage - 1) / m_rowsPerPage);
    // rows that fill less than a page leave room for the next bands below them
    m_stack = 1;
    if (m_blocks == 1) {
        const qreal section = m_rowHeight * (m_table.rowCount + 2);
        m_stack = std::clamp(int((m_page.height() - m_headHeight + m_rowHeight) / section), 1,
                             int(m_bands.size()));
    }
    return m_bands.size() == 1;
}

QVector<QVector<int>> TablePages::bands(qreal width) const
{
    QVector<int> keys;
    for (int c = 0; c < m_table.columns.size(); ++c)
        if (m_table.columns[c].key)
            keys << c;
    QVector<QVector<int>> out;
    QVector<int> band = keys;
    qreal used = 0;
    for (int c = 0; c < m_table.columns.size();) {
        if (m_table.columns[c].key) {
            ++c;
            continue;
        }
        int end = c + 1;
        qreal w = m_widths[c];
        while (m_table.columns[c].group != 0 && end < m_table.columns.size() &&
               m_table.columns[end].group == m_table.columns[c].group) {
            w += m_widths[end];
            ++end;
        }
        if (band.size() > keys.size() && used + w > width) {
            out << band;
            band = keys;
            used = 0;
        }
        for (int i = c; i < end; ++i)
            band << i;
        used += w;
        c = end;
    }
    out << band;
    return out;
}

int TablePages::pageCount() const
{
    return m_blocks * int(m_bands.size() + m_stack - 1) / m_stack;
}

int TablePages::pagesPerBlock() const
{
    return int(m_bands.size() + m_stack - 1) / m_stack;
}

QVector<int> TablePages::bandsOf(int page) const
{
    QVector<int> out;
    const int first = page % pagesPerBlock() * m_stack;
    for (int b = first; b < std::min(first + m_stack, int(m_bands.size())); ++b)
        out << b;
    return out;
}

QVector<int> TablePages::columnsOf(int page) const
{
    return m_bands.value(bandsOf(page).value(0));
}

int TablePages::firstRowOf(int page) const
{
    return page / pagesPerBlock() * m_rowsPerPage;
}

int TablePages::rowsOf(int page) const
{
    return std::clamp(m_table.rowCount - firstRowOf(page), 0, m_rowsPerPage);
}

int TablePages::pageOfRow(int row) const
{
    return row / m_rowsPerPage * pagesPerBlock();
}

QString TablePages::pageLine(int page) const
{
    QString text = QStringLiteral("Strana %1 od %2").arg(page + 1).arg(pageCount());
    const QVector<int> shown = bandsOf(page);
    if (shown.size() == m_bands.size())
        return text;
    QStringList own;
    for (int b : shown)
        for (int c : m_bands[b])
            if (!m_table.columns[c].key && m_table.columns[c].named)
                own << m_table.columns[c].header;
    const QString part = shown.size() == 1
                             ? QString::number(shown.first() + 1)
                             : QStringLiteral("%1–%2").arg(shown.first() + 1).arg(shown.last() + 1);
    return text + QStringLiteral(" · stupci %1 – %2 (%3. dio od %4)")
                      .arg(own.value(0), own.value(own.size() - 1), part)
                      .arg(m_bands.size());
}

void TablePages::paintPage(QPainter &painter, int page, const QString &marked,
                           Qt::CaseSensitivity markedCase) const
{
    if (page < 0 || page >= pageCount())
        return;
    painter.save();
    const QFont plain = font(), bold = font(true), title = font(true, 1.5);
    const qreal line = QFontMetricsF(plain).lineSpacing();
    const qreal pad = units(m_points) * 0.4;
    qreal y = 0;
    painter.setPen(Qt::black);
    painter.setFont(title);
    const qreal titleLine = QFontMetricsF(title).lineSpacing();
    painter.drawText(QRectF(0, y, m_page.width(), titleLine), Qt::AlignLeft | Qt::AlignVCenter,
                     m_table.title);
    y += titleLine * 1.3;
    painter.setFont(plain);
    for (const QString &text : m_table.heading) {
        painter.drawText(QRectF(0, y, m_page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                         text);
        y += line * 1.2;
    }
    QFont italic = plain;
    italic.setItalic(true);
    painter.setFont(italic);
    painter.drawText(QRectF(0, y, m_page.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                     pageLine(page));
    y += line * 1.8;

    for (const int band : bandsOf(page)) {
        const QVector<int> columns = m_bands[band];
        QVector<qreal> left;
        qreal x = 0;
        for (int c : columns) {
            left << x;
            x += m_widths[c];
        }
        const qreal tableWidth = x;
        auto cell = [&](int i, qreal top, const QString &text, bool number, const QFont &f) {
            const QRectF box(left[i], top, m_widths[columns[i]], m_rowHeight);
            if (!marked.isEmpty() && text.contains(marked, markedCase))
                painter.fillRect(box, kMarkFill);
            const QRectF inner = box.adjusted(pad, 0, -pad, 0);
            const QString shown =
                number ? text : QFontMetricsF(f).elidedText(text, Qt::ElideRight, inner.width());
            painter.drawText(inner, (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             shown);
        };

        const qreal tableTop = y;
        painter.fillRect(QRectF(0, y, tableWidth, m_rowHeight), kHeaderFill);
        painter.setFont(bold);
        painter.setPen(Qt::black);
        for (int i = 0; i < columns.size(); ++i) {
            const ReportTable::Column &c = m_table.columns[columns[i]];
            cell(i, y, c.header, c.number, bold);
        }
        y += m_rowHeight;
        const int first = firstRowOf(page), count = rowsOf(page);
        painter.setPen(QPen(kRule, 0));
        painter.drawLine(QPointF(0, y), QPointF(tableWidth, y));
        for (int r = first; r < first + count; ++r) {
            const ReportTable::Row row = m_table.row(r);
            const QFont &f = row.total ? bold : plain;
            painter.setFont(f);
            if (row.total) {
                painter.setPen(QPen(kRule, 0));
                painter.drawLine(QPointF(0, y), QPointF(tableWidth, y));
            }
            painter.setPen(Qt::black);
            for (int i = 0; i < columns.size(); ++i)
                cell(i, y, row.cells.value(columns[i]), m_table.columns[columns[i]].number, f);
            y += m_rowHeight;
        }
        painter.setPen(QPen(kRule, 0));
        painter.drawRect(QRectF(0, tableTop, tableWidth, y - tableTop));
        for (int i = 1; i < columns.size(); ++i)
            painter.drawLine(QPointF(left[i], tableTop), QPointF(left[i], y));
        y += m_rowHeight;
    }
    painter.restore();
}
