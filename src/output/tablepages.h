#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <functional>

class QPainter;

/// A report's table as its pages show it: a title and heading lines, the columns, and the rows,
/// made one at a time when a page needs them (a report of many thousand rows never holds its
/// cells as text).
struct ReportTable
{
    struct Column
    {
        Column() = default;
        Column(QString header, bool number, bool key = false, int group = 0, bool named = true)
            : header(std::move(header)), number(number), key(key), group(group), named(named)
        {
        }
        QString header;
        bool number = false; ///< right-aligned, never shortened
        bool key = false;    ///< repeated at the left of every band of columns
        QString widest;      ///< the widest text the column holds: its width
        int group = 0;       ///< columns of one group (not 0) stay in one band
        bool named = true;   ///< named in the page's line of which columns it holds
    };
    struct Row
    {
        QStringList cells;
        bool total = false; ///< a sum line: bold, ruled above
    };

    /// The widest text of numbers from low to high as format shows them: the larger magnitude,
    /// with a minus sign when any is negative (a minus is narrower than a digit).
    static QString widestNumber(double low, double high,
                                const std::function<QString(double)> &format)
    {
        const double magnitude = std::max(std::abs(low), std::abs(high));
        return (low < 0 || high < 0 ? QStringLiteral("-") : QString()) + format(magnitude);
    }

    QString title;
    QStringList heading; ///< lines under the title: the firm, the filter, what the report shows
    QVector<Column> columns;
    int rowCount = 0;
    std::function<Row(int)> row;
};

/// The table laid out on pages of one size, in units of 1/1200 inch. The columns that do not fit
/// across the page go into bands, the key columns repeated in each; each band's rows go in blocks
/// of one page, with the title, the heading and the column headers on every page, and a line
/// saying which columns and which page it is. No text is smaller than seven points.
class TablePages
{
public:
    static constexpr qreal kUnitsPerInch = 1200;
    static constexpr qreal kSmallestPoints = 7;

    /// page: the printable area in points (1/72 inch).
    TablePages(ReportTable table, QSizeF page);

    int pageCount() const;
    int bandCount() const { return m_bands.size(); }
    qreal pointSize() const { return m_points; }
    /// The columns (indexes into the table's) of a page, keys first.
    QVector<int> columnsOf(int page) const;
    /// A column's width, in the units above.
    qreal columnWidth(int column) const { return m_widths.value(column); }
    /// The first row of a page and the number of rows it holds.
    int firstRowOf(int page) const;
    int rowsOf(int page) const;
    /// The first page showing the row.
    int pageOfRow(int row) const;
    /// The line under the heading: which columns the page holds and its number.
    QString pageLine(int page) const;
    const ReportTable &table() const { return m_table; }

    /// Paints the page with its top left at the painter's origin, in the units above (scale the
    /// painter for the device). Cells holding marked are shown marked.
    void paintPage(QPainter &painter, int page, const QString &marked = {},
                   Qt::CaseSensitivity markedCase = Qt::CaseInsensitive) const;

private:
    QFont font(bool bold = false, qreal scale = 1) const;
    qreal units(qreal points) const { return points * kUnitsPerInch / 72; }
    bool layOut(qreal points);
    /// The bands with at most width units of own columns each.
    QVector<QVector<int>> bands(qreal width) const;
    int pagesPerBlock() const;
    /// The bands a page shows: one, or several one under another when every row fits on a page.
    QVector<int> bandsOf(int page) const;

    ReportTable m_table;
    QSizeF m_page; ///< in units
    qreal m_points = kSmallestPoints;
    QVector<qreal> m_widths; ///< per column, in units
    QVector<QVector<int>> m_bands;
    qreal m_rowHeight = 0;
    qreal m_headHeight = 0;
    int m_rowsPerPage = 1;
    int m_blocks = 1; ///< pages of rows
    int m_stack = 1;  ///< bands one under another on a page
};
