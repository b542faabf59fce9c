#include "output/moduexcel.h"
#include "platform/data/recordset.h"
#include "platform/files/atomicfile.h"
#include "platform/files/fulldisk.h"
#include "platform/spreadsheet/spreadsheet.h"
#include "platform/widgets/keyedtree.h"
#include "windowsupport.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <clocale>
#include <csignal>
#include <limits>
#include <sys/resource.h>

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

Services servicesOf(WindowFixture &fx)
{
    return fx.services();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Rows with what a spreadsheet must not take for a formula, and amounts that are no number.
Recordset awkward()
{
    const double inf = std::numeric_limits<double>::infinity();
    Recordset rs;
    rs.assign({{QStringLiteral("Opis"), QMetaType::QString},
               {QStringLiteral("Iznos"), QMetaType::Double}},
              {{QStringLiteral("=1+1"), inf},
               {QStringLiteral("@SUM(A1)"), -inf},
               {QStringLiteral("-2+3"), std::numeric_limits<double>::quiet_NaN()},
               {QStringLiteral("+385 1 2345"), -7.5}});
    return rs;
}

// The cells of the first sheet of an .xlsx workbook as an independent reader sees them, one
// line per row: the value's Python form and its cell type ("s" text, "n" number, "f" formula).
QStringList readXlsx(const QString &path)
{
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import openpyxl,sys\n"
                                 "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                 "for row in ws.iter_rows():\n"
                                 "    print('|'.join(repr(c.value) + ':' + c.data_type for c in "
                                 "row))\n"),
                  path});
    if (!reader.waitForFinished(30000))
        return {};
    return QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

bool haveOpenpyxl()
{
    return QFile::exists(QStringLiteral("/usr/bin/python3")) &&
           QProcess::execute(QStringLiteral("/usr/bin/python3"),
                             {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) == 0;
}

} // namespace

class TstModUExcel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void plainDecimal_data();
    void plainDecimal();
    void csvBytesWithQuotes();
    void csvWithoutQuotesTrimsText();
    void csvNameGetsExtension_data();
    void csvNameGetsExtension();
    void csvDefaultNameAsksAndEmptyAnswerStops();
    void csvExistingFileAsksFirst();
    void csvFailedWriteKeepsOldFile();
    void csvKeepsEveryLetter_data();
    void csvKeepsEveryLetter();
    void csvUnderTheCLocaleIsUtf8WithAMark();
    void csvFormulaTextStaysText();
    void csvNoNumberIsAnEmptyField();
    void xlsxKeepsTextAsTextAndNoNumberEmpty();
    void xlsxFailedWriteLeavesNoWorkbook();
    void xlsxIntoAFileReplacesItOnlyWhole();
    void failedExportLeavesNoWorkbook();
    void csvSwitchSendsModuleExportToFile();
    void newPathCopiesAllRowsFromTheFirst();
    void oldPathTurnsDatesAndArraysIntoText();
    void withoutHeaderDataStartInRowOne();
    void spreadsheetMissingShowsTheError();
    void transposeSwapsIndexes();
    void xlsxReadBackByAnIndependentReader();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<WindowFixture> m_fx;
};

void TstModUExcel::init()
{
    m_fx = std::make_unique<WindowFixture>();
    setlocale(LC_ALL, ""); // the test's own locale (C.UTF-8 under CTest) after one that changed it
}

void TstModUExcel::plainDecimal_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("digits");
    QTest::addColumn<QString>("text");
    QTest::newRow("negative") << -1234.5 << 15 << "-1234.5";
    QTest::newRow("whole") << 1200.0 << 15 << "1200";
    QTest::newRow("zero") << 0.0 << 15 << "0";
    QTest::newRow("sum noise") << 0.1 + 0.2 << 15 << "0.3";
    QTest::newRow("small") << 1e-7 << 15 << "0.0000001";
    QTest::newRow("large") << 1.5e16 << 15 << "15000000000000000";
    QTest::newRow("single") << double(1234.5678f) << 7 << "1234.568";
    QTest::newRow("rounds up") << 9.9999999999999999 << 15 << "10";
}

