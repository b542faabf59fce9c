#include "windowkinds.h"

#include "incexp/frmfingrafprihodrashod.h"
#include "plan/frmfingrafplan.h"
#include "turnover/frmfingrafpromet.h"

namespace {

template <class Window>
ChartWindow *make(const Services &services, std::shared_ptr<HostContext> host, qint16)
{
    return new Window(services, std::move(host));
}

template <class Window>
ChartWindow *makePlan(const Services &services, std::shared_ptr<HostContext> host, qint16 plan)
{
    auto *w = new Window(services, std::move(host));
    w->BrojPlana = plan;
    return w;
}

} // namespace

const std::vector<WindowKind> &windowKinds()
{
    static const std::vector<WindowKind> kinds = {
        {1, "promet", "PrikažiGrafPromet", "promet konta i komitenata po mjesecima", false,
         &make<frmFinGrafPromet>, &frmFinGrafPromet::windowDesign,
         &frmFinGrafPromet::launcherCommand},
        {2, "kumulativ", "PrikažiGrafPrometKumulativ", "kumulativni saldo konta po mjesecima",
         false, &make<frmFinGrafPrometKumul>, &frmFinGrafPrometKumul::windowDesign,
         &frmFinGrafPrometKumul::launcherCommand},
        {3, "prihodi", "PrikažiPrihodeRashode", "prihodi i rashodi grupa konta", false,
         &make<frmFinGrafPrihodRashod>, &frmFinGrafPrihodRashod::windowDesign,
         &frmFinGrafPrihodRashod::launcherCommand},
        {4, "plan", "PrikažiPlanIRealizaciju", "plan i realizacija", true,
         &makePlan<frmFinGrafPlan>, &frmFinGrafPlan::windowDesign,
         &frmFinGrafPlan::launcherCommand},
        {5, "budzet", "PrikažiPlanIRealizacijuBudž", "plan i realizacija budžeta", true,
         &makePlan<frmFinGrafPlanBudž>, &frmFinGrafPlanBudž::windowDesign,
         &frmFinGrafPlanBudž::launcherCommand},
    };
    return kinds;
}

const WindowKind *windowKindByMethod(int method)
{
    for (const WindowKind &k : windowKinds())
        if (k.method == method)
            return &k;
    return nullptr;
}

const WindowKind *windowKindByCommand(const QString &command)
{
    for (const WindowKind &k : windowKinds())
        if (command == QLatin1String(k.command))
            return &k;
    return nullptr;
}
