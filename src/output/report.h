#pragma once

#include "output/monthlytotals.h"
#include "output/tablepages.h"
#include "platform/data/recordset.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>

class QPrinter;

/// A report: named text fields that the caller fills, a record set as data source, and the
/// printer its pages go to. A template lays the pages out from these.
class Report
{
public:
    /// A text field of the report, filled by the caller.
    class TextField
    {
    public:
        void SetText(const QString &text) { m_text = text; }
        QString text() const { return m_text; }

    private:
        QString m_text;
    };
    /// The report's data: a record set handed over with its kind (3 = a record set of rows).
    class Database
    {
    public:
        bool SetDataSource(const Recordset &rs, int kind);
        const Recordset &rows() const { return m_rows; }

    private:
        Recordset m_rows;
    };

    Report(QString documentName, const QStringList &textFields);
    virtual ~Report();
    Report(const Report &) = delete;
    Report &operator=(const Report &) = delete;

    QString documentName() const { return m_documentName; }
    /// The named text field; null for a name the template does not have.
    TextField *textField(const QString &name);
    QString text(const QString &name) const;
    Database &database() { return m_database; }
    const Database &database() const { return m_database; }

    /// The printer the report prints on; made on first use by whoever shows the report.
    QPrinter *printer() const { return m_printer.get(); }
    void setPrinter(std::unique_ptr<QPrinter> printer);

    /// The report's table over the given rows (the data source, possibly filtered): what its
    /// pages show.
    virtual ReportTable table(const Recordset &rows) const = 0;
    /// An empty table under the report's heading: the title, the firm, the filter when there is
    /// one, and a line saying what the report shows.
    ReportTable headedTable(const QString &shows) const;
    /// The labels the viewer's group tree lists: the first field of the rows, once for each run
    /// of rows that share it.
    QStringList groups(const Recordset &rows) const;

private:
    QString m_documentName;
    QMap<QString, TextField> m_fields;
    Database m_database;
    std::unique_ptr<QPrinter> m_printer;
};

/// Monthly amounts per row label: title, firm name and filter text above one line per row with
/// the twelve month amounts and the row's figure for the year, and a total line. The totals say
/// how each row makes its year figure and whether there is a total line; without them every row
/// is a sum and the rows add up.
class CRFinPoMjes : public Report
{
public:
    explicit CRFinPoMjes(MonthlyTotals totals = {});
    ReportTable table(const Recordset &rows) const override;
    const MonthlyTotals &totals() const { return m_totals; }

private:
    MonthlyTotals m_totals;
};
