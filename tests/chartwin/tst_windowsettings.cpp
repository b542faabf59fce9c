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
    d.caption = kApp;
    d.keepsYears = keepsYears;
    return d;
}
} // namespace

class TstWindowSettings : public QObject
{
    Q_OBJECT
private slots:
    void applicationNameStaysOneFile();
    void firstRun_data();
    void firstRun();
    void storedValueFallsBack_data();
    void storedValueFallsBack();
    void plausibleValuesKept();
    void writesInOrderAndOnlyWhatTheDesignKeeps();
};

void TstWindowSettings::firstRun_data()
{
    // the last year box follows the day the window opens on
    QTest::addColumn<QDate>("today");
    QTest::newRow("new year's eve") << QDate(2026, 12, 31);
    QTest::newRow("new year's day") << QDate(2027, 1, 1);
    QTest::newRow("years later") << QDate(2030, 6, 30);
}

void TstWindowSettings::firstRun()
{
    QFETCH(QDate, today);
    Clock::fixToday(today);
    const auto systemClock = qScopeGuard([] { Clock::fixToday(QDate()); });
    MemorySettingsStore store;
    const WindowSettings s = WindowSettings::read(store, kApp, design(), 12, 3, kScreen);
    QCOMPARE(s.width, 12000.f);
    QCOMPARE(s.height, 7900.f);
    QCOMPARE(s.vrstaGrafa, qint16(9));
    QCOMPARE(s.početniMjesec, QStringLiteral("0"));
    QCOMPARE(s.konačnaGodina, QString::number(today.year()));
    QVERIFY(!s.widthStored);
}

void TstWindowSettings::storedValueFallsBack_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("text for a width") << "MainWidth"
                                      << "široko"
                                      << "12000";
    QTest::newRow("width wider than every screen") << "MainWidth"
                                                   << "1e30"
                                                   << "12000";
    QTest::newRow("negative height") << "MainHeight"
                                     << "-50"
                                     << "7900";
    QTest::newRow("left far off screen") << "MainLeft"
                                         << "1e38"
                                         << "0";
    QTest::newRow("top above every screen") << "MainTop"
                                            << "-900000"
                                            << "0";
    QTest::newRow("infinite left") << "MainLeft"
                                   << "inf"
                                   << "0";
    QTest::newRow("type past the list") << "VrstaGrafa"
                                        << "40"
                                        << "9";
    QTest::newRow("scale not a number") << "Skala"
                                        << "x"
                                        << "0";
    QTest::newRow("flag neither true nor false") << "PrikažiNaslov"
                                                 << "možda"
                                                 << "True";
    // a month out of the year would build a statement that grows with its square
    QTest::newRow("month far past the year") << "KonačniMjesec"
                                             << "32767"
                                             << "12";
    QTest::newRow("month before the year") << "PočetniMjesec"
                                           << "-1"
                                           << "0";
    QTest::newRow("month 13") << "KonačniMjesec"
                              << "13"
                              << "12";
}

void TstWindowSettings::storedValueFallsBack()
{
    QFETCH(QString, key);
    QFETCH(QString, stored);
    QFETCH(QString, readBack);
    MemorySettingsStore store;
    store.save(kApp, kSection, key, stored);
    const WindowSettings s = WindowSettings::read(store, kApp, design(), 12, 3, kScreen);
    MemorySettingsStore written;
    s.write(written, kApp, design());
    QCOMPARE(written.get(kApp, kSection, key, QString()), readBack);
}

void TstWindowSettings::plausibleValuesKept()
{
    MemorySettingsStore store;
    auto put = [&](const char *key, const char *value) {
        store.save(kApp, kSection, QString::fromUtf8(key), QString::fromUtf8(value));
    };
    put("MainLeft", "-1200"); // partly off the left edge, still on the screen
    put("MainWidth", "9000");
    put("VrstaGrafa", "-1");
    put("PočetniMjesec", "2.4");
    put("KonačniMjesec", "  7 mj");
    put("PočetnaGodina", "20x"); // kept as typed: the box reads its leading number
    const WindowSettings s = WindowSettings::read(store, kApp, design(), 12, 3, kScreen);
    QCOMPARE(s.left, -1200.f);
    QCOMPARE(s.width, 9000.f);
    QVERIFY(s.widthStored);
    QCOMPARE(s.vrstaGrafa, qint16(-1));
    QCOMPARE(s.početniMjesec, QStringLiteral("2.4"));
    QCOMPARE(s.konačniMjesec, QStringLiteral("  7 mj"));
    QCOMPARE(s.početnaGodina, QStringLiteral("20x"));
}

void TstWindowSettings::writesInOrderAndOnlyWhatTheDesignKeeps()
{
    struct Recorder : SettingsStore
    {
        QStringList keys;
        QString get(const QString &, const QString &, const QString &,
                    const QString &d) const override
        {
            return d;
        }
        void save(const QString &, const QString &section, const QString &key,
                  const QString &) override
        {
            QCOMPARE(section, QStringLiteral("Settings"));
            keys << key;
        }
    };
    Recorder thirteen, eleven;
    WindowSettings::defaults(design()).write(thirteen, kApp, design());
    WindowSettings::defaults(design(false)).write(eleven, kApp, design(false));
    const QStringList order = {QStringLiteral("MainLeft"),        QStringLiteral("MainTop"),
                               QStringLiteral("MainWidth"),       QStringLiteral("MainHeight"),
                               QStringLiteral("VrstaGrafa"),      QStringLiteral("Skala"),
                               QStringLiteral("PrikažiNaslov"),   QStringLiteral("PrikažiLegendu"),
                               QStringLiteral("PostaviStacking"), QStringLiteral("PočetniMjesec"),
                               QStringLiteral("KonačniMjesec"),   QStringLiteral("PočetnaGodina"),
                               QStringLiteral("KonačnaGodina")};
    QCOMPARE(thirteen.keys, order);
    QCOMPARE(eleven.keys, order.mid(0, 11));
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
