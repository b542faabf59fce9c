#include "cfingrafpromet.h"

#include "book/bookstatements.h"
#include "book/sqltext.h"
#include "chartwin/chartwindow.h"
#include "chartwin/hostcontext.h"
#include "entry/windowkinds.h"
#include "platform/services.h"

#include <QPointer>

std::shared_ptr<HostContext> cFinGrafPromet::hostContext()
{
    // one set per loaded component, overwritten by every entry call
    static const std::shared_ptr<HostContext> context = std::make_shared<HostContext>();
    return context;
}

struct cFinGrafPromet::Private
{
    Services services;
    QString error;
    QPointer<ChartWindow> lastWindow;
};

cFinGrafPromet::cFinGrafPromet() : cFinGrafPromet(Services::desktop()) {}

cFinGrafPromet::cFinGrafPromet(const Services &services) : d(new Private{services, {}, {}})
{
    BookStatements::install();
}

cFinGrafPromet::~cFinGrafPromet() = default;

QString cFinGrafPromet::lastError() const
{
    return d->error;
}

ChartWindow *cFinGrafPromet::lastWindow() const
{
    return d->lastWindow;
}

void cFinGrafPromet::writeContext(const QString &conn, qint16 firm, qint16 year,
                                  const QString &kind, const QString &operatorName)
{
    HostContext &host = *hostContext();
    host.connectionString = conn;
    host.godina = year;
    host.brojPoduzeca = firm;
    VrstaPrograma = kind;
    host.imeOperatera = operatorName;
    readFirmName();
}

void cFinGrafPromet::readFirmName()
{
    HostContext &host = *hostContext();
    if (!host.pristup)
        host.pristup = std::make_unique<cPristupPodacima>();
    if (!host.pristup->IzvrsiNaredbu(host.connectionString, QStringLiteral("SET TEXTSIZE 1000000")))
        d->services.dialogs->message(nullptr, QStringLiteral("Nisam postavio veličinu TEXTSIZE"));
    const QString sql = QStringLiteral("SELECT ") + QStringLiteral("*") +
                        QStringLiteral(" FROM dbo.CONFIG WHERE BROJPODUZECA=") +
                        SqlText::number(host.brojPoduzeca);
    if (!host.firma)
        host.firma = std::make_unique<Recordset>();
    if (host.pristup->OtvoriRecordset(host.connectionString, sql, *host.firma, true, false)) {
        if (!(host.firma->Bof() && host.firma->Eof())) {
            host.firma->MoveFirst();
            const QVariant name = host.firma->value(QStringLiteral("NazivFirme"));
            if (!name.isNull() && name.isValid())
                host.nazivFirme = name.toString();
        }
    } else {
        d->services.dialogs->message(
            nullptr,
            QStringLiteral("Desila se greška u pristupu podacima o firmi. Ponovite!") +
                QStringLiteral("\r\n") + host.pristup->OpisGreske(),
            Dialogs::Exclamation, Dialogs::Ok, QStringLiteral("Greška u pristupu podacima"));
    }
}

bool cFinGrafPromet::PrikažiProzor(int method, const QString &cConnString, QString &,
                                   qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                   const QString &cVrstaPrograma, const QString &cImeBazePrometa,
                                   QString &ImeOperatera, qint16 &BrojPlana)
{
    d->error.clear();
    const WindowKind *kind = windowKindByMethod(method);
    if (!kind) {
        d->error = QStringLiteral("Nepoznata metoda: %1").arg(method);
        return false;
    }
    if (!isPlainTableName(cImeBazePrometa)) {
        d->error = QStringLiteral("Neispravno ime tablice prometa: \"%1\". Dopuštena su samo "
                                  "slova, znamenke i _.")
                       .arg(cImeBazePrometa);
        return false;
    }
    writeContext(cConnString, cBrojPoduzeca, cGodina, cVrstaPrograma, ImeOperatera);
    if (!kind->create) {
        d->error = QStringLiteral("%1: ovaj prikaz još nije dostupan u ovoj verziji komponente.")
                       .arg(QString::fromUtf8(kind->entryMethod));
        return false;
    }
    ChartWindow *w = kind->create(d->services, hostContext(), BrojPlana);
    w->ImeBazePrometa = cImeBazePrometa;
    d->lastWindow = w;
    w->Prikaži(cVrstaPrikaza, VrstaPrograma);
    return true;
}

bool cFinGrafPromet::isPlainTableName(const QString &name)
{
    return SqlText::isPlainName(name);
}

bool cFinGrafPromet::PrikažiGrafPromet(const QString &cConnString, QString &cNivoPrograma,
                                       qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                       const QString &cVrstaPrograma,
                                       const QString &cImeBazePrometa, QString &ImeOperatera)
{
    qint16 noPlan = 0;
    return PrikažiProzor(1, cConnString, cNivoPrograma, cBrojPoduzeca, cGodina, cVrstaPrikaza,
                         cVrstaPrograma, cImeBazePrometa, ImeOperatera, noPlan);
}

bool cFinGrafPromet::PrikažiGrafPrometKumulativ(const QString &cConnString, QString &cNivoPrograma,
                                                qint16 cBrojPoduzeca, qint16 cGodina,
                                                int cVrstaPrikaza, const QString &cVrstaPrograma,
                                                const QString &cImeBazePrometa,
                                                QString &ImeOperatera)
{
    qint16 noPlan = 0;
    return PrikažiProzor(2, cConnString, cNivoPrograma, cBrojPoduzeca, cGodina, cVrstaPrikaza,
                         cVrstaPrograma, cImeBazePrometa, ImeOperatera, noPlan);
}

bool cFinGrafPromet::PrikažiPrihodeRashode(const QString &cConnString, QString &cNivoPrograma,
                                           qint16 cBrojPoduzeca, qint16 cGodina, int cVrstaPrikaza,
                                           const QString &cVrstaPrograma,
                                           const QString &cImeBazePrometa, QString &ImeOperatera)
{
    qint16 noPlan = 0;
    return PrikažiProzor(3, cConnString, cNivoPrograma, cBrojPoduzeca, cGodina, cVrstaPrikaza,
                         cVrstaPrograma, cImeBazePrometa, ImeOperatera, noPlan);
}

bool cFinGrafPromet::PrikažiPlanIRealizaciju(const QString &cConnString, QString &cNivoPrograma,
                                             qint16 cBrojPoduzeca, qint16 cGodina,
                                             int cVrstaPrikaza, const QString &cVrstaPrograma,
                                             const QString &cImeBazePrometa, QString &ImeOperatera,
                                             qint16 &BrojPlana)
{
    return PrikažiProzor(4, cConnString, cNivoPrograma, cBrojPoduzeca, cGodina, cVrstaPrikaza,
                         cVrstaPrograma, cImeBazePrometa, ImeOperatera, BrojPlana);
}

bool cFinGrafPromet::PrikažiPlanIRealizacijuBudž(const QString &cConnString, QString &cNivoPrograma,
                                                 qint16 cBrojPoduzeca, qint16 cGodina,
                                                 int cVrstaPrikaza, const QString &cVrstaPrograma,
                                                 const QString &cImeBazePrometa,
                                                 QString &ImeOperatera, qint16 &BrojPlana)
{
    return PrikažiProzor(5, cConnString, cNivoPrograma, cBrojPoduzeca, cGodina, cVrstaPrikaza,
                         cVrstaPrograma, cImeBazePrometa, ImeOperatera, BrojPlana);
}
