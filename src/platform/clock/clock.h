#pragma once

#include <QDate>

/// Today's date as the windows, the launcher and the demo book see it: the system's date, unless
/// a program fixes the day it runs on (the tests do, so that what they expect means the same in
/// any year). The one place that asks the system for the date.
namespace Clock {

QDate today();

/// Fixes today for this process; an invalid date returns to the system's date.
void fixToday(const QDate &day);

} // namespace Clock
