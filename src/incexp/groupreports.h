#pragma once

#include "output/report.h"

/// The group's accounts and partners month by month, each with its share in per cent: a partner
/// of its account's amount in the month, an account of the group's amount in the month and year.
class CRFinPoMjesGrupa : public Report
{
public:
    CRFinPoMjesGrupa();
    ReportTable table(const Recordset &rows) const override;
};

/// The same amounts with one share column, on the totals over the months.
class CRFinPoMjesGrupaZb : public Report
{
public:
    CRFinPoMjesGrupaZb();
    ReportTable table(const Recordset &rows) const override;
};
