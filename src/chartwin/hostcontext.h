#pragma once

#include "platform/data/pristuppodacima.h"
#include "platform/data/recordset.h"

#include <QString>

#include <memory>

/// The values the host hands the component: written by each entry call and shared by every open
/// window, which holds the same instance and so reads the latest call's values.
struct HostContext
{
    QString connectionString;
    qint16 brojPoduzeca = 0;
    qint16 godina = 0;
    QString imeOperatera;
    QString nazivFirme;
    std::unique_ptr<cPristupPodacima> pristup; ///< shared data access, made on first use
    std::unique_ptr<Recordset> firma;          ///< the firm record set, made on first use
};
