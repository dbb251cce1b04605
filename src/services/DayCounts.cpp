#include "DayCounts.h"

#include <algorithm>

std::vector<DayCount> countDays(const std::vector<qint64> &days)
{
    std::vector<DayCount> result;
    if (days.empty())
        return result;
    const auto [lo, hi] = std::minmax_element(days.begin(), days.end());
    const qint64 first = *lo;
    const quint64 span = quint64(*hi - *lo) + 1;
    if (span <= days.size() * 4 + 4096) {
        std::vector<int> tally(span, 0);
        for (qint64 day : days)
            ++tally[size_t(day - first)];
        for (size_t i = 0; i < tally.size(); ++i) {
            if (tally[i] > 0)
                result.push_back({first + qint64(i), tally[i]});
        }
        return result;
    }
    std::vector<qint64> sorted = days;
    std::sort(sorted.begin(), sorted.end());
    for (qint64 day : sorted) {
        if (!result.empty() && result.back().day == day)
            ++result.back().count;
        else
            result.push_back({day, 1});
    }
    return result;
}
