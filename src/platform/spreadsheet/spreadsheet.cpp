#include "spreadsheet.h"

#include "platform/data/recordset.h"
#include "platform/files/atomicfile.h"

#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QUrl>

#include <xlsxwriter.h>

#include <algorithm>
#include <cmath>

SheetCells::SheetCells(QString versionText) : m_version(std::move(versionText)) {}

void SheetCells::setCell(int row, int column, const QVariant &value)
{
    if (row < 1 || column < 1)
        return;
    const bool number = value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float;
    if (value.isNull() || (number && !std::isfinite(value.toDouble())))
        m_cells.remove(key(row, column));
    else
        m_cells.insert(key(row, column), value);
    m_rows = std::max(m_rows, row);
    m_columns = std::max(m_columns, column);
}

bool SheetCells::copyFromRecordset(Recordset &rs, int row, int column, QString *error)
{
    if (!rs.isOpen()) {
        *error = QStringLiteral("Skup zapisa nije otvoren.");
        return false;
    }
    for (int r = row; !rs.Eof(); rs.MoveNext(), ++r)
        for (int f = 0; f < rs.fieldCount(); ++f)
            setCell(r, column + f, rs.value(f));
    return true;
}

void SheetCells::setRange(int row, int column, const QVector<QVector<QVariant>> &values)
{
    for (int r = 0; r < values.size(); ++r)
        for (int c = 0; c < values[r].size(); ++c)
            setCell(row + r, column + c, values[r][c]);
}

QString SheetCells::shownText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return QLocale().toString(value.toDouble(), 'f', 2);
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return QLocale().toString(value.toDateTime(), QLocale::ShortFormat);
    default:
        return value.toString();
    }
}

void SheetCells::autoFit()
{
    m_widths.fill(0, m_columns);
    for (auto it = m_cells.cbegin(); it != m_cells.cend(); ++it) {
        const int column = int(it.key() & 0xffffffffu);
        const double width = shownText(it.value()).size() + 2;
        m_widths[column - 1] = std::max(m_widths[column - 1], width);
    }
    for (double &w : m_widths)
        w = std::clamp(w, 8.43, 100.0); // the spreadsheet's default width at least
}

bool SheetCells::release(QString *)
{
    m_released = true;
    return true;
}

XlsxSpreadsheet::XlsxSpreadsheet(QString folder, Opener opener)
    : m_folder(std::move(folder)), m_opener(std::move(opener))
{
}

XlsxSpreadsheet::XlsxSpreadsheet(QString file) : m_path(std::move(file)), m_fixedPath(true) {}

namespace {

lxw_datetime toLxw(const QDateTime &t)
{
    return lxw_datetime{t.date().year(), t.date().month(),  t.date().day(),
                        t.time().hour(), t.time().minute(), double(t.time().second())};
}

} // namespace

