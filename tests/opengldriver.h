#pragma once

// For the test programs that draw with OpenGL (under xvfb-run, Mesa's software renderer).
#include <QByteArray>
#include <QList>

#include <dlfcn.h>
#include <link.h>

namespace TestSupport {

/// Mesa unloads its driver when the last OpenGL context goes, before the leak check at exit: the
/// driver's own leaks would then come from "<unknown module>", which no suppression can tell from
/// ours. Called at the end of a test program, it keeps the driver loaded, so they carry its name.
inline void keepOpenGLDriverLoaded()
{
    QList<QByteArray> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *found) {
            if (QByteArray(info->dlpi_name).contains("/dri/"))
                static_cast<QList<QByteArray> *>(found)->append(info->dlpi_name);
            return 0;
        },
        &drivers);
    for (const QByteArray &path : drivers)
        dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace TestSupport
