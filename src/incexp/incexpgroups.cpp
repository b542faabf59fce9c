// The income and expense window's group commands: a new group, its definition, its deletion, the
// standing groups, and last year's groups carried over.
#include "frmfingrafprihodrashod.h"

#include "incexp/frmfindefkontaprihrash.h"
#include "incexp/incexpstatements.h"
#include "platform/dialogs/busycursor.h"
#include "platform/text/vbtext.h"
#include "platform/widgets/keyedtree.h"

#include <QLineEdit>
#include <QMap>
#include <QRadioButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <cmath>
#include <utility>

namespace {

// "Prihodi: 7500, 7501" per group, under a line that says why they were not copied.
QString leftOutText(Recordset &rows, int year)
{
    QMap<QString, QStringList> byGroup;
    QStringList order;
    for (rows.MoveFirst(); !rows.Eof(); rows.MoveNext()) {
        const QString key = rows.value(0).toString();
        const QVariant account = rows.value(1);
        if (!byGroup.contains(key))
            order << key;
        byGroup[key] << (account.isNull() ? QStringLiteral("(bez konta)")
                                          : account.toString().trimmed());
    }
    if (order.isEmpty())
        return {};
    QString text = QStringLiteral("Nisu prepisana konta koja nemaju šifru za ") +
                   QString::number(year) + QStringLiteral(". godinu:");
    for (const QString &key : order)
        text += QStringLiteral("\r\n") + IncExpSql::groupName(key) + QStringLiteral(": ") +
                byGroup.value(key).join(QStringLiteral(", "));
    return text;
}

} // namespace

void frmFinGrafPrihodRashod::openDefinition(const QString &key)
{
    frmFinDefKontaPrihRash definition(services(), hostContext(), this);
    if (m_definitionScript) {
        if (definition.otvori(key))
            m_definitionScript(definition);
        return;
    }
    definition.Prikaži(key, this);
}

bool frmFinGrafPrihodRashod::spremiDefiniciju(const QString &key, const QString &name,
                                              const QString &kindLetter,
                                              const std::optional<QStringList> &accounts,
                                              const DefinitionScript &beforeSave)
{
    bool saved = false;
    DefinitionScript previous =
        std::exchange(m_definitionScript, [&](frmFinDefKontaPrihRash &definition) {
            if (!name.isNull())
                definition.txtOperater->setText(name);
            if (kindLetter == u"P")
                definition.optPrihodi->setChecked(true);
            else if (kindLetter == u"R")
                definition.optRashodi->setChecked(true);
            else if (!kindLetter.isEmpty())
                definition.optSaldo->setChecked(true);
            if (accounts && !definition.tickOnly(*accounts)) {
                QStringList missing;
                for (const QString &a : *accounts)
                    if (definition.ListView->findItems(a, Qt::MatchExactly, 0).isEmpty())
                        missing << a;
                dialogs().message(this, QStringLiteral("Konto nije u kontnom planu godine: ") +
                                            missing.join(QStringLiteral(", ")));
                return;
            }
            if (beforeSave)
                beforeSave(definition);
            saved = definition.cmdSpremi_Click();
        });
    openDefinition(key);
    m_definitionScript = std::move(previous);
    NapuniGrupe();
    return saved;
}

void frmFinGrafPrihodRashod::mnuPrihodi_Click(int index)
{
    openDefinition(index == 0 ? QStringLiteral("PrihodiP") : QStringLiteral("RashodiR"));
    NapuniGrupe();
}

void frmFinGrafPrihodRashod::mnuRadSaGrupom_Click(int index)
{
    switch (index) {
    case 0:
        newGroup();
        break;
    case 1:
    case 4:
        openDefinition(m_groupKey);
        break;
    case 2:
        deleteGroup();
        break;
    default:
        return;
    }
    NapuniGrupe();
}

