#include "frmfingrafpromet.h"

#include "chartwin/vbtext.h"
#include "entry/hostcontext.h"
#include "platform/dialogs/busycursor.h"
#include "platform/widgets/keyedtree.h"
#include "turnover/turnoverstatements.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

QVector<ChartWindow::Option> turnoverKinds()
{
    const QString both = QStringLiteral("Prikaz iznosa duguje i potražuje");
    return {{QStringLiteral("Duguje"), QStringLiteral("Prikaz samo iznosa duguje")},
            {QStringLiteral("Potražuje"), QStringLiteral("Prikaz samo iznosa potražuje")},
            {QStringLiteral("Oba (D i P)"), both},
            {QStringLiteral("Saldo D-P"), both},
            {QStringLiteral("Saldo P-D"), both}};
}

const QString kTitle = QStringLiteral("Promet konta po mjesecima - Konto: ");

} // namespace

frmFinGrafPromet::frmFinGrafPromet(const Services &services, QWidget *parent)
    : frmFinGrafPromet(services, QStringLiteral("Pregled prometa na kontima po mjesecima"),
                       turnoverKinds(), parent)
{
}

frmFinGrafPromet::frmFinGrafPromet(const Services &services, const QString &caption,
                                   const QVector<Option> &kinds, QWidget *parent)
    : ChartWindow(services, caption, kinds, parent)
{
    connect(Command1, &QPushButton::clicked, this, &frmFinGrafPromet::Command1_Click);
}

QString frmFinGrafPromet::firstYear() const
{
    return VbText::plainNumber(txtGodina[0]->text());
}
QString frmFinGrafPromet::lastYear() const
{
    return VbText::plainNumber(txtGodina[1]->text());
}

TurnoverSql::Scope frmFinGrafPromet::scope(bool withPartner) const
{
    return {ImeBazePrometa,
            HostContext::instance().brojPoduzeca,
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
    BusyCursor busy;
    const HostContext &host = HostContext::instance();
    setLastSql(TurnoverSql::topLevelFill(host.brojPoduzeca, firstYear(), lastYear()));
    Recordset rs; // the tree reads into a record set of its own: the chart's rows stay the chart's
    if (!pristup().OtvoriRecordset(host.connectionString, lastSql(), rs, true, false)) {
        busy.restore();
        dialogs().message(this, QStringLiteral("GREŠKA u punjenju trocifrenih konta!"),
                          Dialogs::Exclamation);
        return;
    }
    if (rs.Bof() && rs.Eof()) {
        busy.restore();
        dialogs().message(this, QStringLiteral("Nema trocifrenih konta!"));
        return;
    }
    tv->setVisible(false);
    tv->setUpdatesEnabled(false);
    tv->clearNodes();
    setLastNode(nullptr);
    tv->setVisible(true);
    tv->setUpdatesEnabled(true);
    QTreeWidgetItem *last = nullptr;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString konto = rs.value(QStringLiteral("Konto")).toString();
        const QString naziv = rs.value(QStringLiteral("nazivkonta")).toString();
        last = tv->addNode(nullptr, QStringLiteral("Sint: ") + konto + u' ' + naziv,
                           konto + u' ' + naziv, QStringLiteral("Sint"));
    }
    setLastNode(last);
}

void frmFinGrafPromet::fillChildren(QTreeWidgetItem *parent, const QString &sql,
                                    const QString &keyPrefix, const QString &keyField,
                                    const QString &textField, const QString &tag,
                                    const QString &failure)
{
    BusyCursor busy;
    setLastSql(sql);
    Recordset rs;
    if (!pristup().OtvoriRecordset(HostContext::instance().connectionString, sql, rs, true,
                                   false)) {
        busy.restore();
        dialogs().message(this, failure);
        return;
    }
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        const QString key = rs.value(keyField).toString();
        const QString text =
            tag == u"Komit" ? rs.value(textField).toString() + QStringLiteral(" (") + key + u')'
                            : key + u' ' + rs.value(textField).toString();
        tv->addNode(parent, keyPrefix + key, text, tag);
    }
}

