#include "frmfingrafprihodrashod.h"

#include "incexp/incexpstatements.h"
#include "output/frmispiscr.h"
#include "platform/dialogs/busycursor.h"
#include "platform/widgets/keyedtree.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>

using IncExpSql::Kind;

namespace {

WindowDesign incExpDesign()
{
    WindowDesign d;
    d.caption = QStringLiteral("Pregled prihoda i rashoda po mjesecima");
    return d; // no amount frame: what is summed follows from the node
}

QString groupTag(Kind k)
{
    return k == Kind::Income    ? QStringLiteral("SviPrihodi")
           : k == Kind::Expense ? QStringLiteral("SviRashodi")
                                : QStringLiteral("PrihRash");
}

QString accountTag(Kind k)
{
    return k == Kind::Income    ? QStringLiteral("PrihKonto")
           : k == Kind::Expense ? QStringLiteral("RashKonto")
                                : QStringLiteral("SalKonto");
}

bool isGroupTag(const QString &tag)
{
    return tag == u"SviPrihodi" || tag == u"SviRashodi" || tag == u"PrihRash";
}

bool isAccountTag(const QString &tag)
{
    return tag == u"PrihKonto" || tag == u"RashKonto" || tag == u"SalKonto";
}

bool isPartnerTag(const QString &tag)
{
    return tag == u"PKomit" || tag == u"RKomit" || tag == u"SKomit";
}

} // namespace

WindowDesign frmFinGrafPrihodRashod::windowDesign()
{
    return incExpDesign();
}

frmFinGrafPrihodRashod::frmFinGrafPrihodRashod(const Services &services,
                                               std::shared_ptr<HostContext> host, QWidget *parent)
    : ChartWindow(services, std::move(host), incExpDesign(), parent)
{
    Command1->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));

    // Menus: the group commands, the standing groups and the printing stand before the frame's.
    mnuGrupe = insertMenu(mnuNapuniKonta, QStringLiteral("Grupe"));
    const char *commands[] = {"Nova grupa", "Izmjena grupe", "Brisanje grupe", nullptr,
                              "Konta za grupu"};
    for (int i = 0; i < 5; ++i) {
        if (!commands[i]) {
            mnuRadSaGrupom[i] = mnuGrupe->addSeparator();
            continue;
        }
        mnuRadSaGrupom[i] = mnuGrupe->addAction(QString::fromUtf8(commands[i]));
        connect(mnuRadSaGrupom[i], &QAction::triggered, this,
                [this, i] { mnuRadSaGrupom_Click(i); });
    }
    mnuPrihodi[0] = insertMenuAction(mnuNapuniKonta, QStringLiteral("Prihodi"));
    mnuPrihodi[1] = insertMenuAction(mnuNapuniKonta, QStringLiteral("Rashodi"));
    for (int i = 0; i < 2; ++i)
        connect(mnuPrihodi[i], &QAction::triggered, this, [this, i] { mnuPrihodi_Click(i); });
    mnuIspisPodataka =
        insertMenu(mnuPostavkeZaGraf->menuAction(), QStringLiteral("Ispis podataka"));
    const char *prints[] = {"Ispis prikazanih podataka",
                            "Ispis za grupu sa učešćem u % po mjesecima",
                            "Ispis za grupu sa učešćem u % ukupno"};
    for (int i = 0; i < 3; ++i) {
        mnuIspisP[i] = mnuIspisPodataka->addAction(QString::fromUtf8(prints[i]));
        connect(mnuIspisP[i], &QAction::triggered, this, [this, i] { mnuIspisP_Click(i); });
    }
    mnuSepG = mnuPostavkeZaGraf->addSeparator();
    const char *carries[] = {"Prepiši grupe i konta iz prošle godine",
                             "Prepiši grupe i konta iz prošle godine sa translacijom 1",
                             "Prepiši grupe i konta iz prošle godine sa translacijom 2"};
    for (int i = 0; i < 3; ++i) {
        mnuPrepišiProšlu[i] = mnuPostavkeZaGraf->addAction(QString::fromUtf8(carries[i]));
        connect(mnuPrepišiProšlu[i], &QAction::triggered, this,
                [this, i] { mnuPrepišiProšlu_Click(i); });
    }

    // The group buttons take the place the amount frame has in the turnover windows.
    const struct
    {
        int index;
        QStyle::StandardPixmap icon;
        const char *tip;
    } buttons[] = {{0, QStyle::SP_FileIcon, "Nova grupa"},
                   {1, QStyle::SP_FileDialogDetailedView, "Izmjena grupe"},
                   {2, QStyle::SP_TrashIcon, "Brisanje grupe"},
                   {4, QStyle::SP_FileDialogListView, "Definiranje konta za grupu"}};
    int left = 9000;
    for (const auto &b : buttons) {
        auto *button = new QPushButton(style()->standardIcon(b.icon), QString(), centralWidget());
        button->setToolTip(QString::fromUtf8(b.tip));
        place(button, left, 120, 495, 495);
        cmdVP[b.index] = button;
        const int index = b.index;
        connect(button, &QPushButton::clicked, this,
                [this, index] { mnuRadSaGrupom_Click(index); });
        left += 555;
    }

    tv->setRootsSorted(true);
    tv->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tv, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { mnuGrupe->popup(tv->viewport()->mapToGlobal(at)); });
}

