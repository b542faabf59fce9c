#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

class Dialogs;
class QWidget;
class Recordset;
struct Services;

/// Hands a record set's rows to a spreadsheet or to a CSV file.
namespace modUExcel {

/// The export of every chart window: header in row 1, the rows from row 2, always to the
/// spreadsheet program.
void PrebaciUExcel(const Services &services, Recordset &rsZap, QWidget *parent);

/// The general export: to a CSV file when the user's switch "PrebacujUCSV" (application "Tarnel")
/// is on, to the spreadsheet program otherwise; bezZaglavlja leaves out the header row.
void PrebaciRecordsetUExcel(const Services &services, Recordset &rs, bool &bezZaglavlja,
                            QWidget *parent);

/// Writes the rows as CSV; fileName may be replaced by the user's answer. True when written.
bool PrebaciUCSV(Dialogs &dialogs, Recordset &rs, QString &fileName, bool &navodnici,
                 QWidget *parent);

/// The array indexed (j, i) from one indexed (i, j).
QVector<QVector<QVariant>> TransponirajPolje(const QVector<QVector<QVariant>> &polje);

/// The default CSV file: Export.csv in the user's home folder.
QString defaultCsvFile();

/// One value as a CSV field: numbers with a full stop and at most 15 (7 for single precision)
/// significant digits, text quoted and doubled when navodnici, nothing for null and for a number
/// that is not finite. Text is kept as text (keptAsText).
QString csvField(const QVariant &value, bool navodnici);

/// Text that a spreadsheet would read as a formula (it starts with =, +, -, @, a tab or a
/// carriage return) with an apostrophe in front, so that it opens as the text it is; other text
/// unchanged. An apostrophe rather than a leading tab or blank: it survives the trimming of
/// unquoted fields, every spreadsheet shows it, and the reader sees that the text was guarded.
QString keptAsText(const QString &text);

/// A number in plain decimal notation, rounded to the given significant digits, no exponent and
/// no trailing zeros.
QString plainDecimal(double value, int significantDigits);

/// The bytes of a CSV file: the text in the code set of the user's locale (UTF-8 on most
/// systems), as the spreadsheet programs of that user read it; when that code set cannot hold
/// every character (č, ć, š, ž, đ under the C locale), UTF-8 after a byte-order mark instead, so
/// that no letter is ever replaced.
QByteArray csvBytes(const QString &text);
/// The same for the given code set (a name iconv knows).
QByteArray csvBytes(const QString &text, const QByteArray &codeset);

} // namespace modUExcel
