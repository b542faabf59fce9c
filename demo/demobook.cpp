#include "demobook.h"

#include "book/turnoversummary.h"
#include "platform/clock/clock.h"
#include "platform/data/booklock.h"
#include "platform/files/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <sqlite3.h>

#include <cmath>
#include <vector>

namespace DemoBook {

namespace {

// splitmix64: small, fast and the same on every platform, so a seed always gives the same book.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double between(double lo, double hi) { return lo + (hi - lo) * unit(); }
    int below(int n) { return int(next() % quint64(n)); }
    bool chance(double p) { return unit() < p; }

private:
    quint64 m_state;
};

double cents(double v)
{
    return std::round(v * 100.0) / 100.0;
}

enum class Kind {
    Bank,
    Cash,
    Customer,
    Supplier,
    InputVat,
    Payroll,
    OutputVat,
    Expense,
    Goods,
    Income,
    Equity,
    OffBalance,
    Idle
};

struct Account
{
    const char *code;
    const char *name;
    Kind kind;
    double base;         // typical monthly amount of one row
    double partnerShare; // for partner accounts: share of partners with turnover in a year
};

struct Synthetic
{
    const char *code;
    const char *name;
    std::vector<Account> analytic;
};

const std::vector<Synthetic> &chart()
{
    static const std::vector<Synthetic> c = {
        {"020", "Građevinski objekti", {{"0200", "Poslovna zgrada", Kind::Equity, 0, 0}}},
        // an account nobody books on: its node has no children and its chart is empty
        {"050",
         "Dugotrajna imovina u pripremi",
         {{"0500", "Građevinski objekti u pripremi", Kind::Idle, 0, 0}}},
        {"100",
         "Novac na računima kod banaka",
         {{"1000", "Žiro-račun Privredna banka Zagreb", Kind::Bank, 60000, 0},
          {"1001", "Žiro-račun Zagrebačka banka", Kind::Bank, 25000, 0}}},
        {"102", "Blagajna", {{"1020", "Glavna blagajna", Kind::Cash, 3000, 0}}},
        {"120",
         "Potraživanja od kupaca u zemlji",
         {{"1200", "Kupci u zemlji", Kind::Customer, 2500, 1.0},
          {"1201", "Kupci - povezana društva", Kind::Customer, 9000, 0.15}}},
        {"121",
         "Potraživanja od kupaca u inozemstvu",
         {{"1210", "Kupci u inozemstvu", Kind::Customer, 7000, 0.2}}},
        {"140",
         "Potraživanja za pretporez",
         {{"1400", "Pretporez 25%", Kind::InputVat, 9000, 0},
          {"1401", "Pretporez 13%", Kind::InputVat, 1500, 0}}},
        {"220",
         "Obveze prema dobavljačima u zemlji",
         {{"2200", "Dobavljači u zemlji", Kind::Supplier, 2000, 1.0},
          {"2201", "Dobavljači - povezana društva", Kind::Supplier, 8000, 0.15}}},
        {"221",
         "Obveze prema dobavljačima u inozemstvu",
         {{"2210", "Dobavljači u inozemstvu", Kind::Supplier, 6000, 0.2}}},
        {"230",
         "Obveze prema zaposlenima",
         {{"2300", "Obveze za neto plaće", Kind::Payroll, 18000, 0}}},
        {"240",
         "Obveze za porez na dodanu vrijednost",
         {{"2400", "Obveza za PDV 25%", Kind::OutputVat, 14000, 0}}},
        {"400",
         "Troškovi sirovina i materijala",
         {{"4000", "Utrošene sirovine i materijal", Kind::Expense, 12000, 0},
          {"4001", "Utrošena električna energija", Kind::Expense, 2500, 0}}},
        {"410",
         "Troškovi usluga",
         {{"4100", "Telefon, internet i pošta", Kind::Expense, 900, 0},
          {"4101", "Prijevozne usluge", Kind::Expense, 3500, 0},
          {"4102", "Najamnine poslovnog prostora", Kind::Expense, 4200, 0}}},
        {"420",
         "Troškovi osoblja",
         {{"4200", "Neto plaće i nadnice", Kind::Expense, 18000, 0},
          {"4201", "Doprinosi na plaće", Kind::Expense, 6500, 0}}},
        {"430",
         "Amortizacija",
         {{"4300", "Amortizacija građevinskih objekata", Kind::Expense, 1800, 0}}},
        {"660",
         "Roba na skladištu",
         {{"6600", "Trgovačka roba L'Oréal", Kind::Goods, 7500, 0},
          {"6601", "Roba u tranzitu", Kind::Goods, 2000, 0}}},
        {"750",
         "Prihodi od prodaje robe",
         {{"7500", "Prihodi od prodaje robe na veliko", Kind::Income, 42000, 0},
          {"7501", "Prihodi od prodaje robe na malo", Kind::Income, 16000, 0}}},
        {"760",
         "Prihodi od prodaje usluga",
         {{"7600", "Prihodi od usluga", Kind::Income, 11000, 0}}},
        {"772", "Financijski prihodi", {{"7720", "Prihodi od kamata", Kind::Income, 350, 0}}},
        {"900", "Upisani kapital", {{"9000", "Temeljni kapital", Kind::Equity, 0, 0}}},
        // the last account of the tree, which the turnover window draws first
        {"999",
         "Izvanbilančni zapisi",
         {{"9990", "Tuđa roba u komisiji", Kind::OffBalance, 5500, 0}}},
    };
    return c;
}

struct Place
{
    int ptt;
    const char *name;
};

const std::vector<Place> &places()
{
    static const std::vector<Place> p = {
        {10000, "Zagreb"},   {21000, "Split"},           {51000, "Rijeka"},
        {31000, "Osijek"},   {23000, "Zadar"},           {20000, "Dubrovnik"},
        {52100, "Pula"},     {42000, "Varaždin"},        {44000, "Sisak"},
        {47000, "Karlovac"}, {35000, "Slavonski Brod"},  {22000, "Šibenik"},
        {40000, "Čakovec"},  {48000, "Koprivnica"},      {32000, "Vukovar"},
        {49000, "Krapina"},  {43000, "Bjelovar"},        {33000, "Virovitica"},
        {34000, "Požega"},   {53000, "Gospić"},          {10410, "Velika Gorica"},
        {10430, "Samobor"},  {52440, "Poreč"},           {51410, "Opatija"},
        {21300, "Makarska"}, {31400, "Đakovo"},          {32100, "Vinkovci"},
        {52210, "Rovinj"},   {23210, "Biograd na Moru"}, {20260, "Korčula"},
    };
    return p;
}

QString partnerName(Random &r, int code)
{
    static const char *surnames[] = {
        "Horvat",  "Kovačević", "Babić",    "Marić", "Jurić", "Novak",    "Kovačić", "Knežević",
        "Vuković", "Marković",  "Petrović", "Matić", "Tomić", "Pavlović", "Božić",   "Blažević",
        "Grgić",   "Pavić",     "Radić",    "Perić", "Šarić", "Lovrić",   "Vidović", "Perković",
        "Bošnjak", "Jukić",     "Barišić",  "Čolić", "Đurić", "Žužić"};
    static const char *trades[] = {"Trgovina",    "Građevina",  "Elektro",        "Agro",
                                   "Drvo",        "Transport",  "Ugostiteljstvo", "Tisak",
                                   "Informatika", "Vinarija",   "Mesnica",        "Ribarstvo",
                                   "Ljekarna",    "Autoservis", "Stolarija"};
    static const char *forms[] = {"d.o.o.", "j.d.o.o.", "obrt", "d.d."};
    const QString s = QString::fromUtf8(surnames[r.below(30)]);
    const QString t = QString::fromUtf8(trades[r.below(15)]);
    const QString f = QString::fromUtf8(forms[r.below(4)]);
    switch (code % 3) {
    case 0:
        return QStringLiteral("%1 %2 %3").arg(t, s, f);
    case 1:
        return QStringLiteral("%1 %2").arg(s, f);
    default:
        return QStringLiteral("%1-%2 %3").arg(t, s, f);
    }
}

class Db
{
public:
    ~Db()
    {
        for (sqlite3_stmt *s : m_statements)
            sqlite3_finalize(s);
        if (m_db)
            sqlite3_close(m_db);
    }
    bool open(const QString &path, bool create)
    {
        const int flags =
            create ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY;
        return sqlite3_open_v2(path.toUtf8().constData(), &m_db, flags, nullptr) == SQLITE_OK;
    }
    bool exec(const char *sql)
    {
        return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    sqlite3_stmt *prepare(const QString &sql)
    {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &s, nullptr) != SQLITE_OK)
            return nullptr;
        m_statements.push_back(s);
        return s;
    }
    QString error() const { return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString(); }
    sqlite3 *handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
    std::vector<sqlite3_stmt *> m_statements;
};

