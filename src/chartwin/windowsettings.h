#pragma once

#include "chartwin/windowdesign.h"

#include <QRectF>
#include <QString>

class SettingsStore;

/// The values a chart window keeps per user between runs, under its caption as application name
/// and the section "Settings". Positions and sizes are in twips.
struct WindowSettings
{
    float left = 0, top = 0, width = 12000, height = 7900;
    qint16 vrstaGrafa = 9;
    qint16 skala = 0;
    bool prikažiNaslov = true;
    bool prikažiLegendu = true;
    bool postaviStacking = false;
    QString početniMjesec, konačniMjesec = QStringLiteral("12");
    QString početnaGodina = QStringLiteral("1998"), konačnaGodina;
    /// Whether the width is the user's own rather than the default (which gives way to a top band
    /// that needs more room).
    bool widthStored = false;

    /// The values of a first run.
    static WindowSettings defaults(const WindowDesign &design);

    /// What the store holds, each value checked: one that cannot be read, a list index outside its
    /// list, a month outside 0..12, or a place or size that cannot be a window on the screens
    /// (screens in twips; an empty rectangle skips that check) falls back to its default.
    static WindowSettings read(const SettingsStore &store, const QString &app,
                               const WindowDesign &design, int typeCount, int scaleCount,
                               const QRectF &screens);

    /// Writes the values in their fixed order; the years only when the design keeps them.
    void write(SettingsStore &store, const QString &app, const WindowDesign &design) const;
};
