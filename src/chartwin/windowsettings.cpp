#include "windowsettings.h"

#include "platform/clock/clock.h"
#include "platform/settings/settingsstore.h"
#include "platform/text/vbtext.h"

#include <cmath>

namespace {

const QString kSection = QStringLiteral("Settings");

QString boolText(bool b)
{
    return b ? QStringLiteral("True") : QStringLiteral("False");
}

// A month box's text as stored: kept as typed when it reads as a month, else the default.
QString month(const QString &stored, const QString &def)
{
    const double m = std::nearbyint(VbText::val(stored)); // halves to the even month, as read
    return m >= 0 && m <= 12 ? stored : def;
}

} // namespace

WindowSettings WindowSettings::defaults(const WindowDesign &design)
{
    WindowSettings s;
    s.početniMjesec = design.firstMonthDefault;
    s.konačnaGodina = QString::number(Clock::today().year());
    return s;
}

WindowSettings WindowSettings::read(const SettingsStore &store, const QString &app,
                                    const WindowDesign &design, int typeCount, int scaleCount,
                                    const QRectF &screens)
{
    WindowSettings s = defaults(design);
    const WindowSettings def = s;
    auto get = [&](const char *key, const QString &defaultValue) {
        return store.get(app, kSection, QString::fromUtf8(key), defaultValue);
    };
    auto single = [&](const char *key, float defaultValue, float *out) {
        float v = defaultValue;
        if (VbText::toSingle(get(key, QString::number(defaultValue)), &v) && std::isfinite(v))
            *out = v;
    };
    single("MainLeft", def.left, &s.left);
    single("MainTop", def.top, &s.top);
    single("MainWidth", def.width, &s.width);
    single("MainHeight", def.height, &s.height);
    const bool checkScreens = !screens.isEmpty();
    if (s.width <= 0 || (checkScreens && s.width > screens.width()))
        s.width = def.width;
    // a width that fell back is not the user's: the window is widened for its top band as on a
    // first run
    s.widthStored = !get("MainWidth", QString()).isEmpty() && s.width != def.width;
    if (s.height <= 0 || (checkScreens && s.height > screens.height()))
        s.height = def.height;
    // a window must show at least a corner on some screen, or it would open where no one sees it
    if (checkScreens && !screens.intersects(QRectF(s.left, s.top, s.width, s.height))) {
        s.left = def.left;
        s.top = def.top;
    }

    auto flag = [&](const char *key, bool defaultValue, bool *out) {
        bool v = defaultValue;
        if (VbText::toBool(get(key, boolText(defaultValue)), &v))
            *out = v;
    };
    flag("PrikažiNaslov", def.prikažiNaslov, &s.prikažiNaslov);
    flag("PrikažiLegendu", def.prikažiLegendu, &s.prikažiLegendu);
    flag("PostaviStacking", def.postaviStacking, &s.postaviStacking);

    auto index = [&](const char *key, qint16 defaultValue, int count, qint16 *out) {
        qint16 v = defaultValue;
        if (VbText::toInt16Strict(get(key, QString::number(defaultValue)), &v) && v >= -1 &&
            v < count)
            *out = v;
    };
    index("VrstaGrafa", def.vrstaGrafa, typeCount, &s.vrstaGrafa);
    index("Skala", def.skala, scaleCount, &s.skala);

    s.početniMjesec = month(get("PočetniMjesec", def.početniMjesec), def.početniMjesec);
    s.konačniMjesec = month(get("KonačniMjesec", def.konačniMjesec), def.konačniMjesec);
    if (design.keepsYears) {
        s.početnaGodina = get("PočetnaGodina", def.početnaGodina);
        s.konačnaGodina = get("KonačnaGodina", def.konačnaGodina);
    }
    return s;
}

void WindowSettings::write(SettingsStore &store, const QString &app,
                           const WindowDesign &design) const
{
    auto save = [&](const char *key, const QString &value) {
        store.save(app, kSection, QString::fromUtf8(key), value);
    };
    save("MainLeft", QString::number(left));
    save("MainTop", QString::number(top));
    save("MainWidth", QString::number(width));
    save("MainHeight", QString::number(height));
    save("VrstaGrafa", QString::number(vrstaGrafa));
    save("Skala", QString::number(skala));
    save("PrikažiNaslov", boolText(prikažiNaslov));
    save("PrikažiLegendu", boolText(prikažiLegendu));
    save("PostaviStacking", boolText(postaviStacking));
    save("PočetniMjesec", početniMjesec);
    save("KonačniMjesec", konačniMjesec);
    if (design.keepsYears) {
        save("PočetnaGodina", početnaGodina);
        save("KonačnaGodina", konačnaGodina);
    }
}
