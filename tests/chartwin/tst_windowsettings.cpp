#include "chartwin/windowsettings.h"
#include "platform/clock/clock.h"
#include "platform/settings/settingsstore.h"

#include <QDate>
#include <QScopeGuard>
#include <QTest>

namespace {
const QString kApp = QStringLiteral("Pregled prometa na kontima po mjesecima");
const QString kSection = QStringLiteral("Settings");
const QRectF kScreen(0, 0, 1920 * 15, 1080 * 15); // one full-HD screen, in twips

WindowDesign design(bool keepsYears = true)
{
    WindowDesign d;
    d.keepsYears = keepsYears;
    return d;
}
} // namespace

class TstWindowSettings : public QObject
{
    Q_OBJECT
private slots:
    void applicationNameStaysOneFile();
    void firstRunWrittenInOrder();
    void storedValue_data();
    void storedValue();
};

// What a first run reads, written back in the order the host's file keeps: the last year box
// follows the day the window opens on, and a design that keeps no years writes eleven settings.
void TstWindowSettings::firstRunWrittenInOrder()
{
    struct Recorder : MemorySettingsStore // reads nothing
    {
        QStringList lines;
        void save(const QString &, const QString &section, const QString &key,
                  const QString &value) override
        {
            lines << section + u'/' + key + u'=' + value;
        }
    };
    const QString eleven = QStringLiteral(
        "Settings/MainLeft=0 Settings/MainTop=0 Settings/MainWidth=12000 Settings/MainHeight=7900 "
        "Settings/VrstaGrafa=9 Settings/Skala=0 Settings/PrikažiNaslov=True "
        "Settings/PrikažiLegendu=True Settings/PostaviStacking=False Settings/PočetniMjesec=0 "
        "Settings/KonačniMjesec=12");
    const auto systemClock = qScopeGuard([] { Clock::fixToday(QDate()); });
    // new year's eve, new year's day, years later
    for (const QDate &today : {QDate(2026, 12, 31), QDate(2027, 1, 1), QDate(2030, 6, 30)}) {
        Clock::fixToday(today);
        for (const bool keepsYears : {true, false}) {
            Recorder store;
            const WindowSettings s =
                WindowSettings::read(store, kApp, design(keepsYears), 12, 3, kScreen);
            QVERIFY(!s.widthStored);
            s.write(store, kApp, design(keepsYears));
            QCOMPARE(store.lines.join(u' '),
                     eleven + (keepsYears ? QStringLiteral(" Settings/PočetnaGodina=1998 "
                                                           "Settings/KonačnaGodina=%1")
                                                .arg(today.year())
                                          : QString()));
        }
    }
}

void TstWindowSettings::storedValue_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readBack");
    // a month out of the year would build a statement that grows with its square; a year is kept
    // as typed, the box reads its leading number
    const char *const rows[][4] = {
        {"text for a width", "MainWidth", "široko", "12000"},
        {"width wider than every screen", "MainWidth", "1e30", "12000"},
        {"narrow width", "MainWidth", "9000", "9000"},
        {"negative height", "MainHeight", "-50", "7900"},
        {"left far off screen", "MainLeft", "1e38", "0"},
        {"left partly off screen", "MainLeft", "-1200", "-1200"},
        {"top above every screen", "MainTop", "-900000", "0"},
        {"infinite left", "MainLeft", "inf", "0"},
        {"type past the list", "VrstaGrafa", "40", "9"},
        {"no type", "VrstaGrafa", "-1", "-1"},
        {"scale not a number", "Skala", "x", "0"},
        {"flag neither true nor false", "PrikažiNaslov", "možda", "True"},
        {"month far past the year", "KonačniMjesec", "32767", "12"},
        {"month before the year", "PočetniMjesec", "-1", "0"},
        {"month 13", "KonačniMjesec", "13", "12"},
        {"month as typed", "KonačniMjesec", "  7 mj", "  7 mj"},
        {"month read to the nearest", "PočetniMjesec", "2.4", "2.4"},
        {"year as typed", "PočetnaGodina", "20x", "20x"},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromUtf8(row[1]) << QString::fromUtf8(row[2])
                              << QString::fromUtf8(row[3]);
}

// A stored value is kept when it is plausible, else the first run's is used.
void TstWindowSettings::storedValue()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, readBack);
    MemorySettingsStore store;
    store.save(kApp, kSection, key, stored);
    const WindowSettings s = WindowSettings::read(store, kApp, design(), 12, 3, kScreen);
    // only a width kept as stored is the user's; one that fell back leaves the window widened
    QCOMPARE(s.widthStored, key == u"MainWidth" && readBack == stored);
    s.write(store, kApp, design());
    QCOMPARE(store.get(kApp, kSection, key, QString()), readBack);
}

// A caption becomes the settings file's name: nothing in it may lead out of the settings folder.
void TstWindowSettings::applicationNameStaysOneFile()
{
    const QString file = IniSettingsStore::fileFor(QStringLiteral("Plan 1/2 C:\\Dobit"));
    QVERIFY2(file.endsWith(QStringLiteral("/TarnFinGrafPromet11/Plan 1_2 C__Dobit.ini")),
             qPrintable(file));
}

QTEST_MAIN(TstWindowSettings)
#include "tst_windowsettings.moc"
