#pragma once

#include "chartwin/chartwindow.h"
#include "chartwin/windowcommand.h"
#include "turnover/turnoverstatements.h"

/// Monthly turnover of synthetic accounts, analytic accounts and partners, one series per year.
class frmFinGrafPromet : public ChartWindow
{
    Q_OBJECT
public:
    frmFinGrafPromet(const Services &services, std::shared_ptr<HostContext> host,
                     QWidget *parent = nullptr);

    void NapuniTrocifrenaKonta();
    void NapuniAnalitickaKonta(QTreeWidgetItem *sint);
    void NapuniKomitente(QTreeWidgetItem *anal);
    /// Draws the partner chart of the last clicked node.
    void PrikaziPrometKomitenta();
    void tv_NodeClick(QTreeWidgetItem *node) { nodeClick(node); }

    /// The account (synthetic, or analytic under its synthetic) and the partner on it.
    bool clickPath(const QStringList &codes, QString *notFound = nullptr) override;

    /// Each year's turnover adds up over the years, save with "Oba (D i P)", whose rows are the
    /// debits and the credits of each year: those have no total line.
    MonthlyTotals monthlyTotals() const override;

    /// How this kind differs from the frame, without making a window (the launcher's help).
    static WindowDesign windowDesign();
    /// Its part of the launcher's command: the options naming a node, and its own work.
    static WindowCommand launcherCommand();

protected:
    frmFinGrafPromet(const Services &services, std::shared_ptr<HostContext> host,
                     const WindowDesign &design, QWidget *parent);
    void fillTree() override { NapuniTrocifrenaKonta(); }
    void nodeClick(QTreeWidgetItem *node) override;
    /// Draws the account chart for the account in txtkonto.
    void drawChart() override;

    /// The statement of a drawing for the selected amount kind; the cumulative window has its own.
    virtual QString accountStatement(int kind, qint16 firstMonth, qint16 lastMonth) const;
    virtual QString partnerStatement(int kind, qint16 firstMonth, qint16 lastMonth) const;

    QString partnerCode() const;
    /// Table, firm, account, years (and the partner) of a drawing, as the boxes hold them.
    TurnoverSql::Scope scope(bool withPartner) const;

private:
    /// The amount kind of the rows on display: the buttons may have moved since.
    int m_drawnKind = -1;
};

/// The running balance within each year of the same accounts and partners.
class frmFinGrafPrometKumul : public frmFinGrafPromet
{
    Q_OBJECT
public:
    frmFinGrafPrometKumul(const Services &services, std::shared_ptr<HostContext> host,
                          QWidget *parent = nullptr);
    static WindowDesign windowDesign();

    /// Each row is a year's running balance: its year figure is where it stood last, and balances
    /// of different years add up to nothing.
    MonthlyTotals monthlyTotals() const override;

protected:
    QString accountStatement(int kind, qint16 firstMonth, qint16 lastMonth) const override;
    QString partnerStatement(int kind, qint16 firstMonth, qint16 lastMonth) const override;
};
