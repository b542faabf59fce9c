#include "frmfindefkontaprihrash.h"

#include "incexp/incexpstatements.h"
#include "platform/dialogs/busycursor.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QTreeWidget>

frmFinDefKontaPrihRash::frmFinDefKontaPrihRash(const Services &services,
                                               std::shared_ptr<HostContext> host, QWidget *owner)
    : QDialog(owner), m_services(services), m_host(std::move(host))
{
    setWindowTitle(QStringLiteral("Definiranje konta prihoda/rashoda..."));
    QFont f = font();
    f.setPointSizeF(8);
    setFont(f);
    build();
}

void frmFinDefKontaPrihRash::build()
{
    Label1 = new QLabel(QStringLiteral("Naziv grupe:"), this);
    m_layout.place(Label1, 120, 150, 1095, 255);
    txtOperater = new QLineEdit(this);
    m_layout.place(txtOperater, 1260, 120, 4650, 285);
    optPrihodi = new QRadioButton(QStringLiteral("Prihodi (Potražuje)"), this);
    m_layout.place(optPrihodi, 120, 480, 1800, 255);
    optRashodi = new QRadioButton(QStringLiteral("Rashodi (Duguje)"), this);
    m_layout.place(optRashodi, 1980, 480, 1680, 255);
    optSaldo = new QRadioButton(QStringLiteral("Prihodi-Rashodi (Saldo)"), this);
    m_layout.place(optSaldo, 3720, 480, 2190, 255);

    ListView = new QTreeWidget(this);
    ListView->setColumnCount(2);
    ListView->setHeaderLabels({QStringLiteral("Konto"), QStringLiteral("Naziv konta")});
    ListView->setRootIsDecorated(false);
    ListView->setUniformRowHeights(true);
    ListView->header()->setSectionsClickable(true);
    m_layout.place(ListView, 120, 840, 5790, 3720);
    connect(ListView->header(), &QHeaderView::sectionClicked, this,
            &frmFinDefKontaPrihRash::ListView_ColumnClick);

    cdmObilježi = new QPushButton(QStringLiteral("Označi sve"), this);
    m_layout.place(cdmObilježi, 120, 4680, 1335, 375);
    cdmPoništi = new QPushButton(QStringLiteral("Poništi sve"), this);
    m_layout.place(cdmPoništi, 1560, 4680, 1335, 375);
    cmdObilježiKlasu = new QPushButton(QStringLiteral("Označi klasu/grupu..."), this);
    m_layout.place(cmdObilježiKlasu, 3000, 4680, 2910, 375);
    cmdSpremi = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                QStringLiteral("&Spremi (Pg)"), this);
    cmdSpremi->setToolTip(QStringLiteral("Spremi izmjene"));
    m_layout.place(cmdSpremi, 2640, 5100, 1575, 375);
    cmdPrekid = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                QStringLiteral("Pre&kid"), this);
    cmdPrekid->setToolTip(QStringLiteral("Odustajanje od izmjena"));
    m_layout.place(cmdPrekid, 4335, 5100, 1575, 375);

    m_layout.fit({Label1, optPrihodi, optRashodi, optSaldo, cdmObilježi, cdmPoništi,
                  cmdObilježiKlasu, cmdSpremi, cmdPrekid},
                 {txtOperater});
    setFixedSize(m_layout.pixelsX(6030), m_layout.pixelsY(5520));

    connect(cdmObilježi, &QPushButton::clicked, this, &frmFinDefKontaPrihRash::cdmObilježi_Click);
    connect(cdmPoništi, &QPushButton::clicked, this, &frmFinDefKontaPrihRash::cdmPoništi_Click);
    connect(cmdObilježiKlasu, &QPushButton::clicked, this,
            &frmFinDefKontaPrihRash::cmdObilježiKlasu_Click);
    connect(cmdSpremi, &QPushButton::clicked, this, &frmFinDefKontaPrihRash::cmdSpremi_Click);
    connect(cmdPrekid, &QPushButton::clicked, this, &QDialog::reject);

    // the window sees Page Up and Page Down before its controls do
    const QList<QWidget *> children = findChildren<QWidget *>();
    for (QWidget *w : children)
        w->installEventFilter(this);
}

bool frmFinDefKontaPrihRash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            cmdSpremi_Click();
            return true; // swallowed
        }
    }
    return QDialog::eventFilter(watched, event);
}

