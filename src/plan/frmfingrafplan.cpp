#include "frmfingrafplan.h"

#include "plan/planrows.h"
#include "platform/chart/chartcontrol.h"
#include "platform/dialogs/busycursor.h"
#include "platform/text/vbtext.h"
#include "platform/widgets/keyedtree.h"

#include <QCommandLineParser>
#include <QLineEdit>
#include <QPushButton>

namespace {

WindowDesign planDesign(const QString &caption)
{
    WindowDesign d;
    d.caption = caption;
    // three buttons where the turnover windows have five: the frame closes round them, and the
    // longest caption gets the room it needs
    d.amountKinds = {
        {QStringLiteral("Plan"), QStringLiteral("Prikaz samo plana"), 120, 855},
        {QStringLiteral("Realizacija"), QStringLiteral("Prikaz samo realizacije"), 1080, 1335},
        {QStringLiteral("Indeks"), QStringLiteral("Prikaz indeksa"), 2520, 975}};
    d.amountFrameWidth = 3615;
    d.twoYearBoxes = false;
    d.yearCaption = QStringLiteral("Za godinu:");
    d.firstMonthDefault = QStringLiteral("1");
    d.fillsTreeOnLoad = false;
    d.refillCaption = QStringLiteral("Napuni listu");
    d.keepsYears = false;
    return d;
}

const QStringList kSides = {QStringLiteral("P"), QStringLiteral("R")};
const QString kPlanCaption = QStringLiteral("Pregled plana i realizacije po mjesecima");
const QString kBudgetCaption = QStringLiteral("Pregled plana i realizacije budžeta po mjesecima");

} // namespace

frmFinGrafPlan::frmFinGrafPlan(const Services &services, std::shared_ptr<HostContext> host,
                               QWidget *parent)
    : frmFinGrafPlan(services, std::move(host), kPlanCaption, parent)
{
}

WindowDesign frmFinGrafPlan::windowDesign()
{
    return planDesign(kPlanCaption);
}

WindowCommand frmFinGrafPlan::launcherCommand()
{
    WindowCommand c;
    c.path = {{QStringLiteral("strana"),
               QStringLiteral("Strana plana: P prihodi (zadano), R rashodi."),
               QStringLiteral("P|R")},
              {QStringLiteral("grupa"), QStringLiteral("Grupa plana po nazivu."),
               QStringLiteral("NAZIV")},
              {QStringLiteral("podgrupa"), QStringLiteral("Podgrupa grupe po nazivu (uz --grupa)."),
               QStringLiteral("NAZIV")},
              {QStringLiteral("analitika"),
               QStringLiteral("Analitička stavka podgrupe po nazivu (uz --podgrupa)."),
               QStringLiteral("NAZIV")}};
    c.pathDefaults = {QStringLiteral("strana")};
    c.nodeKeyExample = QStringLiteral("\"PG***Prihodi od prodaje\"");
    c.check = [](const QCommandLineParser &p, const QStringList &) {
        if (p.isSet(QStringLiteral("strana")) &&
            !kSides.contains(p.value(QStringLiteral("strana")).trimmed().toUpper()))
            return QStringLiteral(
                       "--strana: dopušteno je P (prihodi) ili R (rashodi), a ne \"%1\".")
                .arg(p.value(QStringLiteral("strana")));
        return QString();
    };
    return c;
}

frmFinGrafPlan::frmFinGrafPlan(const Services &services, std::shared_ptr<HostContext> host,
                               const QString &caption, QWidget *parent)
    : ChartWindow(services, std::move(host), planDesign(caption), parent)
{
    // the plan keeps its colour whichever view puts it first
    MSChart1->setSeriesNaming(PlanRows::seriesTitle, PlanRows::colourSlot);
}

QString frmFinGrafPlan::captionAddition() const
{
    return QStringLiteral(" Broj plana: ") + QString::number(BrojPlana);
}

void frmFinGrafPlan::beforeShow()
{
    txtGodina[0]->setText(QString::number(host().godina));
    NapuniStabloPlana();
}

PlanSql::Scope frmFinGrafPlan::scope() const
{
    return {host().brojPoduzeca, BrojPlana, firstYear()};
}

PlanSql::Node frmFinGrafPlan::planNode(const QTreeWidgetItem *node)
{
    PlanSql::Node n;
    const QTreeWidgetItem *root = node;
    for (; root && root->parent(); root = root->parent())
        n.names.prepend(root->text(0));
    // by the tree's shape rather than the node's key: a node whose joined key another node
    // already holds has none, and still names its plan rows
    n.side = KeyedTree::key(root).left(1);
    return n;
}

void frmFinGrafPlan::NapuniStabloPlana()
{
    BusyCursor busy;
    // a plan is there when a side has a group: every plan row names its group
    int groups = 0;
    bool read = true;
    refillTree([&] {
        for (const QString &side : kSides) {
            const int n = fillGroups(side, busy);
            read = read && n >= 0;
            groups += std::max(0, n);
        }
    });
    m_noPlanYear = read && groups == 0 ? firstYear() : QString();
    if (!m_noPlanYear.isEmpty()) {
        busy.restore();
        tellNoPlan();
    }
}

void frmFinGrafPlan::tellNoPlan()
{
    dialogs().message(this,
                      QStringLiteral("Plan broj %1 nema nijedne stavke za poduzeće %2 u %3. "
                                     "godini: nema se što prikazati.")
                          .arg(BrojPlana)
                          .arg(host().brojPoduzeca)
                          .arg(firstYear()),
                      Dialogs::Information);
}