void TstModUExcel::plainDecimal()
{
    QFETCH(double, value);
    QFETCH(int, digits);
    QFETCH(QString, text);
    QCOMPARE(modUExcel::plainDecimal(value, digits), text);
}

void TstModUExcel::csvBytesWithQuotes()
{
    Recordset rs = sample();
    rs.MoveNext(); // the export starts from the first row wherever the record set stands
    QString file = m_dir.filePath(QStringLiteral("quotes.csv"));
    bool quotes = true;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("\"Godina\",\"Mj01\",\"Mj02\"\r\n"
                                     "\"a\"\"b\",-1234.5,\r\n"
                                     "\" DUG 2025 \",0.3,0.0000001\r\n"));
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("U datoteku: ") + file +
                         QStringLiteral(" prebačeno 2 zapisa u CSV formatu!")});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::Information);
}

void TstModUExcel::csvWithoutQuotesTrimsText()
{
    Recordset rs = sample();
    QString file = m_dir.filePath(QStringLiteral("plain.csv"));
    bool quotes = false;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(),
             QByteArray("Godina,Mj01,Mj02\r\na\"b,-1234.5,\r\nDUG 2025,0.3,0.0000001\r\n"));
}

void TstModUExcel::csvNameGetsExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("written");
    QTest::newRow("none") << "izvoz"
                          << "izvoz.CSV";
    QTest::newRow("lower") << "izvoz.csv"
                           << "izvoz.csv";
    QTest::newRow("mixed") << "izvoz.CsV"
                           << "izvoz.CsV";
    QTest::newRow("other") << "izvoz.txt"
                           << "izvoz.txt.CSV";
}

void TstModUExcel::csvNameGetsExtension()
{
    QFETCH(QString, name);
    QFETCH(QString, written);
    Recordset rs = sample();
    QString file = m_dir.filePath(name);
    bool quotes = true;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(file, m_dir.filePath(written));
    QVERIFY(QFile::exists(file));
}

void TstModUExcel::csvDefaultNameAsksAndEmptyAnswerStops()
{
    Recordset rs = sample();
    QString file = modUExcel::defaultCsvFile();
    QCOMPARE(file, QDir::home().filePath(QStringLiteral("Export.csv")));
    bool quotes = true;
    m_fx->dialogs->inputs.push_back(QStringLiteral("   "));
    QVERIFY(!modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(m_fx->dialogs->prompts,
             QStringList{QStringLiteral("Unesite kompletan naziv datoteke u koju želite izvesti "
                                        "podatke u formatu CSV:")});
    QVERIFY(m_fx->dialogs->messages.isEmpty());

    m_fx->dialogs->inputs.push_back(m_dir.filePath(QStringLiteral("odgovor")));
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(file, m_dir.filePath(QStringLiteral("odgovor.CSV")));
}

void TstModUExcel::csvExistingFileAsksFirst()
{
    Recordset rs = sample();
    QString file = m_dir.filePath(QStringLiteral("postoji.csv"));
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("stari sadržaj");
    }
    bool quotes = true;
    m_fx->dialogs->answers.push_back(Dialogs::AnswerNo);
    QVERIFY(!modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    const auto &ask = m_fx->dialogs->messages.first();
    QCOMPARE(ask.text, QStringLiteral("Datoteka: ") + file +
                           QStringLiteral(" već postoji. Želite li je prepisati?"));
    QCOMPARE(ask.icon, Dialogs::Question);
    QCOMPARE(ask.buttons, Dialogs::YesNo);
    QCOMPARE(ask.title, QStringLiteral("TarnFinGrafPromet11"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("stari sadržaj"));
    f.close();

    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().startsWith("\"Godina\""));
}

void TstModUExcel::csvFailedWriteKeepsOldFile()
{
    QString file = m_dir.filePath(QStringLiteral("stari.csv"));
    {
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("stari");
    }
    // Files may not grow past a few bytes: the write fails half way, as on a full disk.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    Recordset rs = sample();
    bool quotes = true;
    m_fx->dialogs->answers.push_back(Dialogs::AnswerYes);
    const bool written = modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr);
    setrlimit(RLIMIT_FSIZE, &saved);
    QVERIFY(!written);
    QCOMPARE(m_fx->dialogs->messages.last().icon, Dialogs::Exclamation);
    QVERIFY(m_fx->dialogs->messages.last().text.startsWith(QStringLiteral("Desila se greška: ")));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("stari"));
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("stari*")}, QDir::Files),
             QStringList{QStringLiteral("stari.csv")});
}