// Binds values in order and runs the statement once.
class Row
{
public:
    explicit Row(sqlite3_stmt *s) : m_s(s) { sqlite3_reset(s); }
    Row &operator<<(int v)
    {
        sqlite3_bind_int(m_s, ++m_i, v);
        return *this;
    }
    Row &operator<<(double v)
    {
        sqlite3_bind_double(m_s, ++m_i, v);
        return *this;
    }
    Row &operator<<(const QString &v)
    {
        if (v.isNull()) {
            sqlite3_bind_null(m_s, ++m_i);
        } else {
            const QByteArray u = v.toUtf8();
            sqlite3_bind_text(m_s, ++m_i, u.constData(), u.size(), SQLITE_TRANSIENT);
        }
        return *this;
    }
    Row &operator<<(const char *v) { return *this << QString::fromUtf8(v); }
    bool run() { return sqlite3_step(m_s) == SQLITE_DONE; }

private:
    sqlite3_stmt *m_s;
    int m_i = 0;
};

QString monthColumns(const char *prefix, int from, int to, const char *type)
{
    QStringList cols;
    for (int m = from; m <= to; ++m)
        cols << QStringLiteral("%1%2 %3")
                    .arg(QLatin1String(prefix))
                    .arg(m, 2, 10, QLatin1Char('0'))
                    .arg(QLatin1String(type));
    return cols.join(QStringLiteral(", "));
}