QString frmFinGrafPrihodRashod::PadR(const QString &text, int width)
{
    return IncExpSql::PadR(text, width);
}

QString frmFinGrafPrihodRashod::PadL(const QString &text, int width)
{
    return IncExpSql::PadL(text, width);
}

QString frmFinGrafPrihodRashod::PadC(const QString &text, int width)
{
    return IncExpSql::PadC(text, width);
}

void frmFinGrafPrihodRashod::SelektirajText(QLineEdit *box)
{
    box->selectAll();
}

void frmFinGrafPrihodRashod::NapuniGrupe()
{
    BusyCursor busy;
    refillTree([&] {
        Recordset keys;
        if (!openFill(IncExpSql::groupList(host().brojPoduzeca, host().godina), keys,
                      Failure{QStringLiteral("Desila se greška u pristupu podacima o fin.grupama. "
                                             "Ponovite!"),
                              Dialogs::Exclamation, true,
                              QStringLiteral("Greška u pristupu podacima")}))
            return;
        if (keys.Bof() && keys.Eof()) {
            busy.restore();
            dialogs().message(this, QStringLiteral("Nisu upisanih grupa!"));
            busy.resume();
            for (const char *key : {"PrihodiP", "RashodiR", "Prihodi-Rashodi (Dobit)S"})
                addGroup(QString::fromUtf8(key), busy);
            return;
        }
        for (keys.MoveFirst(); !keys.Eof(); keys.MoveNext())
            addGroup(keys.value(0).toString(), busy);
    });
}

void frmFinGrafPrihodRashod::addGroup(const QString &key, BusyCursor &busy)
{
    Recordset accounts;
    if (!openFill(IncExpSql::groupAccounts(key, host().brojPoduzeca, host().godina), accounts))
        return;
    if (accounts.Bof() && accounts.Eof()) {
        busy.restore();
        dialogs().message(this, QStringLiteral("Nisu upisana konta za grupu: ") +
                                    IncExpSql::groupName(key) + QStringLiteral(" !"));
        busy.resume();
        return;
    }
    const Kind kind = IncExpSql::kindOfKey(key);
    QTreeWidgetItem *group = tv->addNode(nullptr, key, IncExpSql::groupName(key), groupTag(kind));
    for (accounts.MoveFirst(); !accounts.Eof(); accounts.MoveNext()) {
        const QString code = accounts.value(QStringLiteral("Konto")).toString();
        tv->addNode(group, PadR(code, 8) + key,
                    PadR(code.trimmed(), 8) + u' ' +
                        accounts.value(QStringLiteral("NAZIVKONTA")).toString(),
                    accountTag(kind));
    }
}

void frmFinGrafPrihodRashod::loadPartners(QTreeWidgetItem *account)
{
    const QString tag = KeyedTree::tag(account);
    fillPartners(account,
                 tag == u"PrihKonto"   ? QStringLiteral("AP:")
                 : tag == u"RashKonto" ? QStringLiteral("AR:")
                                       : QStringLiteral("AS:"),
                 tag == u"PrihKonto"   ? QStringLiteral("PKomit")
                 : tag == u"RashKonto" ? QStringLiteral("RKomit")
                                       : QStringLiteral("SKomit"));
}

void frmFinGrafPrihodRashod::nodeClick(QTreeWidgetItem *node)
{
    const QString tag = KeyedTree::tag(node);
    if (!node)
        return;
    if (isGroupTag(tag)) {
        m_groupKey = KeyedTree::key(node);
        m_groupTag = tag;
        if (tag == u"PrihRash") {
            txtkonto->setText(QStringLiteral("PRIH-RASH"));
        } else {
            txtkonto->clear();
            node->setExpanded(true);
        }
        setLastNode(node);
        Command1_Click();
    } else if (isAccountTag(tag)) {
        txtkonto->setText(IncExpSql::accountOfKey(KeyedTree::key(node)));
        if (node->childCount() == 0)
            loadPartners(node);
        node->setExpanded(true);
        setLastNode(node);
        Command1_Click();
    } else if (isPartnerTag(tag)) {
        setLastNode(node);
        txtkonto->setText(IncExpSql::accountOfKey(KeyedTree::key(node->parent())));
        drawPartner(node);
    }
}