void TstModUExcel::csvSwitchSendsModuleExportToFile()
{
    m_fx->settings->save(QStringLiteral("Tarnel"), QStringLiteral("Settings"),
                         QStringLiteral("PrebacujUCSV"), QStringLiteral("True"));
    m_fx->dialogs->inputs.push_back(m_dir.filePath(QStringLiteral("modul")));
    Recordset rs = sample();
    bool bezZaglavlja = false;
    modUExcel::PrebaciRecordsetUExcel(servicesOf(*m_fx), rs, bezZaglavlja, nullptr);
    QVERIFY(QFile::exists(m_dir.filePath(QStringLiteral("modul.CSV"))));
    QVERIFY(m_fx->spreadsheets->sheets.isEmpty());

    // An unreadable switch is off.
    m_fx->settings->save(QStringLiteral("Tarnel"), QStringLiteral("Settings"),
                         QStringLiteral("PrebacujUCSV"), QStringLiteral("možda"));
    modUExcel::PrebaciRecordsetUExcel(servicesOf(*m_fx), rs, bezZaglavlja, nullptr);
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 1);
}

void TstModUExcel::newPathCopiesAllRowsFromTheFirst()
{
    Recordset rs = sample();
    while (!rs.Eof())
        rs.MoveNext(); // as after the chart has read it
    modUExcel::PrebaciUExcel(servicesOf(*m_fx), rs, nullptr);
    QVERIFY(rs.Eof()); // the caller's position is left alone
    QCOMPARE(m_fx->spreadsheets->sheets.size(), 1);
    const SheetCells &s = *m_fx->spreadsheets->sheets.first();
    QVERIFY(s.isVisible() && s.userControl() && s.isReleased());
    QCOMPARE(s.cell(1, 1), QVariant(QStringLiteral("Godina")));
    QCOMPARE(s.cell(1, 3), QVariant(QStringLiteral("Mj02")));
    QCOMPARE(s.cell(2, 1), QVariant(QStringLiteral("a\"b")));
    QCOMPARE(s.cell(2, 2), QVariant(-1234.5));
    QVERIFY(s.cell(2, 3).isNull());
    QCOMPARE(s.cell(3, 3), QVariant(1e-7));
    QCOMPARE(s.rowCount(), 3);
    QCOMPARE(s.columnWidths().size(), 3);
    QVERIFY(s.columnWidths()[0] >= QStringLiteral(" DUG 2025 ").size());
    QVERIFY(m_fx->dialogs->messages.isEmpty());
}

void TstModUExcel::oldPathTurnsDatesAndArraysIntoText()
{
    m_fx->spreadsheets->versionText = QStringLiteral("8.0");
    Recordset rs;
    rs.assign({{QStringLiteral("Datum"), QMetaType::QDate},
               {QStringLiteral("Tekst"), QMetaType::QString},
               {QStringLiteral("Polje"), QMetaType::QByteArray},
               {QStringLiteral("Iznos"), QMetaType::Double}},
              {{QDate(2025, 3, 31), QStringLiteral("2025-04-01"), QByteArray("\x01\x02"), 5.5},
               {QVariant(), QStringLiteral("DUG 2025"), QVariant(), 7.0}});
    bool bezZaglavlja = false;
    modUExcel::PrebaciRecordsetUExcel(servicesOf(*m_fx), rs, bezZaglavlja, nullptr);
    const SheetCells &s = *m_fx->spreadsheets->sheets.first();
    QCOMPARE(s.cell(2, 1), QVariant(QLocale().toString(QDate(2025, 3, 31), QLocale::ShortFormat)));
    QCOMPARE(s.cell(2, 2), QVariant(QLocale().toString(QDate(2025, 4, 1), QLocale::ShortFormat)));
    QCOMPARE(s.cell(2, 3), QVariant(QStringLiteral("Array Field")));
    QCOMPARE(s.cell(2, 4), QVariant(5.5));
    QCOMPARE(s.cell(3, 2), QVariant(QStringLiteral("DUG 2025")));
    QCOMPARE(s.cell(3, 4), QVariant(7.0));
}