bool XlsxSpreadsheet::write(const QString &path, const SheetCells &sheet, QString *error)
{
    // The library writes the file by name: beside the target, moved over it when whole.
    StagedFile part(path);
    lxw_workbook *wb = workbook_new(QFile::encodeName(part.path()).constData());
    if (!wb) {
        *error = QStringLiteral("Radna knjiga \"%1\" se ne može stvoriti.").arg(path);
        return false;
    }
    lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
    lxw_format *dateFormat = workbook_add_format(wb);
    format_set_num_format(dateFormat, "dd.mm.yyyy");
    lxw_format *timeFormat = workbook_add_format(wb);
    format_set_num_format(timeFormat, "dd.mm.yyyy hh:mm:ss");
    for (int r = 1; r <= sheet.rowCount(); ++r) {
        for (int c = 1; c <= sheet.columnCount(); ++c) {
            const QVariant v = sheet.cell(r, c);
            const auto row = lxw_row_t(r - 1);
            const auto col = lxw_col_t(c - 1);
            switch (v.typeId()) {
            case QMetaType::UnknownType:
                break;
            case QMetaType::Double:
            case QMetaType::Float:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Short:
            case QMetaType::UShort:
                worksheet_write_number(ws, row, col, v.toDouble(), nullptr);
                break;
            case QMetaType::Bool:
                worksheet_write_boolean(ws, row, col, v.toBool(), nullptr);
                break;
            case QMetaType::QDate: {
                lxw_datetime d = toLxw(QDateTime(v.toDate(), QTime(0, 0)));
                worksheet_write_datetime(ws, row, col, &d, dateFormat);
                break;
            }
            case QMetaType::QDateTime: {
                lxw_datetime d = toLxw(v.toDateTime());
                worksheet_write_datetime(ws, row, col, &d, timeFormat);
                break;
            }
            default:
                worksheet_write_string(ws, row, col, v.toString().toUtf8().constData(), nullptr);
                break;
            }
        }
    }
    const QVector<double> &widths = sheet.columnWidths();
    for (int c = 0; c < widths.size(); ++c)
        worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);
    const lxw_error result = workbook_close(wb);
    if (result != LXW_NO_ERROR) {
        // the library's word on a failed write names no cause; the system's does: a folder
        // that may not be written, or a disk that gives no more room
        QString cause = part.whyNotCreatable();
        if (cause.isEmpty())
            cause = part.diskCause();
        *error = QStringLiteral("Radna knjiga \"%1\" se ne može zapisati: %2")
                     .arg(path, cause.isEmpty() ? QString::fromUtf8(lxw_strerror(result)) : cause);
        return false;
    }
    if (!part.commit(StagedFile::completeZip)) {
        *error = part.errorText();
        return false;
    }
    return true;
}

bool XlsxSpreadsheet::release(QString *error)
{
    if (m_fixedPath) {
        if (!write(m_path, *this, error))
            return false;
        return SheetCells::release(error);
    }
    QDir().mkpath(m_folder);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1; m_path.isEmpty() || QFileInfo::exists(m_path); ++n)
        m_path =
            QDir(m_folder).filePath(n == 1 ? QStringLiteral("Export-%1.xlsx").arg(stamp)
                                           : QStringLiteral("Export-%1-%2.xlsx").arg(stamp).arg(n));
    if (!write(m_path, *this, error))
        return false;
    SheetCells::release(error);
    if (m_opener && !m_opener(m_path)) {
        *error = QStringLiteral("Radna knjiga je zapisana u \"%1\", ali je nijedan program za "
                                "tablice ne može otvoriti.")
                     .arg(m_path);
        return false;
    }
    return true;
}

DesktopSpreadsheets::DesktopSpreadsheets(QString folder, XlsxSpreadsheet::Opener opener)
    : m_folder(std::move(folder)), m_opener(std::move(opener))
{
    if (m_folder.isEmpty()) {
        m_folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (m_folder.isEmpty() || !QFileInfo(m_folder).isDir())
            m_folder = QDir::tempPath();
    }
    if (!m_opener)
        m_opener = [](const QString &path) {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        };
}

std::shared_ptr<Spreadsheet> DesktopSpreadsheets::create(QString *)
{
    // The path is known only after release; keep it for lastPath().
    auto lastPath = m_lastPath;
    XlsxSpreadsheet::Opener opener = [lastPath, inner = m_opener](const QString &path) {
        *lastPath = path;
        return inner(path);
    };
    return std::make_shared<XlsxSpreadsheet>(m_folder, opener);
}

QString DesktopSpreadsheets::lastPath() const
{
    return *m_lastPath;
}

std::shared_ptr<Spreadsheet> FileSpreadsheets::create(QString *)
{
    return std::make_shared<XlsxSpreadsheet>(m_path);
}

std::shared_ptr<Spreadsheet> ScriptedSpreadsheets::create(QString *error)
{
    if (!failure.isEmpty()) {
        *error = failure;
        return nullptr;
    }
    auto sheet = std::make_shared<SheetCells>(versionText);
    sheets.append(sheet);
    return sheet;
}
