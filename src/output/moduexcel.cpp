#include "moduexcel.h"

#include "platform/data/recordset.h"
#include "platform/files/atomicfile.h"
#include "platform/services.h"
#include "platform/text/vbtext.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <iconv.h>
#include <langinfo.h>

#include <cmath>

namespace modUExcel {

namespace {

const QString kFailure = QStringLiteral("Desila se greška: ");

// A date, or text that reads as one.
bool isDate(const QVariant &v, QDateTime *when)
{
    switch (v.typeId()) {
    case QMetaType::QDate:
        *when = QDateTime(v.toDate(), QTime(0, 0));
        return true;
    case QMetaType::QDateTime:
        *when = v.toDateTime();
        return true;
    case QMetaType::QString: {
        const QString s = v.toString().trimmed();
        if (s.isEmpty() || !s.front().isDigit())
            return false;
        QDate d = QDate::fromString(s, Qt::ISODate);
        if (!d.isValid())
            d = QLocale().toDate(s, QLocale::ShortFormat);
        for (const char *format : {"d.M.yyyy", "d.M.yyyy."})
            if (!d.isValid())
                d = QDate::fromString(s, QLatin1String(format));
        if (d.isValid()) {
            *when = QDateTime(d, QTime(0, 0));
            return true;
        }
        const QDateTime t = QDateTime::fromString(s, Qt::ISODate);
        if (t.isValid()) {
            *when = t;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

// The general date format: the date, and the time when there is one.
QString generalDate(const QDateTime &t)
{
    const QLocale locale;
    return t.time() == QTime(0, 0)
               ? locale.toString(t.date(), QLocale::ShortFormat)
               : locale.toString(t.date(), QLocale::ShortFormat) + u' ' +
                     locale.toString(t.time(), QLocale::LongFormat).section(u' ', 0, 0);
}

bool isArray(const QVariant &v)
{
    return v.typeId() == QMetaType::QVariantList || v.typeId() == QMetaType::QByteArray ||
           v.typeId() == QMetaType::QStringList;
}

// Steps shared by both exports: create, show, header, copy by the version's path, fit, release.
void toSpreadsheet(const Services &services, Recordset &source, bool header, int startRow,
                   QWidget *parent)
{
    QString error;
    std::shared_ptr<Spreadsheet> sheet =
        services.spreadsheets ? services.spreadsheets->create(&error) : nullptr;
    if (!sheet) {
        if (error.isEmpty())
            error = QStringLiteral("Program za tablice nije dostupan.");
        services.dialogs->message(parent, kFailure + error);
        return;
    }
    // The rows go from the first whatever row the caller stands on, and the caller's position
    // stays where it was.
    Recordset rs = source;
    auto fail = [&](const QString &description) {
        sheet->discard(); // a workbook without its rows would pass for the export
        services.dialogs->message(parent, kFailure + description);
    };
    sheet->setVisible(true);
    sheet->setUserControl(true);
    if (header)
        for (int i = 1; i <= rs.fieldCount(); ++i)
            sheet->setCell(1, i, rs.fieldName(i - 1));
    const int major = int(VbText::val(sheet->version().section(u'.', 0, 0)));
    if (!rs.isOpen())
        return fail(QStringLiteral("Skup zapisa nije otvoren."));
    if (major > 8) {
        rs.MoveFirst();
        if (!sheet->copyFromRecordset(rs, startRow, 1, &error))
            return fail(error);
    } else {
        rs.MoveFirst();
        QVector<QVector<QVariant>> rows = rs.GetRows(); // [field][row]
        if (rows.isEmpty() || rows.first().isEmpty())
            return fail(QStringLiteral("Nema zapisa za prebacivanje."));
        for (auto &field : rows)
            for (QVariant &v : field) {
                QDateTime when;
                if (isDate(v, &when))
                    v = generalDate(when);
                else if (isArray(v))
                    v = QStringLiteral("Array Field");
            }
        sheet->setRange(startRow, 1, TransponirajPolje(rows));
    }
    sheet->autoFit();
    if (!sheet->release(&error))
        services.dialogs->message(parent, kFailure + error);
}

bool csvSwitchOn(const SettingsStore &settings)
{
    bool on = false; // an unreadable value keeps the default, off
    return VbText::toBool(settings.get(QStringLiteral("Tarnel"), QStringLiteral("Settings"),
                                       QStringLiteral("PrebacujUCSV"), QStringLiteral("False")),
                          &on) &&
           on;
}

} // namespace

void PrebaciUExcel(const Services &services, Recordset &rsZap, QWidget *parent)
{
    toSpreadsheet(services, rsZap, true, 2, parent);
}

void PrebaciRecordsetUExcel(const Services &services, Recordset &rs, bool &bezZaglavlja,
                            QWidget *parent)
{
    if (services.settings && csvSwitchOn(*services.settings)) {
        QString file = defaultCsvFile();
        bool quotes = true;
        PrebaciUCSV(*services.dialogs, rs, file, quotes, parent);
        return;
    }
    toSpreadsheet(services, rs, !bezZaglavlja, 2 - (bezZaglavlja ? 1 : 0), parent);
}

QString defaultCsvFile()
{
    return QDir::home().filePath(QStringLiteral("Export.csv"));
}

QString plainDecimal(double value, int significantDigits)
{
    if (!std::isfinite(value))
        return QString::number(value);
    if (value == 0)
        return QStringLiteral("0");
    // Round to the significant digits, then write the digits out without an exponent.
    const QString e = QString::number(std::fabs(value), 'e', significantDigits - 1);
    QString digits = e.section(u'e', 0, 0).remove(u'.');
    const int exponent = e.section(u'e', 1, 1).toInt();
    while (digits.size() > 1 && digits.endsWith(u'0'))
        digits.chop(1);
    QString text;
    if (exponent < 0)
        text = QStringLiteral("0.") + QString(-exponent - 1, u'0') + digits;
    else if (digits.size() <= exponent + 1)
        text = digits + QString(exponent + 1 - digits.size(), u'0');
    else
        text = digits.left(exponent + 1) + u'.' + digits.mid(exponent + 1);
    return value < 0 ? u'-' + text : text;
}

QString keptAsText(const QString &text)
{
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && formulaStarts.contains(text.front()))
        return u'\'' + text;
    return text;
}

QString csvField(const QVariant &value, bool navodnici)
{
    if (value.isNull() || !value.isValid())
        return {};
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        // No spreadsheet reads "inf" or "nan" as a number: no number is an empty field.
        if (!std::isfinite(value.toDouble()))
            return {};
        return value.typeId() == QMetaType::Float ? plainDecimal(value.toFloat(), 7)
                                                  : plainDecimal(value.toDouble(), 15);
    case QMetaType::QString: {
        const QString text = value.toString();
        if (!navodnici)
            return keptAsText(text.trimmed());
        return u'"' + keptAsText(text).replace(u'"', QStringLiteral("\"\"")) + u'"';
    }
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return generalDate(value.toDateTime());
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    default:
        return value.toString();
    }
}

QByteArray csvBytes(const QString &text, const QByteArray &codeset)
{
    const QByteArray utf8 = text.toUtf8();
    const QByteArray withBom = QByteArray("\xEF\xBB\xBF") + utf8;
    if (codeset.isEmpty() || codeset.toUpper().replace('-', "") == "UTF8")
        return utf8;
    iconv_t cd = iconv_open(codeset.constData(), "UTF-8");
    if (cd == iconv_t(-1))
        return withBom;
    QByteArray out(utf8.size() * 4 + 16, Qt::Uninitialized);
    char *in = const_cast<char *>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char *o = out.data();
    size_t outLeft = size_t(out.size());
    // No transliteration and no stand-in character: a letter the code set lacks (č in ASCII, ž in
    // Latin-1) would be lost without a word, so the whole text goes as UTF-8 instead.
    const bool whole = iconv(cd, &in, &inLeft, &o, &outLeft) != size_t(-1) &&
                       iconv(cd, nullptr, nullptr, &o, &outLeft) != size_t(-1);
    iconv_close(cd);
    if (!whole)
        return withBom;
    out.resize(out.size() - int(outLeft));
    return out;
}

QByteArray csvBytes(const QString &text)
{
    return csvBytes(text, QByteArray(nl_langinfo(CODESET)));
}

bool PrebaciUCSV(Dialogs &dialogs, Recordset &rs, QString &fileName, bool &navodnici,
                 QWidget *parent)
{
    if (fileName == defaultCsvFile()) {
        QString answer;
        if (!dialogs.input(parent,
                           QStringLiteral("Unesite kompletan naziv datoteke u koju želite izvesti "
                                          "podatke u formatu CSV:"),
                           QStringLiteral("CSV datoteka"), fileName, &answer) ||
            answer.trimmed().isEmpty())
            return false;
        fileName = answer;
    }
    if (fileName.right(4).toUpper() != u".CSV")
        fileName += QStringLiteral(".CSV");
    if (QFileInfo::exists(fileName) &&
        dialogs.message(parent,
                        QStringLiteral("Datoteka: ") + fileName +
                            QStringLiteral(" već postoji. Želite li je prepisati?"),
                        Dialogs::Question, Dialogs::YesNo) != Dialogs::AnswerYes)
        return false;

    QString text;
    for (int i = 0; i < rs.fieldCount(); ++i) {
        if (i > 0)
            text += u',';
        const QString name = keptAsText(rs.fieldName(i));
        text += navodnici ? u'"' + name + u'"' : name;
    }
    text += QStringLiteral("\r\n");
    Recordset rows = rs;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        for (int i = 0; i < rows.fieldCount(); ++i) {
            if (i > 0)
                text += u',';
            text += csvField(rows.value(i), navodnici);
        }
        text += QStringLiteral("\r\n");
    }
    // A failed write keeps the user's old file.
    QString error;
    if (!AtomicFile::writeFile(fileName, csvBytes(text), &error)) {
        dialogs.message(parent, kFailure + error, Dialogs::Exclamation);
        return false;
    }
    dialogs.message(parent,
                    QStringLiteral("U datoteku: ") + fileName + QStringLiteral(" prebačeno ") +
                        QString::number(rs.RecordCount()) +
                        QStringLiteral(" zapisa u CSV formatu!"),
                    Dialogs::Information);
    return true;
}

QVector<QVector<QVariant>> TransponirajPolje(const QVector<QVector<QVariant>> &polje)
{
    const int rows = polje.size();
    const int columns = rows ? polje.first().size() : 0;
    QVector<QVector<QVariant>> out(columns, QVector<QVariant>(rows));
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns && j < polje[i].size(); ++j)
            out[j][i] = polje[i][j];
    return out;
}

} // namespace modUExcel
