#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>

class Recordset;

/// One export's spreadsheet: the application with its new workbook and that workbook's first
/// worksheet, with the calls the export makes. Rows and columns count from 1.
class Spreadsheet
{
public:
    virtual ~Spreadsheet() = default;

    virtual void setVisible(bool on) = 0;
    virtual void setUserControl(bool on) = 0;
    virtual void setCell(int row, int column, const QVariant &value) = 0;
    /// The application's version text, such as "16.0".
    virtual QString version() const = 0;
    /// Copies the rows from the record set's current row to its end, starting at (row, column);
    /// the record set ends on EOF.
    virtual bool copyFromRecordset(Recordset &rs, int row, int column, QString *error) = 0;
    /// Writes values[r][c] into the range that starts at (row, column).
    virtual void setRange(int row, int column, const QVector<QVector<QVariant>> &values) = 0;
    /// Fits the columns and rows of the region around the written cells to their content.
    virtual void autoFit() = 0;
    /// Releases the references: the workbook goes to the user, who then owns it.
    virtual bool release(QString *error) = 0;
    /// Gives the export up after a failure: the references go, and no workbook is left behind.
    virtual void discard() = 0;
};

/// Starts spreadsheet applications: "Excel.Application" on the host's platform.
class SpreadsheetApplication
{
public:
    virtual ~SpreadsheetApplication() = default;
    /// A new application with a new workbook; null with *error when none can be had.
    virtual std::shared_ptr<Spreadsheet> create(QString *error) = 0;
};

/// A worksheet kept in memory: cells by position, and the fitted column widths. A number that is
/// not finite (infinite, NaN) makes an empty cell: a spreadsheet has no such number, and its text
/// ("inf") would be read as a word.
class SheetCells : public Spreadsheet
{
public:
    explicit SheetCells(QString versionText = QStringLiteral("16.0"));

    void setVisible(bool on) override { m_visible = on; }
    void setUserControl(bool on) override { m_userControl = on; }
    void setCell(int row, int column, const QVariant &value) override;
    QString version() const override { return m_version; }
    bool copyFromRecordset(Recordset &rs, int row, int column, QString *error) override;
    void setRange(int row, int column, const QVector<QVector<QVariant>> &values) override;
    void autoFit() override;
    bool release(QString *error) override;
    void discard() override { m_released = true; }

    QVariant cell(int row, int column) const { return m_cells.value(key(row, column)); }
    int rowCount() const { return m_rows; }
    int columnCount() const { return m_columns; }
    bool isVisible() const { return m_visible; }
    bool userControl() const { return m_userControl; }
    bool isReleased() const { return m_released; }
    /// Column widths in characters after autoFit, from column 1.
    const QVector<double> &columnWidths() const { return m_widths; }
    /// The text a cell shows, as the width fitting measures it.
    static QString shownText(const QVariant &value);

protected:
    static quint64 key(int row, int column) { return (quint64(row) << 32) | quint32(column); }

    QHash<quint64, QVariant> m_cells;
    int m_rows = 0;
    int m_columns = 0;
    QVector<double> m_widths;

private:
    QString m_version;
    bool m_visible = false;
    bool m_userControl = false;
    bool m_released = false;
};

/// The desktop's spreadsheet: the sheet is written as an .xlsx workbook (libxlsxwriter) under a
/// new name in the given folder, and opened with the desktop's default application; or, made
/// with a file's path, written to that file and not opened.
class XlsxSpreadsheet : public SheetCells
{
public:
    using Opener = std::function<bool(const QString &path)>;
    XlsxSpreadsheet(QString folder, Opener opener);
    explicit XlsxSpreadsheet(QString file);
    bool release(QString *error) override;
    QString path() const { return m_path; }

    /// Writes cells to an .xlsx file: numbers as numbers, text as text (never a formula), dates
    /// as dates. The file replaces what was there only when complete; a failed write leaves
    /// nothing.
    static bool write(const QString &path, const SheetCells &sheet, QString *error);

private:
    QString m_folder;
    Opener m_opener;
    QString m_path;
    bool m_fixedPath = false;
};

/// Makes XlsxSpreadsheet exports in the user's documents folder (the temporary folder when
/// there is none) and opens each with the desktop's default application.
class DesktopSpreadsheets : public SpreadsheetApplication
{
public:
    /// An empty folder means the documents folder; a null opener means the desktop's.
    explicit DesktopSpreadsheets(QString folder = {}, XlsxSpreadsheet::Opener opener = {});
    std::shared_ptr<Spreadsheet> create(QString *error) override;
    /// The path of the last workbook written, for the launcher and tests.
    QString lastPath() const;

private:
    QString m_folder;
    XlsxSpreadsheet::Opener m_opener;
    std::shared_ptr<QString> m_lastPath = std::make_shared<QString>();
};

/// Every export's workbook written to one named file, which it replaces only when complete;
/// nothing is opened. For running without a screen.
class FileSpreadsheets : public SpreadsheetApplication
{
public:
    explicit FileSpreadsheets(QString path) : m_path(std::move(path)) {}
    std::shared_ptr<Spreadsheet> create(QString *error) override;

private:
    QString m_path;
};

/// Spreadsheets kept in memory, for tests: reports the version it is given and keeps every sheet.
class ScriptedSpreadsheets : public SpreadsheetApplication
{
public:
    QString versionText = QStringLiteral("16.0");
    QString failure; ///< when set, create() fails with this description
    QVector<std::shared_ptr<SheetCells>> sheets;
    std::shared_ptr<Spreadsheet> create(QString *error) override;
};
