// Loads the built component with dlopen, as a host in another language would; the rules of the
// handles and strings are held by the C host (capi_host.c), the windows opened on a book here.
#include "testsupport.h"

#include <dlfcn.h>

class TstCApi : public QObject
{
    Q_OBJECT
private slots:
    void hostDrivesTheLibraryThroughDlopen();
};

void TstCApi::hostDrivesTheLibraryThroughDlopen()
{
    void *lib = dlopen(FINGRAF_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(lib, dlerror());
    auto init = reinterpret_cast<int (*)()>(dlsym(lib, "fingraf_init"));
    auto create = reinterpret_cast<void *(*)()>(dlsym(lib, "fingraf_create"));
    auto destroy = reinterpret_cast<int (*)(void *)>(dlsym(lib, "fingraf_destroy"));
    auto lastError = reinterpret_cast<const char *(*)()>(dlsym(lib, "fingraf_last_error"));
    auto vrsta =
        reinterpret_cast<const char *(*)(void *)>(dlsym(lib, "fingraf_get_vrsta_programa"));
    auto prikazi = reinterpret_cast<int (*)(void *, int, const char *, const char *, short, short,
                                            int, const char *, const char *, const char *, short)>(
        dlsym(lib, "fingraf_prikazi"));
    QVERIFY(init && create && destroy && lastError && vrsta && prikazi);
    QCOMPARE(init(), 0);
    void *h = create();
    QVERIFY(h);
    const QByteArray conn = TestSupport::sqliteConn(TestSupport::demoBook()).toUtf8();
    // the plan windows take the plan number as the last argument
    QCOMPARE(prikazi(h, 4, conn.constData(), "1", 1, 2026, 0, "FIN", "PROMET", "op", 1), 0);
    QCOMPARE(QByteArray(lastError()), QByteArray());
    QCOMPARE(prikazi(h, 5, conn.constData(), "1", 1, 2026, 0, "FIN", "PROMETMT", "op", 2), 0);
    QCOMPARE(QByteArray(vrsta(h)), QByteArray("FIN"));
    QCOMPARE(destroy(h), 0);
}

// No application object here: the library makes its own, as it must for a host without Qt.
int main(int argc, char **argv)
{
    TstCApi test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_capi.moc"