cPristupPodacima &frmFinDefKontaPrihRash::pristup()
{
    if (!m_host->pristup)
        m_host->pristup = std::make_unique<cPristupPodacima>();
    return *m_host->pristup;
}

QString frmFinDefKontaPrihRash::kindLetter() const
{
    return optPrihodi->isChecked()   ? QStringLiteral("P")
           : optRashodi->isChecked() ? QStringLiteral("R")
                                     : QStringLiteral("S");
}

QString frmFinDefKontaPrihRash::currentKey() const
{
    return txtOperater->text() + kindLetter();
}

bool frmFinDefKontaPrihRash::otvori(const QString &groupKey)
{
    if (groupKey.trimmed().isEmpty()) {
        m_services.dialogs->message(this,
                                    QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!"),
                                    Dialogs::Information);
        return false;
    }
    txtOperater->setText(IncExpSql::groupName(groupKey));
    const QString letter = groupKey.right(1);
    (letter == u"P" ? optPrihodi : letter == u"R" ? optRashodi : optSaldo)->setChecked(true);
    m_storedKey = groupKey;
    OsvjeziZapise();
    return true;
}

void frmFinDefKontaPrihRash::Prikaži(const QString &groupKey, QWidget *owner)
{
    if (!otvori(groupKey)) {
        close();
        return;
    }
    if (owner && parentWidget() != owner)
        setParent(owner, windowFlags());
    setWindowModality(Qt::WindowModal);
    exec();
}

void frmFinDefKontaPrihRash::OsvjeziZapise()
{
    BusyCursor busy;
    const HostContext &host = *m_host;
    Dialogs &dialogs = *m_services.dialogs;
    auto failed = [&](const QString &what) {
        busy.restore();
        dialogs.message(this, what + QStringLiteral("\r\n") + pristup().OpisGreske(),
                        Dialogs::Exclamation, Dialogs::Ok,
                        QStringLiteral("Greška u pristupu podacima"));
    };
    Recordset accounts, rows;
    if (!pristup().OtvoriRecordset(host.connectionString,
                                   IncExpSql::chartOfAccounts(host.brojPoduzeca, host.godina),
                                   accounts, true, false)) {
        failed(QStringLiteral("Desila se greška u pristupu KONTIMA. Ponovite!"));
        return;
    }
    if (!pristup().OtvoriRecordset(host.connectionString,
                                   IncExpSql::groupRows(currentKey(), host.brojPoduzeca), rows,
                                   true, false)) {
        failed(QStringLiteral("Desila se greška u pristupu podacima o fin.grupama. Ponovite!"));
        return;
    }
    ListView->clear();
    if (accounts.Bof() && accounts.Eof()) {
        busy.restore();
        dialogs.message(this, QStringLiteral("Ne postoji upisan kontni plan !"));
        return;
    }
    // The group's accounts of the year, found once: an account is ticked when the group has a
    // row of the year whose KONTO is its code, compared without regard to case.
    QSet<QString> ticked;
    if (!(rows.Bof() && rows.Eof()) &&
        rows.setFilter(QStringLiteral("GODINA=") + QString::number(host.godina))) {
        for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
            const QVariant konto = rows.value(QStringLiteral("KONTO"));
            if (!konto.isNull())
                ticked.insert(konto.toString().toCaseFolded());
        }
        rows.setFilter(QString());
    }
    QList<QTreeWidgetItem *> items;
    items.reserve(accounts.RecordCount());
    for (accounts.MoveFirst(); !accounts.Eof(); accounts.MoveNext()) {
        const QString code = accounts.value(0).toString().trimmed();
        auto *item = new QTreeWidgetItem({code, accounts.value(1).toString()});
        item->setCheckState(0, ticked.contains(code.toCaseFolded()) ? Qt::Checked : Qt::Unchecked);
        items << item;
    }
    ListView->addTopLevelItems(items);
    ListView->sortItems(0, Qt::AscendingOrder);
    m_sortOrder = Qt::AscendingOrder;
}

void frmFinDefKontaPrihRash::cdmObilježi_Click()
{
    for (int i = 0; i < ListView->topLevelItemCount(); ++i)
        ListView->topLevelItem(i)->setCheckState(0, Qt::Checked);
}

