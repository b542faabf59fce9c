#include "cfingrafpromet.h"

#include "entry/hostcontext.h"
#include "turnover/frmfingrafpromet.h"

Services Services::desktop()
{
    return Services{std::make_shared<QtDialogs>(), std::make_shared<IniSettingsStore>(),
                    std::make_shared<DesktopSpreadsheets>(), std::make_shared<DesktopPrinters>()};
}

cFinGrafPromet::cFinGrafPromet(Services services) : m_services(std::move(services)) {}

ChartWindow *cFinGrafPromet::lastWindow() const
{
    return m_lastWindow;
}

void cFinGrafPromet::writeContext(const QString &conn, qint16 firm, qint16 year,
                                  const QString &kind, const QString &operatorName)
{
    HostContext &host = HostContext::instance();
    host.connectionString = conn;
    host.godina = year;
    host.brojPoduzeca = firm;
    VrstaPrograma = kind;
    host.imeOperatera = operatorName;
    readFirmName();
}

void cFinGrafPromet::readFirmName()
{
    HostContext &host = HostContext::instance();
    if (!host.pristup)
        host.pristup = std::make_unique<cPristupPodacima>();
    if (!host.pristup->IzvrsiNaredbu(host.connectionString, QStringLiteral("SET TEXTSIZE 1000000")))
        m_services.dialogs->message(nullptr, QStringLiteral("Nisam postavio veličinu TEXTSIZE"));
    const QString sql = QStringLiteral("SELECT ") + QStringLiteral("*") +
                        QStringLiteral(" FROM dbo.CONFIG WHERE BROJPODUZECA=") +
                        QString::number(host.brojPoduzeca);
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
        m_services.dialogs->message(
            nullptr,
            QStringLiteral("Desila se greška u pristupu podacima o firmi. Ponovite!") +
                QStringLiteral("\r\n") + host.pristup->OpisGreske(),
            Dialogs::Exclamation, Dialogs::Ok, QStringLiteral("Greška u pristupu podacima"));
    }
}

bool cFinGrafPromet::PrikažiGrafPromet(const QString &cConnString, QString &, qint16 cBrojPoduzeca,
                                       qint16 cGodina, int cVrstaPrikaza,
                                       const QString &cVrstaPrograma,
                                       const QString &cImeBazePrometa, QString &ImeOperatera)
{
    writeContext(cConnString, cBrojPoduzeca, cGodina, cVrstaPrograma, ImeOperatera);
    return showWindow(new frmFinGrafPromet(m_services), cImeBazePrometa, cVrstaPrikaza);
}

bool cFinGrafPromet::PrikažiGrafPrometKumulativ(const QString &cConnString, QString &,
                                                qint16 cBrojPoduzeca, qint16 cGodina,
                                                int cVrstaPrikaza, const QString &cVrstaPrograma,
                                                const QString &cImeBazePrometa,
                                                QString &ImeOperatera)
{
    writeContext(cConnString, cBrojPoduzeca, cGodina, cVrstaPrograma, ImeOperatera);
    return showWindow(new frmFinGrafPrometKumul(m_services), cImeBazePrometa, cVrstaPrikaza);
}

bool cFinGrafPromet::showWindow(ChartWindow *w, const QString &table, int mode)
{
    w->ImeBazePrometa = table;
    m_lastWindow = w;
    w->Prikaži(mode, VrstaPrograma);
    return true;
}

bool cFinGrafPromet::notYetAvailable(const char *method)
{
    m_error = QStringLiteral("%1: ovaj prikaz još nije dostupan u ovoj verziji komponente.")
                  .arg(QString::fromUtf8(method));
    return false;
}

bool cFinGrafPromet::PrikažiPrihodeRashode(const QString &cConnString, QString &,
                                           qint16 cBrojPoduzeca, qint16 cGodina, int,
                                           const QString &cVrstaPrograma, const QString &,
                                           QString &ImeOperatera)
{
    writeContext(cConnString, cBrojPoduzeca, cGodina, cVrstaPrograma, ImeOperatera);
    return notYetAvailable("PrikažiPrihodeRashode");
}

bool cFinGrafPromet::PrikažiPlanIRealizaciju(const QString &cConnString, QString &,
                                             qint16 cBrojPoduzeca, qint16 cGodina, int,
                                             const QString &cVrstaPrograma, const QString &,
                                             QString &ImeOperatera, qint16 &)
{
    writeContext(cConnString, cBrojPoduzeca, cGodina, cVrstaPrograma, ImeOperatera);
    return notYetAvailable("PrikažiPlanIRealizaciju");
}

bool cFinGrafPromet::PrikažiPlanIRealizacijuBudž(const QString &cConnString, QString &,
                                                 qint16 cBrojPoduzeca, qint16 cGodina, int,
                                                 const QString &cVrstaPrograma, const QString &,
                                                 QString &ImeOperatera, qint16 &)
{
    writeContext(cConnString, cBrojPoduzeca, cGodina, cVrstaPrograma, ImeOperatera);
    return notYetAvailable("PrikažiPlanIRealizacijuBudž");
}