void frmFinGrafPrihodRashod::newGroup()
{
    const QString title = QStringLiteral("Nova grupa konta");
    QString answer;
    if (!dialogs().input(this,
                         QStringLiteral("Upišite naziv nove grupe konta (maksimalno 30 znakova, "
                                        "PRIHODI i RASHODI već rezervirano):"),
                         title, QString(), &answer))
        return;
    const QString name = answer.trimmed().left(30);
    if (name.isEmpty())
        return;
    tv->completeChildren();
    for (QTreeWidgetItemIterator it(tv); *it; ++it)
        if ((*it)->text(0) == name) {
            dialogs().message(this, QStringLiteral("Već postoji grupa: ") + name,
                              Dialogs::Exclamation, Dialogs::Ok, title);
            return;
        }
    setLastNode(tv->addNode(nullptr, name, name, name + u'P'));
    openDefinition(name + u'P'); // a new group starts as income; the window may change that
}

void frmFinGrafPrihodRashod::deleteGroup()
{
    if (m_groupKey.trimmed().isEmpty()) {
        dialogs().message(this, QStringLiteral("Niste zadali ime grupe (PRIHODI-RASHODI)!"),
                          Dialogs::Information);
        return;
    }
    if (dialogs().message(this,
                          QStringLiteral("Želite li zaista izbrisati grupu: ") + m_groupKey + u'?',
                          Dialogs::Question, Dialogs::YesNo,
                          QStringLiteral("Brisanje grupe")) != Dialogs::AnswerYes)
        return;
    // only the year's rows: the group lives on in the other years
    if (!pristup().IzvrsiNaredbu(
            host().connectionString,
            IncExpSql::deleteGroup(m_groupKey, host().brojPoduzeca, host().godina)))
        dialogs().message(this, QStringLiteral("Desila se greška: ") + pristup().OpisGreske());
}

void frmFinGrafPrihodRashod::mnuPrepišiProšlu_Click(int index)
{
    const int current = host().godina;
    QString answer;
    if (!dialogs().input(this, QStringLiteral("Unesite godinu iz koje prebacujete podatke:"),
                         QStringLiteral("Godina"), QString::number(current - 1), &answer))
        return;
    const double typed = std::nearbyint(VbText::val(answer));
    if (!(typed >= 2000 && typed <= 2100)) {
        dialogs().message(this, QStringLiteral("Greška. Godina < 2000 ili veća od 2100!"),
                          Dialogs::Exclamation);
        return;
    }
    const int source = int(typed);
    if (dialogs().message(this,
                          QStringLiteral("Želite li prebaciti grupe prihoda i rashoda u tekuću ") +
                              QString::number(current) + QStringLiteral(" godinu, iz godine ") +
                              QString::number(source) + QStringLiteral(" ?") +
                              QStringLiteral("\r\n") +
                              QStringLiteral("Ne smiju postojati isti podaci u tekućoj godini!"),
                          Dialogs::Question, Dialogs::YesNo) != Dialogs::AnswerYes)
        return;
    BusyCursor busy;
    const int firm = host().brojPoduzeca;
    cPristupPodacima &db = pristup();
    // What the copy leaves out for want of a code, read first: the source year does not change.
    Recordset leftOut;
    bool ok = db.OtvoriRecordset(host().connectionString,
                                 IncExpSql::carryOverLeftOut(index, firm, current, source), leftOut,
                                 true, false);
    if (ok) {
        db.OtvoriVezu(host().connectionString);
        ok = db.PocniTransakciju() &&
             db.IzvrsiNaredbu(QString(), IncExpSql::carryOver(index, firm, current, source)) &&
             db.PotvrdiTransakciju();
    }
    const QString error = db.OpisGreske();
    if (!ok)
        db.PonistiTransakciju();
    db.ZatvoriVezu();
    busy.restore();
    if (!ok) {
        dialogs().message(this, QStringLiteral("Desila se greška: ") + error, Dialogs::Exclamation);
        return;
    }
    dialogs().message(this, QStringLiteral("Uspješno prepisani podaci!"), Dialogs::Exclamation);
    if (const QString notCopied = leftOutText(leftOut, current); !notCopied.isEmpty())
        dialogs().message(this, notCopied, Dialogs::Information);
    NapuniGrupe();
}