void frmFinDefKontaPrihRash::cdmPoništi_Click()
{
    for (int i = 0; i < ListView->topLevelItemCount(); ++i)
        ListView->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
}

void frmFinDefKontaPrihRash::cmdObilježiKlasu_Click()
{
    QString answer;
    if (!m_services.dialogs->input(this, QStringLiteral("Upišite klasu/grupu... za označavanje:"),
                                   QStringLiteral("Klasa/grupe/... (početni znakovi)"), QString(),
                                   &answer))
        return;
    const QString prefix = answer.trimmed();
    if (prefix.isEmpty())
        return;
    for (int i = 0; i < ListView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ListView->topLevelItem(i);
        if (item->text(0).startsWith(prefix, Qt::CaseSensitive))
            item->setCheckState(0, Qt::Checked);
    }
}

void frmFinDefKontaPrihRash::ListView_ColumnClick(int column)
{
    m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    ListView->sortItems(column, m_sortOrder);
}

QStringList frmFinDefKontaPrihRash::tickedAccounts() const
{
    QStringList out;
    for (int i = 0; i < ListView->topLevelItemCount(); ++i)
        if (ListView->topLevelItem(i)->checkState(0) == Qt::Checked)
            out << ListView->topLevelItem(i)->text(0);
    return out;
}

bool frmFinDefKontaPrihRash::tickOnly(const QStringList &accounts)
{
    QStringList missing = accounts;
    for (int i = 0; i < ListView->topLevelItemCount(); ++i) {
        QTreeWidgetItem *item = ListView->topLevelItem(i);
        const bool wanted = accounts.contains(item->text(0));
        item->setCheckState(0, wanted ? Qt::Checked : Qt::Unchecked);
        missing.removeAll(item->text(0));
    }
    return missing.isEmpty();
}

bool frmFinDefKontaPrihRash::cmdSpremi_Click()
{
    // One transaction: the group's rows of the year go, the ticked accounts come under the key
    // the window shows. Other years of the group stay as they are.
    const HostContext &host = *m_host;
    cPristupPodacima &db = pristup();
    // Saved under the key of a group that already exists, the rows would join that group's.
    if (currentKey().compare(m_storedKey, Qt::CaseInsensitive) != 0) {
        Recordset existing;
        if (db.OtvoriRecordset(host.connectionString,
                               IncExpSql::groupRows(currentKey(), host.brojPoduzeca), existing,
                               true, false) &&
            !(existing.Bof() && existing.Eof())) {
            m_services.dialogs->message(this,
                                        QStringLiteral("Već postoji grupa: ") + txtOperater->text(),
                                        Dialogs::Exclamation);
            return false;
        }
    }
    QString error;
    bool ok = false;
    {
        BusyCursor busy;
        db.OtvoriVezu(host.connectionString);
        const QString newKey = currentKey();
        Recordset rs;
        ok =
            db.PocniTransakciju() &&
            db.IzvrsiNaredbu(QString(),
                             IncExpSql::deleteGroup(m_storedKey, host.brojPoduzeca, host.godina)) &&
            db.OtvoriRecordsetZaIzmjene(IncExpSql::groupRows(newKey, host.brojPoduzeca), rs, 3, -1);
        if (ok) {
            const QStringList ticked = tickedAccounts();
            for (const QString &account : ticked) {
                ok = rs.AddNew() &&
                     rs.setValue(QStringLiteral("BrojPoduzeca"), int(host.brojPoduzeca)) &&
                     rs.setValue(QStringLiteral("ImeGrupe"), newKey) &&
                     rs.setValue(QStringLiteral("Konto"), account) &&
                     rs.setValue(QStringLiteral("Godina"), int(host.godina)) && rs.Update();
                if (!ok) {
                    error = rs.updateError();
                    break;
                }
            }
        } else {
            error = db.OpisGreske();
        }
        if (ok && !db.PotvrdiTransakciju()) {
            ok = false;
            error = db.OpisGreske();
        }
        if (!ok)
            db.PonistiTransakciju();
        db.ZatvoriVezu();
    }
    if (!ok) {
        m_services.dialogs->message(this, QStringLiteral("Desila se greška: ") +
                                              QStringLiteral(" u spremanju podataka. Ponovite! ") +
                                              error);
        return false;
    }
    accept();
    return true;
}
