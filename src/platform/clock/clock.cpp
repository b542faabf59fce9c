#include "clock.h"

#include <atomic>

namespace {
// Julian day of the fixed day, 0 when none is fixed (a day that far back is no bookkeeping day).
std::atomic<qint64> g_fixedDay{0};
} // namespace

QDate Clock::today()
{
    const qint64 day = g_fixedDay.load(std::memory_order_relaxed);
    return day ? QDate::fromJulianDay(day) : QDate::currentDate();
}

void Clock::fixToday(const QDate &day)
{
    g_fixedDay.store(day.isValid() ? day.toJulianDay() : 0, std::memory_order_relaxed);
}