void TstModUExcel::withoutHeaderDataStartInRowOne()
{
    for (const char *version : {"16.0", "8.0"}) {
        m_fx->spreadsheets->versionText = QLatin1String(version);
        Recordset rs = sample();
        bool bezZaglavlja = true;
        modUExcel::PrebaciRecordsetUExcel(servicesOf(*m_fx), rs, bezZaglavlja, nullptr);
        const SheetCells &s = *m_fx->spreadsheets->sheets.last();
        QCOMPARE(s.cell(1, 1), QVariant(QStringLiteral("a\"b")));
        QCOMPARE(s.rowCount(), 2);
    }
}

void TstModUExcel::spreadsheetMissingShowsTheError()
{
    m_fx->spreadsheets->failure = QStringLiteral("Nema programa za tablice.");
    Recordset rs = sample();
    modUExcel::PrebaciUExcel(servicesOf(*m_fx), rs, nullptr);
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("Desila se greška: Nema programa za tablice.")});
    QCOMPARE(m_fx->dialogs->messages.first().icon, Dialogs::NoIcon);
}

void TstModUExcel::transposeSwapsIndexes()
{
    const QVector<QVector<QVariant>> a = {{1, 2, 3}, {4, 5, 6}};
    const auto t = modUExcel::TransponirajPolje(a);
    QCOMPARE(t.size(), 3);
    QCOMPARE(t[2][1], QVariant(6));
    QCOMPARE(t[0][1], QVariant(4));
    QVERIFY(modUExcel::TransponirajPolje({}).isEmpty());
}

void TstModUExcel::xlsxReadBackByAnIndependentReader()
{
    // Debian's own Python, which has the packaged reader.
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFile::exists(python) ||
        QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import openpyxl")}) != 0)
        QSKIP("python3-openpyxl is not installed");
    // The chart rows of a real drawing, written by the desktop's spreadsheet stand-in.
    QString opened;
    Services services = m_fx->services();
    services.spreadsheets =
        std::make_shared<DesktopSpreadsheets>(m_dir.path(), [&opened](const QString &path) {
            opened = path;
            return true;
        });
    ChartWindow *w = m_fx->open();
    CLICK(w->tv, QStringLiteral("Sint: 120 Potraživanja od kupaca u zemlji"));
    Recordset rows = w->chartRecordset();
    QVERIFY(rows.RecordCount() > 0);
    modUExcel::PrebaciUExcel(services, rows, nullptr);
    w->close();
    QVERIFY2(m_fx->dialogs->messages.isEmpty(), qPrintable(m_fx->dialogs->texts().join(u'\n')));
    QVERIFY(opened.endsWith(QStringLiteral(".xlsx")) && QFile::exists(opened));

    QProcess reader;
    reader.start(python, {QStringLiteral("-c"),
                          QStringLiteral("import openpyxl,sys\n"
                                         "ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
                                         "for row in ws.iter_rows(values_only=True):\n"
                                         "    print('|'.join('' if v is None else repr(v) for v "
                                         "in row))\n"),
                          opened});
    QVERIFY(reader.waitForFinished(30000));
    const QStringList lines =
        QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), rows.RecordCount() + 1);
    QStringList header;
    for (int f = 0; f < rows.fieldCount(); ++f)
        header << u'\'' + rows.fieldName(f) + u'\'';
    QCOMPARE(lines.first(), header.join(u'|'));
    for (int r = 0; r < rows.RecordCount(); ++r) {
        const QStringList cells = lines[r + 1].split(u'|');
        QCOMPARE(cells.size(), rows.fieldCount());
        QCOMPARE(cells[0], u'\'' + rows.valueAt(r, 0).toString() + u'\'');
        for (int f = 1; f < rows.fieldCount(); ++f) {
            const QVariant v = rows.valueAt(r, f);
            if (v.isNull())
                QCOMPARE(cells[f], QString());
            else
                QVERIFY2(qFuzzyCompare(cells[f].toDouble(), v.toDouble()) ||
                             (cells[f].toDouble() == 0 && v.toDouble() == 0),
                         qPrintable(cells[f] + QStringLiteral(" vs ") + v.toString()));
        }
    }
}