QString marks(int n)
{
    QStringList m;
    for (int i = 0; i < n; ++i)
        m << QStringLiteral("?");
    return m.join(u',');
}

const char *kSchema = R"(
CREATE TABLE CONFIG (BROJPODUZECA INTEGER PRIMARY KEY, NazivFirme TEXT COLLATE NOCASE,
    Mjesto TEXT COLLATE NOCASE, OIB TEXT);
CREATE TABLE PTTMJESTA (PTTBROJKOM INTEGER PRIMARY KEY, MJESTOKOM TEXT COLLATE NOCASE);
CREATE TABLE KOMITENT (SifKomit INTEGER PRIMARY KEY, ImeKomit1 TEXT COLLATE NOCASE,
    ImeKomit2 TEXT COLLATE NOCASE, PTTBROJKOM INTEGER, Adresa TEXT COLLATE NOCASE);
CREATE TABLE KONTO (BrojPoduzeca INTEGER NOT NULL, GODINAKNJ INTEGER NOT NULL,
    SIFKONTA TEXT COLLATE NOCASE NOT NULL, NAZIVKONTA TEXT COLLATE NOCASE,
    SifKonta1 TEXT COLLATE NOCASE, SifKonta2 TEXT COLLATE NOCASE,
    PRIMARY KEY (BrojPoduzeca, GODINAKNJ, SIFKONTA));
CREATE TABLE FINPRIHRASH (BrojPoduzeca INTEGER NOT NULL, ImeGrupe TEXT COLLATE NOCASE NOT NULL,
    Konto TEXT COLLATE NOCASE, Godina INTEGER NOT NULL);
