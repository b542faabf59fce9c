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
/// significant digits, text quoted and doubled when navodnici, nothing for null.
QString csvField(const QVariant &value, bool navodnici);

/// A number in plain decimal notation, rounded to the given significant digits, no exponent and
/// no trailing zeros.
QString plainDecimal(double value, int significantDigits);

/// Text in the encoding of the user's locale (UTF-8 on most systems).
QByteArray localeBytes(const QString &text);

} // namespace modUExcel
