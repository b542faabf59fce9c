#pragma once

// Opens chart windows the way the host does, with scripted boxes and settings kept in memory.
#include "chartwin/chartwindow.h"
#include "entry/cfingrafpromet.h"
#include "platform/services.h"
#include "testsupport.h"

#include <QApplication>

struct WindowFixture
{
    std::shared_ptr<ScriptedDialogs> dialogs = std::make_shared<ScriptedDialogs>();
    std::shared_ptr<MemorySettingsStore> settings = std::make_shared<MemorySettingsStore>();
    std::shared_ptr<ScriptedSpreadsheets> spreadsheets = std::make_shared<ScriptedSpreadsheets>();
    QTemporaryDir printDir;
    std::shared_ptr<PdfPrinters> printers =
        std::make_shared<PdfPrinters>(printDir.filePath(QStringLiteral("print.pdf")));

    Services services() const { return Services{dialogs, settings, spreadsheets, printers}; }

    ChartWindow *open(bool cumulative = false, const QString &table = QStringLiteral("PROMET"),
                      const QString &conn = TestSupport::sqliteConn(TestSupport::demoBook()))
    {
        cFinGrafPromet host(services());
        QString nivo, op = QStringLiteral("test");
        if (cumulative)
            host.PrikažiGrafPrometKumulativ(conn, nivo, 1, 2026, 0, QStringLiteral("FIN"), table,
                                            op);
        else
            host.PrikažiGrafPromet(conn, nivo, 1, 2026, 0, QStringLiteral("FIN"), table, op);
        return host.lastWindow();
    }

    /// Any window by its entry method's number, for a firm and bookkeeping year.
    ChartWindow *openMethod(int method, const QString &conn, qint16 firm = 1, qint16 year = 2026,
                            const QString &table = QStringLiteral("PROMET"), qint16 plan = 1)
    {
        cFinGrafPromet host(services());
        QString nivo, op = QStringLiteral("test");
        host.PrikažiProzor(method, conn, nivo, firm, year, 0, QStringLiteral("FIN"), table, op,
                           plan);
        return host.lastWindow();
    }
};