CREATE INDEX FINPRIHRASH_GRUPA ON FINPRIHRASH (BrojPoduzeca, ImeGrupe, Godina);
CREATE INDEX FINPRIHRASH_GODINA ON FINPRIHRASH (BrojPoduzeca, Godina);
)";

} // namespace

QString defaultPath()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(dir).filePath(QStringLiteral("fingraf/fingraf-demo-%1-%2.sqlite")
                                  .arg(kEdition)
                                  .arg(Clock::today().year()));
}

namespace {

// Whether the file is a book this generator made (or one like it): an SQLite file with turnover.
// *locked: it could not be told, another program holding the file locked.
bool isBook(const QString &path, bool *locked)
{
    sqlite3 *db = nullptr;
    bool book = false;
    *locked = false;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_busy_timeout(db, BookLock::kWaitMs);
        sqlite3_stmt *s = nullptr;
        book = sqlite3_prepare_v2(db,
                                  "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND "
                                  "name IN ('PROMET','KONTO','CONFIG')",
                                  -1, &s, nullptr) == SQLITE_OK &&
               sqlite3_step(s) == SQLITE_ROW && sqlite3_column_int(s, 0) == 3;
        sqlite3_finalize(s);
        *locked = !book && BookLock::isBusy(sqlite3_extended_errcode(db));
    }
    sqlite3_close(db);
    return book;
}

} // namespace