int frmFinGrafPlan::fillGroups(const QString &side, BusyCursor &busy)
{
    const PlanSql::Scope s = scope();
    const PlanSql::Node rootNode{side, {}};
    QTreeWidgetItem *root = tv->addNode(nullptr, PlanSql::nodeKey(rootNode),
                                        PlanSql::rootText(side), PlanSql::nodeTag(rootNode));
    // each level reads into a record set of its own
    Recordset groups;
    if (!openFill(PlanSql::groupFill(side, s), groups)) {
        busy.restore();
        dialogs().message(this, QStringLiteral("GREŠKA u punjenju podataka!"),
                          Dialogs::Exclamation);
        busy.resume();
        return -1;
    }
    auto add = [this](QTreeWidgetItem *parent, const PlanSql::Node &n) {
        return tv->addNode(parent, PlanSql::nodeKey(n), n.names.last(), PlanSql::nodeTag(n));
    };
    for (groups.MoveFirst(); !groups.Eof(); groups.MoveNext()) {
        const QString group = groups.value(0).toString();
        QTreeWidgetItem *groupNode = add(root, {side, {group}});
        // a level below a group that cannot be read stays empty
        Recordset subgroups;
        if (!openFill(PlanSql::subgroupFill(side, group, s), subgroups))
            continue;
        for (subgroups.MoveFirst(); !subgroups.Eof(); subgroups.MoveNext()) {
            const QString subgroup = subgroups.value(0).toString();
            QTreeWidgetItem *subgroupNode = add(groupNode, {side, {group, subgroup}});
            Recordset items;
            if (!openFill(PlanSql::analyticFill(side, group, subgroup, s), items))
                continue;
            for (items.MoveFirst(); !items.Eof(); items.MoveNext())
                add(subgroupNode, {side, {group, subgroup, items.value(0).toString()}});
        }
    }
    return root->childCount();
}

void frmFinGrafPlan::nodeClick(QTreeWidgetItem *node)
{
    setLastNode(node);
    drawChart();
}

bool frmFinGrafPlan::readAccountCondition(QString *condition)
{
    const QString sql = PlanSql::accountPairs(planNode(lastNode()), scope());
    if (sql.isEmpty())
        return false;
    Recordset rs;
    if (!openFill(sql, rs,
                  Failure{QStringLiteral("Desila se greška: ") +
                              QStringLiteral("u čitanju postavljanju filtra za konto/komit!"),
                          Dialogs::Exclamation}))
        return false;
    QVector<PlanSql::AccountPair> pairs;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext())
        pairs.append({rs.value(QStringLiteral("KONTO")).toString(),
                      rs.value(QStringLiteral("KOMITENT")).toString()});
    *condition = PlanSql::UvjetKonta(pairs);
    return true;
}

void frmFinGrafPlan::drawChart()
{
    QTreeWidgetItem *node = lastNode();
    if (!node)
        return; // nothing clicked yet: nothing to draw
    if (!m_noPlanYear.isEmpty() && m_noPlanYear == firstYear()) {
        tellNoPlan();
        return;
    }
    const PlanSql::Node n = planNode(node);
    const PlanSql::Scope s = scope();
    // a year box without a year draws nothing, as the database would refuse the statement
    QString accounts;
    const bool ready = VbText::val(txtGodina[0]->text()) != 0 && readAccountCondition(&accounts);
    const auto view = PlanRows::View(qMax(0, selectedAmountKind()));
    const QString tag = KeyedTree::tag(node);
    draw(
        [ready, n, s, accounts](qint16 first, qint16 last) {
            return ready ? PlanSql::planChart(first, last, n, s, accounts) : QString();
        },
        (view == PlanRows::View::Indeks ? QStringLiteral("Indeks realizacije / plana: ")
                                        : QStringLiteral("Plan i realizacija: ")) +
            tag,
        {QStringLiteral("Greška u pristupu podacima : ") + node->text(0), Dialogs::Exclamation},
        {[view](Recordset &rows) { PlanRows::arrange(rows, view); },
         view == PlanRows::View::Indeks ? PlanRows::indexFilter() : QString()});
}

bool frmFinGrafPlan::clickPath(const QStringList &codes, QString *notFound)
{
    const QString side = codes.value(0).isEmpty() ? QStringLiteral("P") : codes.value(0).toUpper();
    QTreeWidgetItem *node = tv->node(PlanSql::nodeKey({side, {}}));
    if (!node)
        return notFoundAmong(
            notFound, QStringLiteral("Strana \"%1\" nije u stablu plana.").arg(side), kSides);
    static const char *const levels[] = {nullptr, "Grupa", "Podgrupa", "Analitika"};
    for (int level = 1; level < 4 && !codes.value(level).isEmpty(); ++level) {
        QStringList names;
        QTreeWidgetItem *child = findChild(
            node, codes.value(level), [](const QTreeWidgetItem *n) { return n->text(0); }, &names);
        if (!child)
            return notFoundAmong(
                notFound,
                QStringLiteral("%1 \"%2\" nije u stablu pod \"%3\".")
                    .arg(QLatin1String(levels[level]), codes.value(level), KeyedTree::tag(node)),
                names);
        node = child;
    }
    click(node);
    return true;
}

frmFinGrafPlanBudž::frmFinGrafPlanBudž(const Services &services, std::shared_ptr<HostContext> host,
                                       QWidget *parent)
    : frmFinGrafPlan(services, std::move(host), kBudgetCaption, parent)
{
}

WindowDesign frmFinGrafPlanBudž::windowDesign()
{
    return planDesign(kBudgetCaption);
}
