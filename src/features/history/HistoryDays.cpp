#include "features/history/HistoryDays.h"

#include "services/DateSkeleton.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace HistoryDays {

QList<DayGroup> group(EventSpan events, const QList<qsizetype> &filtered, const Calendar &calendar)
{
    QList<DayGroup> groups;
    QList<qint64> dayOf; // local day number of each group
    QHash<qint64, qsizetype> groupOf;
    qint64 currentDay = 0;
    qsizetype current = -1;
    for (const qsizetype index : filtered) {
        const VorpEvent &event = events[size_t(index)];
        const qint64 day = Calendar::localDay(calendar.localMSecs(Calendar::msecs(event.timestamp)));
        // Incidents come in time order, so a day's incidents nearly always follow each other; the
        // table catches a day met again (a clock turned back across midnight).
        if (current < 0 || day != currentDay) {
            const auto it = groupOf.constFind(day);
            if (it != groupOf.constEnd()) {
                current = *it;
            } else {
                current = groups.size();
                groupOf.insert(day, current);
                const QDate date = Calendar::dateOfLocalDay(day);
                groups.append({date, calendar.startOfDay(date), {}});
                dayOf.append(day);
            }
            currentDay = day;
        }
        groups[current].events.append(index);
    }
    QList<qsizetype> order(groups.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return dayOf[a] > dayOf[b]; });
    QList<DayGroup> sorted;
    sorted.reserve(groups.size());
    for (const qsizetype i : order)
        sorted.append(std::move(groups[i]));
    return sorted;
}

QString title(const QDate &day, const QDateTime &now, const Calendar &calendar, const QLocale &locale)
{
    const QDate today = calendar.date(now);
    if (day == today)
        return QStringLiteral("TODAY");
    if (day == today.addDays(-1))
        return QStringLiteral("YESTERDAY");
    return locale.toUpper(formatSkeleton(calendar.startOfDay(day), QStringLiteral("EEEEdMMM"), locale));
}

} // namespace HistoryDays