bool create(const QString &path, const Options &options, QString *error)
{
    if (QFileInfo::exists(path)) {
        bool locked = false;
        if (isBook(path, &locked))
            return true;
        if (locked) {
            *error = BookLock::heldByAnother(path);
            return false;
        }
        *error = QStringLiteral("Datoteka \"%1\" postoji, a nije knjiga (SQLite s tablicama "
                                "PROMET, KONTO i CONFIG); ostavljena je kakva jest.")
                     .arg(path);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("Mapa za demo knjigu \"%1\" se ne može napraviti.")
                     .arg(QFileInfo(path).absolutePath());
        return false;
    }
    // Written under a name of its own beside the book and moved over it only when complete: two
    // processes may make the same book at once (tests run in parallel), and a full disk leaves
    // no half book behind.
    StagedFile staged(path);
    const QString part = staged.path();
    error->clear();

    const int lastYear = options.lastYear > 0 ? options.lastYear : Clock::today().year();
    const int firstYear = lastYear - 5;
    const int scale = qMax(1, options.scale);
    Random rnd(options.seed);
    // Goods on consignment draw from a stream of their own, so the rest of the book stays the
    // same as before they were booked.
    Random offBalance(options.seed ^ 0x999);

    bool ok = true;
    // The turnover takes most of the time, the summary most of the rest.
    int told = -1;
    auto progress = [&](int percent) {
        if (options.progress && percent > told)
            options.progress(told = percent);
    };
    progress(0);
    {
        Db db;
        // the first failure says why: the disk's refusal when it refuses, else the engine's word
        auto check = [&](bool step) {
            if (!step && error->isEmpty()) {
                const QString disk = staged.diskCause();
                *error = QStringLiteral("Demo knjiga se ne može zapisati u \"%1\": %2")
                             .arg(path, disk.isEmpty() ? db.error() : disk);
            }
            ok = ok && step;
            return ok;
        };
        check(db.open(part, true));
        check(ok && db.exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"));
        check(ok && db.exec(kSchema));
        for (const char *table : {"PROMET", "PROMETMT"}) {
            const bool costCentre = qstrcmp(table, "PROMETMT") == 0;
            const QString sql =
                QStringLiteral(
                    "CREATE TABLE %1 (BROJPODUZECA INTEGER NOT NULL, GODINAKNJ INTEGER NOT NULL, "
                    "SINTKONTO TEXT COLLATE NOCASE NOT NULL, ANALKONTO INTEGER NOT NULL, %2%3, %4)")
                    .arg(QLatin1String(table),
                         costCentre ? QStringLiteral("MJESTOTROSKA INTEGER NOT NULL, ") : QString(),
                         monthColumns("DUG", 0, 12, "REAL NOT NULL DEFAULT 0"),
                         monthColumns("POT", 0, 12, "REAL NOT NULL DEFAULT 0"));
            check(ok && db.exec(sql.toUtf8().constData()));
        }
        check(
            ok &&
            db.exec(
                QStringLiteral(
                    "CREATE TABLE FINPLAN (BrojPoduzeca INTEGER NOT NULL, GODINAKNJ INTEGER NOT "
                    "NULL, "
                    "brojplana INTEGER NOT NULL, TIP TEXT COLLATE NOCASE NOT NULL, "
                    "GRUPA TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
                    "PODGRUPA TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
                    "ANALITIKA TEXT COLLATE NOCASE NOT NULL DEFAULT '', "
                    "KONTO TEXT COLLATE NOCASE NOT NULL, KOMITENT INTEGER NOT NULL DEFAULT 0, %1)")
                    .arg(monthColumns("Iznos", 1, 12, "REAL NOT NULL DEFAULT 0"))
                    .toUtf8()
                    .constData()));
        if (!ok)
            return false;

        // Firms
        sqlite3_stmt *firm = db.prepare(QStringLiteral("INSERT INTO CONFIG VALUES (?,?,?,?)"));
        ok = firm && (Row(firm) << 1 << "Tarnel d.o.o."
                                << "Zagreb"
                                << "12345678901")
                         .run();
        ok = ok && (Row(firm) << 2 << "Konoba Stari Mlin j.d.o.o."
                              << "Split"
                              << "98765432109")
                       .run();
        check(ok);

        // Places and partners
        sqlite3_stmt *place = db.prepare(QStringLiteral("INSERT INTO PTTMJESTA VALUES (?,?)"));
        for (const Place &p : places())
            ok = ok && (Row(place) << p.ptt << p.name).run();
        const int partnerCount = 300 * scale;
        sqlite3_stmt *partner =
            db.prepare(QStringLiteral("INSERT INTO KOMITENT VALUES (?,?,?,?,?)"));
        for (int code = 1; ok && code <= partnerCount; ++code) {
            QString name = partnerName(rnd, code);
            if (code == 3)
                name = QStringLiteral("Pekara D'Oro d.o.o.");
            if (code == 7)
                name = QString(); // a partner whose first name line was never filled in
            const Place &pl = places()[rnd.below(int(places().size()))];
            ok = (Row(partner) << code << name << QString() << pl.ptt
                               << QStringLiteral("Ulica %1 %2")
                                      .arg(rnd.below(120) + 1)
                                      .arg(QString::fromUtf8(pl.name)))
                     .run();
        }
        check(ok);

        // Chart of accounts, the same codes in every year, with translation codes.
        sqlite3_stmt *konto = db.prepare(QStringLiteral("INSERT INTO KONTO VALUES (?,?,?,?,?,?)"));
        for (int f = 1; f <= 2; ++f) {
            for (int y = firstYear; ok && y <= lastYear; ++y) {
                for (const char *cls : {"1", "12", "4", "41", "7", "75"}) {
                    static const QHash<QString, const char *> classNames = {
                        {QStringLiteral("1"),
                         "Novac, kratkotrajna financijska imovina i potraživanja"},
                        {QStringLiteral("12"), "Potraživanja od kupaca"},
                        {QStringLiteral("4"), "Troškovi prema prirodnim vrstama"},
                        {QStringLiteral("41"), "Ostali vanjski troškovi"},
                        {QStringLiteral("7"), "Prihodi"},
                        {QStringLiteral("75"), "Prihodi od prodaje"}};
                    const QString code = QString::fromLatin1(cls);
                    ok = ok &&
                         (Row(konto) << f << y << code << classNames.value(code) << code << code)
                             .run();
                }
                for (const Synthetic &s : chart()) {
                    ok = ok && (Row(konto) << f << y << s.code << s.name << s.code << s.code).run();
                    for (const Account &a : s.analytic) {
                        const QString code = QString::fromLatin1(a.code);
                        // translation 1 moves telephone costs to 4110; translation 2 adds a zero
                        const QString t1 = code == u"4100" ? QStringLiteral("4110") : code;
                        const QString t2 = code + u'0';
                        ok = ok && (Row(konto) << f << y << code << a.name << t1 << t2).run();
                    }
                }
            }
        }
        check(ok);

        // Turnover
        sqlite3_stmt *promet =
            db.prepare(QStringLiteral("INSERT INTO PROMET VALUES (%1)").arg(marks(4 + 26)));
        sqlite3_stmt *prometMt =
            db.prepare(QStringLiteral("INSERT INTO PROMETMT VALUES (%1)").arg(marks(5 + 26)));
        for (int f = 1; ok && f <= 2; ++f) {
            const double firmSize = f == 1 ? 1.0 : 0.4;
            for (int y = firstYear; ok && y <= lastYear; ++y) {
                progress(50 * ((f - 1) * (lastYear - firstYear + 1) + (y - firstYear)) /
                         (2 * (lastYear - firstYear + 1)));
                const double growth = std::pow(1.05, y - firstYear);
                for (const Synthetic &s : chart()) {
                    for (const Account &a : s.analytic) {
                        if (a.kind == Kind::Idle)
                            continue;
                        // export customers bought nothing in two of the years
                        if (qstrcmp(a.code, "1210") == 0 &&
                            (y == lastYear - 3 || y == lastYear - 1))
                            continue;
                        Random &r = a.kind == Kind::OffBalance ? offBalance : rnd;
                        const bool withPartners =
                            a.kind == Kind::Customer || a.kind == Kind::Supplier;
                        std::vector<int> partners;
                        if (withPartners) {
                            for (int p = 1; p <= partnerCount; ++p)
                                if (r.chance(a.partnerShare))
                                    partners.push_back(p);
                        } else {
                            partners.push_back(0);
                        }
                        for (int p : partners) {
                            double dug[13] = {}, pot[13] = {};
                            const double base =
                                (withPartners ? a.base * r.between(0.2, 1.8) : a.base) * firmSize *
                                growth;
                            const bool asset = a.kind == Kind::Bank || a.kind == Kind::Cash ||
                                               a.kind == Kind::Customer ||
                                               a.kind == Kind::InputVat || a.kind == Kind::Goods ||
                                               a.kind == Kind::Equity || a.kind == Kind::OffBalance;
                            const bool balanceSheet =
                                a.kind != Kind::Expense && a.kind != Kind::Income;
                            if (balanceSheet) {
                                const double opening =
                                    cents(base * r.between(0.5, 3.0) +
                                          (a.kind == Kind::Equity ? 250000 * firmSize : 0));
                                (asset ? dug[0] : pot[0]) = opening;
                            }
                            for (int m = 1; m <= 12; ++m) {
                                if (withPartners && r.chance(0.3))
                                    continue;
                                if (a.kind == Kind::Equity)
                                    continue;
                                const double season =
                                    1.0 + 0.25 * std::sin((m - 3) * 3.14159265 / 6.0);
                                const double amount = base * season * r.between(0.7, 1.3);
                                switch (a.kind) {
                                case Kind::Expense:
                                    dug[m] = cents(amount);
                                    pot[m] = r.chance(0.1) ? cents(amount * 0.05) : 0.0;
                                    break;
                                case Kind::Income:
                                    pot[m] = cents(amount);
                                    dug[m] = r.chance(0.1) ? cents(amount * 0.03) : 0.0;
                                    break;
                                case Kind::OffBalance:
                                    // goods taken in, and goods sold or sent back
                                    dug[m] = cents(amount);
                                    pot[m] = cents(amount * r.between(0.8, 1.1));
                                    break;
                                case Kind::Customer:
                                case Kind::Bank:
                                case Kind::Cash:
                                case Kind::InputVat:
                                case Kind::Goods:
                                    dug[m] = cents(amount);
                                    pot[m] = cents(amount * r.between(0.85, 1.05));
                                    break;
                                default:
                                    pot[m] = cents(amount);
                                    dug[m] = cents(amount * r.between(0.85, 1.05));
                                    break;
                                }
                            }
                            Row row(promet);
                            row << f << y << a.code << p;
                            for (double v : dug)
                                row << v;
                            for (double v : pot)
                                row << v;
                            ok = ok && row.run();
                            if (!balanceSheet || a.kind == Kind::OffBalance) {
                                // the same turnover split over three cost centres
                                const double shares[3] = {0.5, 0.3, 0.2};
                                for (int c = 0; c < 3; ++c) {
                                    Row mt(prometMt);
                                    mt << f << y << a.code << p << (c + 1);
                                    for (double v : dug)
                                        mt << cents(v * shares[c]);
                                    for (double v : pot)
                                        mt << cents(v * shares[c]);
                                    ok = ok && mt.run();
                                }
                            }
                        }
                    }
                }
            }
        }
        check(ok);

        // Income and expense groups
        sqlite3_stmt *group =
            db.prepare(QStringLiteral("INSERT INTO FINPRIHRASH VALUES (?,?,?,?)"));
        struct Group
        {
            const char *key;
            QStringList accounts;
            bool lastYearToo;
        };
        const QStringList income = {QStringLiteral("7500"), QStringLiteral("7501"),
                                    QStringLiteral("7600"), QStringLiteral("7720")};
        const QStringList expense = {QStringLiteral("4000"), QStringLiteral("4001"),
                                     QStringLiteral("4100"), QStringLiteral("4101"),
                                     QStringLiteral("4102"), QStringLiteral("4200"),
                                     QStringLiteral("4201"), QStringLiteral("4300")};
        const std::vector<Group> groups = {
            {"PrihodiP", income, true},
            {"RashodiR", expense, true},
            {"Prihodi-Rashodi (Dobit)S", income + expense, true},
            {"Prihodi od prodajeP",
             {QStringLiteral("7500"), QStringLiteral("7501"), QStringLiteral("7600")},
             true},
            {"Plaće i doprinosiR", {QStringLiteral("4200"), QStringLiteral("4201")}, true},
            {"Troškovi uslugaR",
             {QStringLiteral("4100"), QStringLiteral("4101"), QStringLiteral("4102")},
             false},
            {"Bruto marža robeS", {QStringLiteral("6600"), QStringLiteral("7500")}, true},
            // accounts kept by partner beside accounts without partners
            {"Naplata od kupacaP",
             {QStringLiteral("1200"), QStringLiteral("1210"), QStringLiteral("7600")},
             true},
            {"Plaćanja dobavljačimaR", {QStringLiteral("2200"), QStringLiteral("4100")}, true},
        };
        for (int f = 1; ok && f <= 2; ++f)
            for (int y = firstYear; ok && y <= lastYear; ++y)
                for (const Group &g : groups)
                    if ((f == 1 || QByteArray(g.key).endsWith('P') ||
                         QByteArray(g.key).endsWith('R')) &&
                        (g.lastYearToo || y < lastYear))
                        for (const QString &k : g.accounts)
                            ok = ok && (Row(group) << f << g.key << k << y).run();
        check(ok);

        // Plans 1 and 2
        sqlite3_stmt *plan =
            db.prepare(QStringLiteral("INSERT INTO FINPLAN VALUES (%1)").arg(marks(9 + 12)));
        struct Item
        {
            const char *tip, *grupa, *podgrupa, *analitika, *konto;
            int komitent;
            double monthly;
        };
        const std::vector<Item> items = {
            {"P", "Prihodi od prodaje", "Roba", "Veleprodaja", "7500", 0, 45000},
            {"P", "Prihodi od prodaje", "Roba", "Maloprodaja", "7501", 0, 17000},
            {"P", "Prihodi od prodaje", "Usluge", "", "7600", 0, 11500},
            {"P", "Financijski prihodi", "", "", "7720", 0, 300},
            {"P", "Naplata od kupaca", "Ključni kupci", "Pekara D'Oro d.o.o.", "1200", 3, 1500},
            {"R", "Materijal i energija", "Sirovine", "", "4000", 0, 12500},
            {"R", "Materijal i energija", "Energija", "Električna energija", "4001", 0, 2600},
            {"R", "Usluge", "Telekomunikacije", "", "4100", 0, 950},
            {"R", "Usluge", "Prijevoz", "", "4101", 0, 3400},
            {"R", "Usluge", "Najam", "Poslovni prostor", "4102", 0, 4200},
            {"R", "Plaće", "Neto plaće", "", "4200", 0, 18500},
            {"R", "Plaće", "Doprinosi", "", "4201", 0, 6600},
            {"R", "Plaćanja dobavljačima", "Ključni dobavljači", "Dobavljač 11", "2200", 11, 1800},
            {"R", "Plaćanja dobavljačima", "Ključni dobavljači", "Dobavljač 12", "2200", 12, 1800},
        };
        for (int f = 1; ok && f <= 2; ++f)
            for (int y = lastYear - 2; ok && y <= lastYear; ++y)
                for (int planNo = 1; planNo <= 2; ++planNo)
                    for (const Item &it : items) {
                        Row row(plan);
                        row << f << y << planNo << it.tip << it.grupa << it.podgrupa << it.analitika
                            << it.konto << it.komitent;
                        const double factor = (f == 1 ? 1.0 : 0.4) * std::pow(1.05, y - firstYear) *
                                              (planNo == 2 ? 1.1 : 1.0);
                        for (int m = 1; m <= 12; ++m)
                            row << cents(it.monthly * factor * rnd.between(0.9, 1.1));
                        ok = ok && row.run();
                    }
        check(ok);

        progress(50);
        check(ok && db.exec(R"(
            CREATE INDEX PROMET_KONTO ON PROMET (BROJPODUZECA, SINTKONTO, ANALKONTO, GODINAKNJ);
            CREATE INDEX PROMET_GODINA ON PROMET (BROJPODUZECA, GODINAKNJ);
            CREATE INDEX PROMETMT_KONTO ON PROMETMT (BROJPODUZECA, SINTKONTO, ANALKONTO, GODINAKNJ);
            CREATE INDEX PROMETMT_GODINA ON PROMETMT (BROJPODUZECA, GODINAKNJ);
            CREATE INDEX FINPLAN_PLAN ON FINPLAN (BrojPoduzeca, GODINAKNJ, brojplana, TIP);
            COMMIT;)"));
        if (ok) {
            // account-level charts read the summary instead of every turnover row
            QStringList added;
            QString why;
            progress(58);
            if (!TurnoverSummary::add(db.handle(), &added, &why,
                                      [&](int percent) { progress(58 + percent * 37 / 100); })) {
                const QString disk = staged.diskCause();
                ok = false;
                *error = QStringLiteral("Demo knjiga se ne može zapisati u \"%1\": %2")
                             .arg(path, disk.isEmpty() ? why : disk);
            }
        }
        check(ok && db.exec("ANALYZE;"));
        progress(99);
    }
    if (!ok) {
        if (error->isEmpty())
            *error = QStringLiteral("Demo knjiga se ne može zapisati u \"%1\".").arg(path);
        return false;
    }
    if (!staged.commit(StagedFile::completeSqlite)) {
        *error = QStringLiteral("Demo knjiga se ne može spremiti kao \"%1\": %2")
                     .arg(path, staged.errorText());
        return false;
    }
    progress(100);
    return true;
}

QString summary(const QString &path)
{
    Db db;
    if (!db.open(path, false))
        return {};
    QStringList lines;
    for (const char *t : {"CONFIG", "PTTMJESTA", "KOMITENT", "KONTO", "PROMET", "PROMETMT",
                          "FINPRIHRASH", "FINPLAN"}) {
        sqlite3_stmt *s =
            db.prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(t)));
        const int n = s && sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
        lines << QStringLiteral("%1: %2").arg(QLatin1String(t), -12).arg(n);
    }
    return lines.join(u'\n');
}

} // namespace DemoBook
