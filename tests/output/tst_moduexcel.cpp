// The export to a spreadsheet and to CSV. What each exporter does on a full disk is tested with the
// other writers (tst_report).
#include "output/moduexcel.h"
#include "platform/files/fulldisk.h"
#include "windowsupport.h"

#include <clocale>
#include <limits>

using FullDisk::readAll;
using FullDisk::writeAll;

namespace {

// A row with a text holding a double quote, a negative amount and a null, after a header.
Recordset sample()
{
    Recordset rs;
    rs.assign({{QStringLiteral("Godina"), QMetaType::QString},
               {QStringLiteral("Mj01"), QMetaType::Double},
               {QStringLiteral("Mj02"), QMetaType::Double}},
              {{QStringLiteral("a\"b"), -1234.5, QVariant()},
               {QStringLiteral(" DUG 2025 "), 0.1 + 0.2, 1e-7}});
    return rs;
}

// A sheet's cells, row after row.
QVariantList cellsOf(const SheetCells &sheet)
{
    QVariantList cells;
    for (int r = 1; r <= sheet.rowCount(); ++r)
        for (int c = 1; c <= sheet.columnCount(); ++c)
            cells << sheet.cell(r, c);
    return cells;
}

} // namespace

class TstModUExcel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void valuesBecomeCells();
    void csvFileAndItsName();
    void csvKeepsEveryLetter();
    void rowsBecomeSheetCells();
    void failedExportSaysWhyAndLeavesNoWorkbook();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fx;
};

void TstModUExcel::init()
{
    m_fx = std::make_unique<WindowFixture>();
    setlocale(LC_ALL, ""); // the test's own locale (C.UTF-8 under CTest) after one that changed it
    QLocale::setDefault(QLocale(QLocale::Croatian, QLocale::Croatia));
}

// Each value as a CSV field, quoted and not (when that differs), and as the cell of an .xlsx
// workbook that an independent reader sees: the value's Python form and its type ("s" text, "n"
// number, "b" truth value, "d" date). Text is never a formula; a number that is no number is
// empty.
void TstModUExcel::valuesBecomeCells()
{
    const QDate date(2025, 3, 31);
    const struct
    {
        QVariant value;
        const char *csv, *xlsx, *unquoted = nullptr;
    } table[] = {
        {QStringLiteral(" DUG 2025 "), "\" DUG 2025 \"", "' DUG 2025 ':s", "DUG 2025"},
        // what a spreadsheet would read as a formula (=, +, -, @, a tab) keeps an apostrophe
        {QStringLiteral("=1+1"), "\"'=1+1\"", "'=1+1':s", "'=1+1"},
        {QStringLiteral("\t=1"), "\"'\t=1\"", "'\\t=1':s", "'=1"}, // trimmed, then guarded
        {QStringLiteral("Saldo = D - P"), "\"Saldo = D - P\"", "'Saldo = D - P':s",
         "Saldo = D - P"},
        {QVariant(), "", "None:n"},
        // numbers with a full stop, no exponent, no number (inf, NaN) none; a double quote, a
        // negative amount, 15 significant digits and a small number: the file's bytes below
        {1200.0, "1200", "1200:n"},
        {0.0, "0", "0:n"},
        {1234.5678f, "1234.568", "1234.567749023438:n"}, // single precision: 7 digits
        {std::numeric_limits<double>::infinity(), "", "None:n"},
        {qlonglong(1234567890123), "1234567890123", "1234567890123:n"},
        {true, "True", "True:b"},
        {date, "31. 03. 2025.", "datetime.datetime(2025, 3, 31, 0, 0):d"},
        // a date and time: its time only when it has one
        {QDateTime(date, QTime(0, 0)), "31. 03. 2025.", "datetime.datetime(2025, 3, 31, 0, 0):d"},
        {QDateTime(date, QTime(14, 30, 15)), "31. 03. 2025. 14:30:15",
         "datetime.datetime(2025, 3, 31, 14, 30, 15):d"},
    };
    QVector<QVector<QVariant>> values;
    QStringList cells{QStringLiteral("'Vrijednost':s")};
    for (const auto &row : table) {
        QCOMPARE(modUExcel::csvField(row.value, true), QString::fromUtf8(row.csv));
        QCOMPARE(modUExcel::csvField(row.value, false),
                 QString::fromUtf8(row.unquoted ? row.unquoted : row.csv));
        values.append({row.value});
        cells << QString::fromUtf8(row.xlsx);
    }
    if (QProcess::execute(QStringLiteral("/usr/bin/python3"),
                          {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) != 0)
        QSKIP("python3-openpyxl is not installed");
    Recordset rs;
    rs.assign({{QStringLiteral("Vrijednost"), QMetaType::QString}}, values);
    const QString path = m_dir.filePath(QStringLiteral("cells.xlsx"));
    Services services = m_fx->services();
    services.spreadsheets = std::make_shared<FileSpreadsheets>(path);
    modUExcel::PrebaciUExcel(services, rs, nullptr);
    QVERIFY2(m_fx->dialogs->messages.isEmpty(), qPrintable(m_fx->dialogs->texts().join(u'\n')));
    // Debian's own Python, which has the packaged reader
    const QString read = TestSupport::output(
        QStringLiteral("/usr/bin/python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import openpyxl,sys\n"
                        "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                        "for row in ws.iter_rows():\n"
                        "    print('|'.join(repr(c.value) + ':' + c.data_type for c in row))\n"),
         path});
    QCOMPARE(read.split(u'\n', Qt::SkipEmptyParts), cells);
}

