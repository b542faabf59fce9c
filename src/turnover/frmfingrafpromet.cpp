#include "frmfingrafpromet.h"

#include "platform/widgets/keyedtree.h"
#include "turnover/turnoverstatements.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

WindowDesign turnoverDesign()
{
    const QString both = QStringLiteral("Prikaz iznosa duguje i potražuje");
    WindowDesign d;
    d.caption = QStringLiteral("Pregled prometa na kontima po mjesecima");
    d.amountKinds = {
        {QStringLiteral("Duguje"), QStringLiteral("Prikaz samo iznosa duguje"), 120, 855},
        {QStringLiteral("Potražuje"), QStringLiteral("Prikaz samo iznosa potražuje"), 960, 975},
        {QStringLiteral("Oba (D i P)"), both, 1920, 1215},
        {QStringLiteral("Saldo D-P"), both, 3120, 1095},
        {QStringLiteral("Saldo P-D"), both, 4200, 1095}};
    return d;
}

WindowDesign cumulativeDesign()
{
    WindowDesign d;
    d.caption = QStringLiteral("Pregled kumulativnog salda na kontima po mjesecima");
    // two buttons where the turnover window has five: the frame closes round them
    d.amountKinds = {
        {QStringLiteral("Kum.saldo D-P"), QStringLiteral("Prikaz samo iznosa duguje"), 120, 1335},
        {QStringLiteral("Kum.saldo P-D"), QStringLiteral("Prikaz samo iznosa potražuje"), 1560,
         1335}};
    d.amountFrameWidth = 3015;
    return d;
}

const QString kTitle = QStringLiteral("Promet konta po mjesecima - Konto: ");
// the amount kind "Oba (D i P)": a debit row and a credit row for each year
constexpr int kBothSides = 2;

} // namespace

WindowDesign frmFinGrafPromet::windowDesign()
{
    return turnoverDesign();
}

WindowCommand frmFinGrafPromet::launcherCommand()
{
    WindowCommand c;
    c.path = {{QStringLiteral("konto"), QStringLiteral("Konto (sintetički ili analitički)."),
               QStringLiteral("KONTO")},
              {QStringLiteral("komitent"),
               QStringLiteral("Šifra komitenta na analitičkom kontu (uz --konto)."),
               QStringLiteral("ŠIFRA")}};
    c.nodeKeyExample = QStringLiteral("\"K: 1200\"");
    return c;
}

WindowDesign frmFinGrafPrometKumul::windowDesign()
{
    return cumulativeDesign();
}

frmFinGrafPromet::frmFinGrafPromet(const Services &services, std::shared_ptr<HostContext> host,
                                   QWidget *parent)
    : frmFinGrafPromet(services, std::move(host), turnoverDesign(), parent)
{
}

frmFinGrafPromet::frmFinGrafPromet(const Services &services, std::shared_ptr<HostContext> host,
                                   const WindowDesign &design, QWidget *parent)
    : ChartWindow(services, std::move(host), design, parent)
{
}

TurnoverSql::Scope frmFinGrafPromet::scope(bool withPartner) const
{
    return {ImeBazePrometa,
            host().brojPoduzeca,
            txtkonto->text().trimmed(),
            withPartner ? partnerCode() : QString(),
            firstYear(),
            lastYear()};
}

QString frmFinGrafPromet::partnerCode() const
{
    return KeyedTree::key(lastNode()).mid(2);
}

void frmFinGrafPromet::NapuniTrocifrenaKonta()
{
    Recordset rs;
    if (!openFill(
            TurnoverSql::topLevelFill(host().brojPoduzeca, firstYear(), lastYear()), rs,
            Failure{QStringLiteral("GREŠKA u punjenju trocifrenih konta!"), Dialogs::Exclamation}))
        return;
    if (rs.Bof() && rs.Eof()) {
        dialogs().message(this, QStringLiteral("Nema trocifrenih konta!"));
        return;
    }
    refillTree([&] {
        QTreeWidgetItem *last = nullptr;
        for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
            const QString konto = rs.value(QStringLiteral("Konto")).toString();
            const QString naziv = rs.value(QStringLiteral("nazivkonta")).toString();
            last = tv->addNode(nullptr, QStringLiteral("Sint: ") + konto + u' ' + naziv,
                               konto + u' ' + naziv, QStringLiteral("Sint"));
        }
        setLastNode(last);
    });
}

void frmFinGrafPromet::NapuniAnalitickaKonta(QTreeWidgetItem *sint)
{
    Recordset rs;
    if (!openFill(TurnoverSql::analyticFill(ImeBazePrometa, host().brojPoduzeca, txtkonto->text(),
                                            firstYear(), lastYear()),
                  rs, Failure{QStringLiteral("GREŠKA DISTINCT anal"), Dialogs::NoIcon}))
        return;
    const int codeAt = rs.fieldIndex(QStringLiteral("Konto"));
    const int nameAt = rs.fieldIndex(QStringLiteral("nazivkonta"));
    tv->addChildren(sint, rs.RecordCount(), [=](int row) {
        const QString code = rs.valueAt(row, codeAt).toString();
        return KeyedTree::Node{QStringLiteral("K: ") + code,
                               code + u' ' + rs.valueAt(row, nameAt).toString(),
                               QStringLiteral("Anal")};
    });
}

