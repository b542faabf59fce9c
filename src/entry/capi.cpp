#include "capi.h"

#include "entry/cfingrafpromet.h"
#include "entry/windowkinds.h"

#include <QApplication>
#include <QByteArray>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct Object
{
    cFinGrafPromet object;
    QByteArray vrstaPrograma; // what fingraf_get_vrsta_programa() handed out last
};

// The live handles. A handle is a number dressed as a pointer, never an address: the library
// reads nothing through a value a host passes, and a destroyed handle cannot come back as the
// address of a new object.
class Registry
{
public:
    fingraf_handle *add(std::unique_ptr<Object> object)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_next += 16;
        m_objects.emplace(m_next, std::move(object));
        return reinterpret_cast<fingraf_handle *>(m_next);
    }
    Object *find(fingraf_handle *h)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_objects.find(reinterpret_cast<quintptr>(h));
        return it == m_objects.end() ? nullptr : it->second.get();
    }
    std::unique_ptr<Object> take(fingraf_handle *h)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto it = m_objects.find(reinterpret_cast<quintptr>(h));
        if (it == m_objects.end())
            return nullptr;
        std::unique_ptr<Object> object = std::move(it->second);
        m_objects.erase(it);
        return object;
    }

private:
    std::mutex m_mutex;
    std::map<quintptr, std::unique_ptr<Object>> m_objects;
    quintptr m_next = 0x10000; // far from small integers and NULL
};

Registry &registry()
{
    static Registry r;
    return r;
}

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

int badHandle()
{
    return fail(FINGRAF_E_HANDLE,
                QStringLiteral("Neispravan objekt: nije iz fingraf_create() ili je već uništen."));
}

// Each call starts with no error: the message always belongs to the last call.
Object *begin(fingraf_handle *h)
{
    lastError().clear();
    return registry().find(h);
}

QString str(const char *s)
{
    return s ? QString::fromUtf8(s) : QString();
}

} // namespace

extern "C" {

int fingraf_init(void)
{
    lastError().clear();
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "fingraf";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    return FINGRAF_OK;
}

fingraf_handle *fingraf_create(void)
{
    lastError().clear();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        fail(FINGRAF_E_NO_APPLICATION,
             QStringLiteral("Nema QApplication: najprije pozovite fingraf_init()."));
        return nullptr;
    }
    return registry().add(std::make_unique<Object>());
}

int fingraf_destroy(fingraf_handle *h)
{
    lastError().clear();
    return registry().take(h) ? FINGRAF_OK : badHandle();
}

const char *fingraf_last_error(void)
{
    return lastError().constData();
}

const char *fingraf_get_vrsta_programa(fingraf_handle *h)
{
    Object *o = begin(h);
    if (!o) {
        badHandle();
        return "";
    }
    // The string handed out before stays as long as the value is the same.
    const QByteArray now = o->object.VrstaPrograma.toUtf8();
    if (now != o->vrstaPrograma)
        o->vrstaPrograma = now;
    return o->vrstaPrograma.constData();
}

int fingraf_copy_vrsta_programa(fingraf_handle *h, char *buffer, size_t size, size_t *needed)
{
    Object *o = begin(h);
    if (!o)
        return badHandle();
    if (!buffer && size > 0)
        return fail(FINGRAF_E_ARGUMENT, QStringLiteral("Nema međuspremnika (buffer je NULL)."));
    const QByteArray value = o->object.VrstaPrograma.toUtf8();
    const size_t whole = size_t(value.size()) + 1;
    if (needed)
        *needed = whole;
    if (size < whole)
        return fail(FINGRAF_E_BUFFER,
                    QStringLiteral("Međuspremnik je premalen: treba %1 bajtova.").arg(whole));
    std::memcpy(buffer, value.constData(), whole);
    return FINGRAF_OK;
}

int fingraf_set_vrsta_programa(fingraf_handle *h, const char *value)
{
    Object *o = begin(h);
    if (!o)
        return badHandle();
    o->object.VrstaPrograma = str(value);
    return FINGRAF_OK;
}

int fingraf_prikazi(fingraf_handle *h, int method, const char *conn, const char *nivo_programa,
                    short broj_poduzeca, short godina, int vrsta_prikaza,
                    const char *vrsta_programa, const char *ime_baze_prometa,
                    const char *ime_operatera, short broj_plana)
{
    Object *object = begin(h);
    if (!object)
        return badHandle();
    QString nivo = str(nivo_programa);
    QString operater = str(ime_operatera);
    qint16 plan = broj_plana;
    cFinGrafPromet &o = object->object;
    if (!windowKindByMethod(method))
        return fail(FINGRAF_E_METHOD, QStringLiteral("Nepoznata metoda: %1").arg(method));
    const bool ok = o.PrikažiProzor(method, str(conn), nivo, broj_poduzeca, godina, vrsta_prikaza,
                                    str(vrsta_programa), str(ime_baze_prometa), operater, plan);
    return ok ? FINGRAF_OK : fail(FINGRAF_E_FAILED, o.lastError());
}

int fingraf_run(void)
{
    lastError().clear();
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return fail(FINGRAF_E_NO_APPLICATION, QStringLiteral("Nema QApplication."));
    // The loop ends when the last window closes; with none open it would never end.
    const QWidgetList windows = QApplication::topLevelWidgets();
    if (std::none_of(windows.cbegin(), windows.cend(),
                     [](const QWidget *w) { return w->isVisible(); }))
        return FINGRAF_OK;
    return QApplication::exec();
}

} // extern "C"