// The CSV file: its bytes with quotes and without (the header too), from the first row wherever
// the record set stands; the extension added to a name without it; the default name asked for
// first, where a blank answer stops; a file that is there replaced only when the user agrees.
void TstModUExcel::csvFileAndItsName()
{
    Recordset rs = sample();
    rs.MoveNext();
    QString file = m_dir.filePath(QStringLiteral("quotes.csv"));
    bool quotes = true;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(readAll(file), QByteArray("\"Godina\",\"Mj01\",\"Mj02\"\r\n"
                                       "\"a\"\"b\",-1234.5,\r\n"
                                       "\" DUG 2025 \",0.3,0.0000001\r\n"));
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("U datoteku: ") + file +
                         QStringLiteral(" prebačeno 2 zapisa u CSV formatu!")});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Information);
    quotes = false;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QVERIFY(readAll(file).startsWith("Godina,Mj01,Mj02\r\na\"b,"));

    quotes = true;
    // (a name without the extension: the answer below)
    for (const auto &[name, written] :
         {std::pair{"izvoz.CsV", "izvoz.CsV"}, {"izvoz.txt", "izvoz.txt.CSV"}}) {
        file = m_dir.filePath(QString::fromUtf8(name));
        QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
        QCOMPARE(file, m_dir.filePath(QString::fromUtf8(written)));
        QVERIFY(QFile::exists(file));
    }

    file = modUExcel::defaultCsvFile();
    QCOMPARE(file, QDir::home().filePath(QStringLiteral("Export.csv")));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->inputs.push_back(QStringLiteral("   "));
    QVERIFY(!modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(m_fx->dialogs->prompts,
             QStringList{QStringLiteral("Unesite kompletan naziv datoteke u koju želite izvesti "
                                        "podatke u formatu CSV:")});
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    m_fx->dialogs->inputs.push_back(m_dir.filePath(QStringLiteral("odgovor")));
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(file, m_dir.filePath(QStringLiteral("odgovor.CSV")));

    QVERIFY(writeAll(file, "stari sadržaj"));
    m_fx->dialogs->messages.clear();
    m_fx->dialogs->answers.push_back(Dialogs::AnswerNo);
    QVERIFY(!modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    const auto &ask = m_fx->dialogs->messages.first();
    QCOMPARE(ask.title + u'|' + ask.text,
             QStringLiteral("TarnFinGrafPromet11|Datoteka: ") + file +
                 QStringLiteral(" već postoji. Želite li je prepisati?"));
    QVERIFY(ask.icon == Dialogs::Question && ask.buttons == Dialogs::YesNo);
    QCOMPARE(readAll(file), QByteArray("stari sadržaj"));
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QVERIFY(readAll(file).startsWith("\"Godina\""));
}

// The text in the code set of the user's locale when that holds every letter, else UTF-8 after
// its mark.
void TstModUExcel::csvKeepsEveryLetter()
{
    const QString letters = QStringLiteral("čćšžđ ČĆŠŽĐ");
    const QByteArray bom("\xEF\xBB\xBF");
    const struct
    {
        const char *codeset;
        QString text;
        QByteArray bytes;
    } table[] = {
        {"UTF-8", letters, letters.toUtf8()},
        // ISO 8859-2 has every Croatian letter: one byte each, from its table
        {"ISO-8859-2", letters, "\xE8\xE6\xB9\xBE\xF0 \xC8\xC6\xA9\xAE\xD0"},
        // a set without them: the export under the C locale below
        {"NO-SUCH-SET", QStringLiteral("Šibenik"), bom + QStringLiteral("Šibenik").toUtf8()},
    };
    for (const auto &row : table)
        QCOMPARE(modUExcel::csvBytes(row.text, row.codeset), row.bytes);

    // The export under LANG=C: UTF-8 with its mark rather than "?akovec".
    QVERIFY(setlocale(LC_ALL, "C"));
    Recordset rs;
    rs.assign({{QStringLiteral("Mjesto"), QMetaType::QString}}, {{QStringLiteral("Čakovec")}});
    QString file = m_dir.filePath(QStringLiteral("c-locale.csv"));
    bool quotes = false;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(readAll(file), bom + "Mjesto\r\n\xC4\x8C" + "akovec\r\n");
}

// The rows go to a sheet from the first wherever the record set stands, which stays where it
// was; the header in row 1 unless it is left out; on the old path dates and text that reads as
// one in the general date format, arrays as a word. The module's export goes to a CSV file
// instead when the user's switch says so.
void TstModUExcel::rowsBecomeSheetCells()
{
    Recordset rs = sample();
    while (!rs.Eof())
        rs.MoveNext(); // as after the chart has read it
    modUExcel::PrebaciUExcel(m_fx->services(), rs, nullptr);
    QVERIFY(rs.Eof());
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 1);
    const SheetCells &s = *m_fx->spreadsheets->sheets.first();
    QVERIFY(s.isVisible() && s.userControl() && s.isReleased());
    const QVariantList cells{"Godina",   "Mj01",       "Mj02",    "a\"b", -1234.5,
                             QVariant(), " DUG 2025 ", 0.1 + 0.2, 1e-7};
    QCOMPARE(cellsOf(s), cells);
    QVERIFY(s.columnWidths().value(0) >= QStringLiteral(" DUG 2025 ").size());
    QVERIFY(m_fx->dialogs->messages.isEmpty());
    // rows and columns count from 1: a cell before them is no cell
    SheetCells sheet;
    sheet.setCell(0, 1, 1.0);
    sheet.setCell(1, 0, 1.0);
    QCOMPARE(sheet.rowCount() + sheet.columnCount(), 0);

    bool bezZaglavlja = true;
    modUExcel::PrebaciRecordsetUExcel(m_fx->services(), rs, bezZaglavlja, nullptr);
    QCOMPARE(cellsOf(*m_fx->spreadsheets->sheets.last()), cells.mid(3));
    m_fx->spreadsheets->versionText = QStringLiteral("8.0");
    Recordset dates;
    dates.assign({{QStringLiteral("Datum"), QMetaType::QDate},
                  {QStringLiteral("Tekst"), QMetaType::QString},
                  {QStringLiteral("Polje"), QMetaType::QByteArray},
                  {QStringLiteral("Iznos"), QMetaType::Double}},
                 {{QDate(2025, 3, 31), QStringLiteral("2025-04-01"), QByteArray("\x01\x02"), 5.5},
                  {QVariant(), QStringLiteral("DUG 2025"), QVariant(), 7.0}});
    bezZaglavlja = false; // with the header here, as without it on the path above
    modUExcel::PrebaciRecordsetUExcel(m_fx->services(), dates, bezZaglavlja, nullptr);
    QCOMPARE(cellsOf(*m_fx->spreadsheets->sheets.last()),
             (QVariantList{"Datum", "Tekst", "Polje", "Iznos", "31. 03. 2025.", "01. 04. 2025.",
                           "Array Field", 5.5, QVariant(), "DUG 2025", QVariant(), 7.0}));
    QVERIFY(modUExcel::TransponirajPolje({}).isEmpty());

    m_fx->settings->save(QStringLiteral("Tarnel"), QStringLiteral("Settings"),
                         QStringLiteral("PrebacujUCSV"), QStringLiteral("True"));
    m_fx->dialogs->inputs.push_back(m_dir.filePath(QStringLiteral("modul")));
    const int sheets = m_fx->spreadsheets->sheets.size();
    modUExcel::PrebaciRecordsetUExcel(m_fx->services(), rs, bezZaglavlja, nullptr);
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("modul.CSV"))));
    QCOMPARE(m_fx->spreadsheets->sheets.size(), sheets);
    // an unreadable switch is off
    m_fx->settings->save(QStringLiteral("Tarnel"), QStringLiteral("Settings"),
                         QStringLiteral("PrebacujUCSV"), QStringLiteral("možda"));
    modUExcel::PrebaciRecordsetUExcel(m_fx->services(), rs, bezZaglavlja, nullptr);
    QCOMPARE(m_fx->spreadsheets->sheets.size(), sheets + 1);
}

void TstModUExcel::failedExportSaysWhyAndLeavesNoWorkbook()
{
    m_fx->spreadsheets->failure = QStringLiteral("Nema programa za tablice.");
    Recordset rs = sample();
    modUExcel::PrebaciUExcel(m_fx->services(), rs, nullptr);
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("Desila se greška: Nema programa za tablice.")});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::NoIcon);

    // A closed record set: the copy fails after the header row was written.
    QTemporaryDir dir;
    bool opened = false;
    Services services = m_fx->services();
    services.spreadsheets = std::make_shared<DesktopSpreadsheets>(
        dir.path(), [&opened](const QString &) { return opened = true; });
    Recordset closed;
    m_fx->dialogs->messages.clear();
    modUExcel::PrebaciUExcel(services, closed, nullptr);
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("Desila se greška: Skup zapisa nije otvoren.")});
    QVERIFY(!opened);
    QCOMPARE(FullDisk::filesIn(dir.path()), QStringList());
}

QTEST_MAIN(TstModUExcel)
#include "tst_moduexcel.moc"
