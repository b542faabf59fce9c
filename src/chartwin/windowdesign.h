#pragma once

#include <QString>
#include <QVector>

/// What sets one kind of chart window apart from the frame it is built on: its caption, its amount
/// kinds, its year boxes, its defaults, whether its load fills the tree and which settings it
/// keeps. The frame builds, loads, shows and persists itself from this.
struct WindowDesign
{
    /// An option button of the amount frame, placed inside the frame (twips).
    struct Option
    {
        QString caption;
        QString toolTip;
        int left = 0;
        int width = 0;
    };

    QString caption;
    /// The option buttons of the amount frame; none: the window has no amount frame.
    QVector<Option> amountKinds;
    int amountFrameWidth = 5415;
    /// From and to year; false: only txtGodina(0), the year itself.
    bool twoYearBoxes = true;
    QString yearCaption = QStringLiteral("Za godinu: Od:");
    QString firstMonthDefault = QStringLiteral("0");
    /// Whether the load fills the tree; otherwise the kind draws its first chart itself.
    bool fillsTreeOnLoad = true;
    QString refillCaption = QStringLiteral("Napuni listu konta");
    /// Whether "PočetnaGodina" and "KonačnaGodina" are kept (thirteen settings, else eleven).
    bool keepsYears = true;
};