void TstModUExcel::csvKeepsEveryLetter_data()
{
    QTest::addColumn<QByteArray>("codeset");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const QString letters = QStringLiteral("čćšžđ ČĆŠŽĐ");
    const QByteArray bom("\xEF\xBB\xBF");
    QTest::newRow("UTF-8 holds them") << QByteArray("UTF-8") << letters << letters.toUtf8();
    // ISO 8859-2 has every Croatian letter: one byte each, from its table
    QTest::newRow("Latin-2 holds them") << QByteArray("ISO-8859-2") << letters
                                        << QByteArray("\xE8\xE6\xB9\xBE\xF0 \xC8\xC6\xA9\xAE\xD0");
    // Latin-1 has none of č, ć, š, ž, đ: the text goes as UTF-8 after the mark
    QTest::newRow("Latin-1 lacks them")
        << QByteArray("ISO-8859-1") << letters << bom + letters.toUtf8();
    // what the C locale reports: ASCII
    QTest::newRow("C locale lacks them") << QByteArray("ANSI_X3.4-1968") << QStringLiteral("Đakovo")
                                         << bom + QByteArray("\xC4\x90"
                                                             "akovo");
    QTest::newRow("C locale, plain text")
        << QByteArray("ANSI_X3.4-1968") << QStringLiteral("Zagreb, 10000")
        << QByteArray("Zagreb, 10000");
    QTest::newRow("unknown code set") << QByteArray("NO-SUCH-SET") << QStringLiteral("Šibenik")
                                      << bom + QStringLiteral("Šibenik").toUtf8();
}

void TstModUExcel::csvKeepsEveryLetter()
{
    QFETCH(QByteArray, codeset);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(modUExcel::csvBytes(text, codeset), bytes);
}

void TstModUExcel::csvUnderTheCLocaleIsUtf8WithAMark()
{
    // LANG=C: the locale's code set is ASCII, which has no č. The file is UTF-8 with its mark
    // rather than "?akovec".
    QVERIFY(setlocale(LC_ALL, "C"));
    Recordset rs;
    rs.assign({{QStringLiteral("Mjesto"), QMetaType::QString}}, {{QStringLiteral("Čakovec")}});
    QString file = m_dir.filePath(QStringLiteral("c-locale.csv"));
    bool quotes = false;
    QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
    QCOMPARE(readAll(file), QByteArray("\xEF\xBB\xBFMjesto\r\n\xC4\x8C"
                                       "akovec\r\n"));
}

void TstModUExcel::csvFormulaTextStaysText()
{
    for (bool quotes : {true, false}) {
        Recordset rs = awkward();
        QString file = m_dir.filePath(quotes ? QStringLiteral("f1.csv") : QStringLiteral("f2.csv"));
        QVERIFY(modUExcel::PrebaciUCSV(*m_fx->dialogs, rs, file, quotes, nullptr));
        const QList<QByteArray> lines = readAll(file).split('\n');
        const QByteArray q = quotes ? "\"" : "";
        QCOMPARE(lines.value(1), q + "'=1+1" + q + ",\r");
        QCOMPARE(lines.value(2), q + "'@SUM(A1)" + q + ",\r");
        QCOMPARE(lines.value(3), q + "'-2+3" + q + ",\r");
        // the amount stays a number: only text is guarded
        QCOMPARE(lines.value(4), q + "'+385 1 2345" + q + ",-7.5\r");
    }
    QCOMPARE(modUExcel::keptAsText(QStringLiteral("\t=1")), QStringLiteral("'\t=1"));
    QCOMPARE(modUExcel::keptAsText(QStringLiteral("Saldo = D - P")),
             QStringLiteral("Saldo = D - P"));
    QCOMPARE(modUExcel::csvField(-1234.5, true), QStringLiteral("-1234.5"));
}