void frmFinGrafPrihodRashod::drawChart()
{
    QTreeWidgetItem *node = lastNode();
    const QString tag = KeyedTree::tag(node);
    if (isPartnerTag(tag)) {
        drawPartner(node); // what a click on the node draws
        return;
    }
    if (!isGroupTag(tag) && !isAccountTag(tag))
        return;
    const Kind kind = IncExpSql::kindOfTag(tag);
    const IncExpSql::Scope scope{ImeBazePrometa, host().brojPoduzeca, firstYear(), lastYear()};
    QString title = node->text(0);
    ChartWindow::Statement statement;
    if (isGroupTag(tag)) {
        const QString key = KeyedTree::key(node);
        statement = [kind, key, scope](qint16 first, qint16 last) {
            return IncExpSql::groupChart(kind, key, first, last, scope);
        };
    } else {
        const QString account = txtkonto->text();
        const QString key = KeyedTree::key(node->parent());
        statement = [kind, account, key, scope](qint16 first, qint16 last) {
            return IncExpSql::accountChart(kind, account, key, first, last, scope);
        };
        title = (tag == u"PrihKonto"   ? QStringLiteral("Prihodi ")
                 : tag == u"RashKonto" ? QStringLiteral("Rashodi ")
                                       : QStringLiteral("Prihodi-Rashodi (Saldo): ")) +
                title;
    }
    draw(statement, title,
         {QStringLiteral("Greška u pristupu podacima za konto : ") + txtkonto->text(),
          Dialogs::Exclamation});
}

void frmFinGrafPrihodRashod::drawPartner(QTreeWidgetItem *partner)
{
    const QString tag = KeyedTree::tag(partner);
    const Kind kind = IncExpSql::kindOfTag(tag);
    const IncExpSql::Scope scope{ImeBazePrometa, host().brojPoduzeca, firstYear(), lastYear()};
    const QString account = txtkonto->text();
    // from the text: a partner on two accounts of the same kind gets its key once
    const QString code = partnerCodeOf(partner);
    const QString title = (tag == u"PKomit"   ? QStringLiteral("Prihodi: ")
                           : tag == u"RKomit" ? QStringLiteral("Rashodi: ")
                                              : QStringLiteral("Saldo: ")) +
                          partner->parent()->text(0) + QStringLiteral(" - ") + partner->text(0);
    draw(
        [kind, account, code, scope](qint16 first, qint16 last) {
            return IncExpSql::partnerChart(kind, account, code, first, last, scope);
        },
        title,
        {QStringLiteral("Greška u pristupu anal.prometu za konto: ") + txtkonto->text() +
             QStringLiteral(" Anal. ") + code,
         Dialogs::NoIcon});
}

bool frmFinGrafPrihodRashod::clickPath(const QStringList &codes, QString *notFound)
{
    const QString key = codes.value(0);
    if (key.isEmpty())
        return codes.value(1).isEmpty();
    QTreeWidgetItem *group = tv->node(key);
    if (!group || group->parent()) {
        QStringList keys, sameName;
        findChild(nullptr, {}, KeyedTree::key, &keys);
        for (const QString &k : std::as_const(keys))
            if (k.chopped(1).compare(key, Qt::CaseInsensitive) == 0)
                sameName << k;
        // the key is the name and the kind letter: a name alone is the likeliest slip
        if (!sameName.isEmpty())
            return notFoundAmong(notFound,
                                 QStringLiteral("Grupa \"%1\" nije u stablu: ključ grupe je "
                                                "njezin naziv i slovo vrste (P prihodi, R "
                                                "rashodi, S saldo).")
                                     .arg(key),
                                 sameName);
        return notFoundAmong(notFound, QStringLiteral("Grupa \"%1\" nije u stablu.").arg(key),
                             keys);
    }
    click(group);
    const QString account = codes.value(1);
    if (account.isEmpty())
        return codes.value(2).isEmpty();
    QTreeWidgetItem *accountNode = tv->node(PadR(account, 8) + key);
    if (!accountNode) {
        QStringList accounts;
        findChild(
            group, {},
            [](const QTreeWidgetItem *n) {
                return IncExpSql::accountOfKey(KeyedTree::key(n)).trimmed();
            },
            &accounts);
        return notFoundAmong(
            notFound, QStringLiteral("Konto %1 nije u grupi \"%2\".").arg(account, key), accounts);
    }
    click(accountNode);
    const QString partner = codes.value(2);
    if (partner.isEmpty())
        return true;
    QStringList partners;
    if (QTreeWidgetItem *node = partnerNode(accountNode, partner, &partners)) {
        click(node);
        return true;
    }
    return notFoundAmong(
        notFound,
        QStringLiteral("Komitent %1 nije na kontu %2 grupe \"%3\".").arg(partner, account, key),
        partners);
}