void frmFinGrafPromet::NapuniKomitente(QTreeWidgetItem *anal)
{
    fillPartners(anal, QStringLiteral("A: "), QStringLiteral("Komit"));
}

void frmFinGrafPromet::nodeClick(QTreeWidgetItem *node)
{
    if (!node)
        return;
    const QString tag = KeyedTree::tag(node);
    if (tag == u"Sint" || tag == u"Anal") {
        txtkonto->setText(tag == u"Sint" ? node->text(0).left(3).trimmed()
                                         : KeyedTree::key(node).mid(2).trimmed());
        if (node->childCount() == 0) {
            if (tag == u"Sint")
                NapuniAnalitickaKonta(node);
            else
                NapuniKomitente(node);
        }
        node->setExpanded(true);
        setLastNode(node);
        Command1_Click();
    } else if (tag == u"Komit") {
        setLastNode(node);
        txtkonto->setText(KeyedTree::key(node->parent()).mid(2).trimmed());
        PrikaziPrometKomitenta();
    }
}

bool frmFinGrafPromet::clickPath(const QStringList &codes, QString *notFound)
{
    const QString konto = codes.value(0);
    if (konto.isEmpty())
        return true;
    QStringList synthetic;
    QTreeWidgetItem *sint = findChild(
        nullptr, konto.left(3),
        [](const QTreeWidgetItem *n) { return n->text(0).left(3).trimmed(); }, &synthetic);
    if (!sint)
        return notFoundAmong(notFound, QStringLiteral("Konto %1 nije u stablu.").arg(konto),
                             synthetic);
    click(sint);
    QTreeWidgetItem *account = sint;
    if (konto.size() > 3) {
        account = tv->node(QStringLiteral("K: ") + konto);
        if (!account) {
            QStringList analytic;
            findChild(
                sint, {}, [](const QTreeWidgetItem *n) { return KeyedTree::key(n).mid(3); },
                &analytic);
            return notFoundAmong(notFound,
                                 QStringLiteral("Konto %1 nije u stablu pod kontom %2.")
                                     .arg(konto, sint->text(0).left(3).trimmed()),
                                 analytic);
        }
        click(account);
    }
    const QString partner = codes.value(1);
    if (partner.isEmpty())
        return true;
    if (account == sint) // partners hang under analytic accounts only
        return notFoundAmong(notFound,
                             QStringLiteral("Komitenti su pod analitičkim kontima, a %1 je "
                                            "sintetički konto.")
                                 .arg(konto),
                             {});
    QStringList partners;
    if (QTreeWidgetItem *node = partnerNode(account, partner, &partners)) {
        click(node);
        return true;
    }
    return notFoundAmong(
        notFound, QStringLiteral("Komitent %1 nije na kontu %2.").arg(partner, konto), partners);
}

QString frmFinGrafPromet::accountStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::accountChart(kind, firstMonth, lastMonth, scope(false));
}

QString frmFinGrafPromet::partnerStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::partnerChart(kind, firstMonth, lastMonth, scope(true));
}

void frmFinGrafPromet::drawChart()
{
    const int kind = selectedAmountKind();
    if (draw(
            [this, kind](qint16 first, qint16 last) { return accountStatement(kind, first, last); },
            kTitle + (lastNode() ? lastNode()->text(0) : QString()),
            {QStringLiteral("Greška u pristupu podacima za konto : ") + txtkonto->text(),
             Dialogs::Exclamation}))
        m_drawnKind = kind;
}

void frmFinGrafPromet::PrikaziPrometKomitenta()
{
    const int kind = selectedAmountKind();
    QTreeWidgetItem *n = lastNode();
    if (draw(
            [this, kind](qint16 first, qint16 last) { return partnerStatement(kind, first, last); },
            kTitle + (n && n->parent() ? n->parent()->text(0) : QString()) + QStringLiteral(" - ") +
                (n ? n->text(0) : QString()),
            {QStringLiteral("Greška u pristupu anal.prometu za konto: ") + txtkonto->text() +
                 QStringLiteral(" Anal. ") + partnerCode(),
             Dialogs::NoIcon}))
        m_drawnKind = kind;
}

MonthlyTotals frmFinGrafPromet::monthlyTotals() const
{
    MonthlyTotals totals;
    totals.totalLine = m_drawnKind != kBothSides;
    return totals;
}

frmFinGrafPrometKumul::frmFinGrafPrometKumul(const Services &services,
                                             std::shared_ptr<HostContext> host, QWidget *parent)
    : frmFinGrafPromet(services, std::move(host), cumulativeDesign(), parent)
{
}

MonthlyTotals frmFinGrafPrometKumul::monthlyTotals() const
{
    MonthlyTotals totals;
    totals.rest.figure = MonthlyTotals::Figure::Balance;
    totals.totalLine = false;
    return totals;
}

QString frmFinGrafPrometKumul::accountStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::cumulativeAccountChart(kind, firstMonth, lastMonth, scope(false));
}

QString frmFinGrafPrometKumul::partnerStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::cumulativePartnerChart(kind, firstMonth, lastMonth, scope(true));
}