void TstModUExcel::csvNoNumberIsAnEmptyField()
{
    const double inf = std::numeric_limits<double>::infinity();
    QCOMPARE(modUExcel::csvField(inf, true), QString());
    QCOMPARE(modUExcel::csvField(-inf, false), QString());
    QCOMPARE(modUExcel::csvField(std::numeric_limits<double>::quiet_NaN(), true), QString());
    QCOMPARE(modUExcel::csvField(std::numeric_limits<float>::infinity(), true), QString());
}

void TstModUExcel::xlsxKeepsTextAsTextAndNoNumberEmpty()
{
    if (!haveOpenpyxl())
        QSKIP("python3-openpyxl is not installed");
    const QString path = m_dir.filePath(QStringLiteral("awkward.xlsx"));
    Services services = m_fx->services();
    services.spreadsheets = std::make_shared<FileSpreadsheets>(path);
    Recordset rs = awkward();
    modUExcel::PrebaciUExcel(services, rs, nullptr);
    QVERIFY2(m_fx->dialogs->messages.isEmpty(), qPrintable(m_fx->dialogs->texts().join(u'\n')));
    QCOMPARE(readXlsx(path),
             (QStringList{QStringLiteral("'Opis':s|'Iznos':s"), QStringLiteral("'=1+1':s|None:n"),
                          QStringLiteral("'@SUM(A1)':s|None:n"), QStringLiteral("'-2+3':s|None:n"),
                          QStringLiteral("'+385 1 2345':s|-7.5:n")}));
}

void TstModUExcel::xlsxFailedWriteLeavesNoWorkbook()
{
    QTemporaryDir dir;
    bool opened = false;
    Services services = m_fx->services();
    services.spreadsheets = std::make_shared<DesktopSpreadsheets>(
        dir.path(), [&opened](const QString &) { return opened = true; });
    Recordset rs = sample();
    {
        FullDisk::SizeLimit limited(3000);
        modUExcel::PrebaciUExcel(services, rs, nullptr);
    }
    QVERIFY(!opened);
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    QVERIFY2(m_fx->dialogs->texts().first().startsWith(QStringLiteral("Desila se greška: ")),
             qPrintable(m_fx->dialogs->texts().first()));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TstModUExcel::xlsxIntoAFileReplacesItOnlyWhole()
{
    const QString path = m_dir.filePath(QStringLiteral("knjiga.xlsx"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("stara knjiga");
    }
    Services services = m_fx->services();
    services.spreadsheets = std::make_shared<FileSpreadsheets>(path);
    Recordset rs = sample();
    {
        FullDisk::SizeLimit limited(3000);
        modUExcel::PrebaciUExcel(services, rs, nullptr);
    }
    QCOMPARE(m_fx->dialogs->messages.size(), 1);
    QCOMPARE(readAll(path), QByteArray("stara knjiga"));

    m_fx->dialogs->messages.clear();
    modUExcel::PrebaciUExcel(services, rs, nullptr);
    QVERIFY2(m_fx->dialogs->messages.isEmpty(), qPrintable(m_fx->dialogs->texts().join(u'\n')));
    QString why;
    QVERIFY2(StagedFile::completeZip(path, &why), qPrintable(why));
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("knjiga*")}, QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("knjiga.xlsx")});
}

void TstModUExcel::failedExportLeavesNoWorkbook()
{
    // A closed record set: the copy fails after the header row was written.
    QTemporaryDir dir;
    bool opened = false;
    Services services = m_fx->services();
    services.spreadsheets = std::make_shared<DesktopSpreadsheets>(
        dir.path(), [&opened](const QString &) { return opened = true; });
    Recordset closed;
    modUExcel::PrebaciUExcel(services, closed, nullptr);
    QCOMPARE(m_fx->dialogs->texts(),
             QStringList{QStringLiteral("Desila se greška: Skup zapisa nije otvoren.")});
    QVERIFY(!opened);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(TstModUExcel)
#include "tst_moduexcel.moc"
