#include "capi.h"

#include "entry/cfingrafpromet.h"
#include "entry/windowkinds.h"

#include <QApplication>
#include <QByteArray>

#include <memory>

struct fingraf_handle
{
    cFinGrafPromet object;
    QByteArray vrstaPrograma;
};

namespace {

QByteArray &lastError()
{
    static QByteArray e;
    return e;
}

int fail(int code, const QString &message)
{
    lastError() = message.toUtf8();
    return code;
}

QString str(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

extern "C" {

int fingraf_init(void)
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "fingraf";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    return 0;
}

fingraf_handle *fingraf_create(void)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        fail(1, QStringLiteral("Nema QApplication: najprije pozovite fingraf_init()."));
        return nullptr;
    }
    return new fingraf_handle;
}

void fingraf_destroy(fingraf_handle *h)
{
    delete h;
}

const char *fingraf_last_error(void)
{
    return lastError().constData();
}

const char *fingraf_get_vrsta_programa(fingraf_handle *h)
{
    if (!h)
        return "";
    h->vrstaPrograma = h->object.VrstaPrograma.toUtf8();
    return h->vrstaPrograma.constData();
}

int fingraf_set_vrsta_programa(fingraf_handle *h, const char *value)
{
    if (!h)
        return fail(2, QStringLiteral("Neispravan objekt."));
    h->object.VrstaPrograma = str(value);
    return 0;
}

int fingraf_prikazi(fingraf_handle *h, int method, const char *conn, const char *nivo_programa,
                    short broj_poduzeca, short godina, int vrsta_prikaza,
                    const char *vrsta_programa, const char *ime_baze_prometa,
                    const char *ime_operatera, short broj_plana)
{
    lastError().clear();
    if (!h)
        return fail(2, QStringLiteral("Neispravan objekt."));
    QString nivo = str(nivo_programa);
    QString operater = str(ime_operatera);
    qint16 plan = broj_plana;
    cFinGrafPromet &o = h->object;
    if (!windowKindByMethod(method))
        return fail(3, QStringLiteral("Nepoznata metoda: %1").arg(method));
    const bool ok = o.PrikažiProzor(method, str(conn), nivo, broj_poduzeca, godina, vrsta_prikaza,
                                    str(vrsta_programa), str(ime_baze_prometa), operater, plan);
    return ok ? 0 : fail(4, o.lastError());
}

int fingraf_run(void)
{
    return QCoreApplication::instance() ? QApplication::exec()
                                        : fail(1, QStringLiteral("Nema QApplication."));
}

} // extern "C"
