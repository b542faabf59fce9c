#pragma once

#include "chartwin/chartwindow.h"
#include "chartwin/windowcommand.h"
#include "plan/planrows.h"
#include "plan/planstatements.h"

/// A financial plan beside what was booked: the plan tree of one year (income and expense, group,
/// subgroup, analytic item) and, for a clicked node, the plan and the realisation month by month,
/// or the realisation in per cent of the plan.
class frmFinGrafPlan : public ChartWindow
{
    Q_OBJECT
public:
    frmFinGrafPlan(const Services &services, std::shared_ptr<HostContext> host,
                   QWidget *parent = nullptr);
    /// How this kind differs from the frame, without making a window (the launcher's help).
    static WindowDesign windowDesign();
    /// Its part of the launcher's command: the options naming a node, and its own work.
    static WindowCommand launcherCommand();

    /// The plan shown; set before Prikaži, it names the settings with the caption.
    qint16 BrojPlana = 0;

    /// Refills the plan tree for the year in the year box; a plan without any row for the firm and
    /// the year is said to have nothing to show.
    void NapuniStabloPlana();
    /// Draws the last clicked node; nothing while no node has been clicked, nor for the year of a
    /// tree that found the plan without rows (it says so again).

    /// The account condition of the last clicked node, from the accounts its plan rows name;
    /// false when they could not be read (the window has said so).
    bool readAccountCondition(QString *condition);

    /// A side ("P" or "R", the income side when empty), a group, a subgroup and an analytic item,
    /// by their names; the deepest one named is clicked.
    bool clickPath(const QStringList &codes, QString *notFound = nullptr) override;

    /// Plan and realisation summed, the index as the index of their sums, no total line.
    MonthlyTotals monthlyTotals() const override { return PlanRows::totals(chartRecordset()); }

protected:
    frmFinGrafPlan(const Services &services, std::shared_ptr<HostContext> host,
                   const QString &caption, QWidget *parent);
    void fillTree() override { NapuniStabloPlana(); }
    void nodeClick(QTreeWidgetItem *node) override;
    void drawChart() override;
    void beforeShow() override;
    QString captionAddition() const override;

private:
    /// The node as the statements see it: its side and its names below the root.
    static PlanSql::Node planNode(const QTreeWidgetItem *node);
    PlanSql::Scope scope() const;
    /// The side's root and its levels; the number of groups, -1 when they could not be read.
    int fillGroups(const QString &side, class BusyCursor &busy);
    void tellNoPlan();

    /// The year the tree was filled for when the plan has no rows for the firm in it; empty when
    /// it has.
    QString m_noPlanYear;
};

/// The same window for a budget plan: only its caption, and so its settings, differ. (No Q_OBJECT:
/// moc reads class names in ASCII only, and the class adds nothing to the meta-object.)
class frmFinGrafPlanBudž : public frmFinGrafPlan
{
public:
    frmFinGrafPlanBudž(const Services &services, std::shared_ptr<HostContext> host,
                       QWidget *parent = nullptr);
    static WindowDesign windowDesign();
};