void frmFinGrafPromet::NapuniAnalitickaKonta(QTreeWidgetItem *sint)
{
    const HostContext &host = HostContext::instance();
    fillChildren(sint,
                 TurnoverSql::analyticFill(ImeBazePrometa, host.brojPoduzeca, txtkonto->text(),
                                           firstYear(), lastYear()),
                 QStringLiteral("K: "), QStringLiteral("Konto"), QStringLiteral("nazivkonta"),
                 QStringLiteral("Anal"), QStringLiteral("GREŠKA DISTINCT anal"));
}

void frmFinGrafPromet::NapuniKomitente(QTreeWidgetItem *anal)
{
    const HostContext &host = HostContext::instance();
    fillChildren(anal,
                 TurnoverSql::partnerFill(ImeBazePrometa, host.brojPoduzeca, txtkonto->text(),
                                          firstYear(), lastYear()),
                 QStringLiteral("A: "), QStringLiteral("AnalKonto"), QStringLiteral("Naziv"),
                 QStringLiteral("Komit"), QStringLiteral("GREŠKA DISTINCT Komit"));
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

QString frmFinGrafPromet::accountStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::accountChart(kind, firstMonth, lastMonth, scope(false));
}

QString frmFinGrafPromet::partnerStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::partnerChart(kind, firstMonth, lastMonth, scope(true));
}

void frmFinGrafPromet::Command1_Click()
{
    BusyCursor busy;
    const QString sql = accountStatement(selectedAmountKind(), VbText::toInt16(txtMj[0]->text()),
                                         VbText::toInt16(txtMj[1]->text()));
    if (sql.isEmpty())
        return;
    setLastSql(sql);
    if (!pristup().OtvoriRecordset(HostContext::instance().connectionString, sql, chartRecordset(),
                                   true, false)) {
        busy.restore();
        dialogs().message(
            this, QStringLiteral("Greška u pristupu podacima za konto : ") + txtkonto->text(),
            Dialogs::Exclamation);
        return;
    }
    handToChart(kTitle + (lastNode() ? lastNode()->text(0) : QString()), busy);
}

void frmFinGrafPromet::PrikaziPrometKomitenta()
{
    BusyCursor busy;
    const QString sql = partnerStatement(selectedAmountKind(), VbText::toInt16(txtMj[0]->text()),
                                         VbText::toInt16(txtMj[1]->text()));
    if (sql.isEmpty())
        return;
    setLastSql(sql);
    if (!pristup().OtvoriRecordset(HostContext::instance().connectionString, sql, chartRecordset(),
                                   true, false)) {
        busy.restore();
        dialogs().message(this, QStringLiteral("Greška u pristupu anal.prometu za konto: ") +
                                    txtkonto->text() + QStringLiteral(" Anal. ") + partnerCode());
        return;
    }
    QTreeWidgetItem *n = lastNode();
    handToChart(kTitle + (n && n->parent() ? n->parent()->text(0) : QString()) +
                    QStringLiteral(" - ") + (n ? n->text(0) : QString()),
                busy);
}

frmFinGrafPrometKumul::frmFinGrafPrometKumul(const Services &services, QWidget *parent)
    : frmFinGrafPromet(
          services, QStringLiteral("Pregled kumulativnog salda na kontima po mjesecima"),
          {{QStringLiteral("Kum.saldo D-P"), QStringLiteral("Prikaz samo iznosa duguje")},
           {QStringLiteral("Kum.saldo P-D"), QStringLiteral("Prikaz samo iznosa potražuje")}},
          parent)
{
}

QString frmFinGrafPrometKumul::accountStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::cumulativeAccountChart(kind, firstMonth, lastMonth, scope(false));
}

QString frmFinGrafPrometKumul::partnerStatement(int kind, qint16 firstMonth, qint16 lastMonth) const
{
    return TurnoverSql::cumulativePartnerChart(kind, firstMonth, lastMonth, scope(true));
}
