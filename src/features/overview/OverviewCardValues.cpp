#include "features/overview/OverviewCardValues.h"

#include <algorithm>

namespace OverviewCardValues {

int largest(const QList<int> &counts)
{
    int best = 1;
    for (int count : counts)
        best = std::max(best, count);
    return best;
}

QString percentText(int count, int total)
{
    return QString::number(count * 100 / std::max(total, 1)) + QLatin1Char('%');
}

std::optional<int> peakHour(const QList<int> &hours)
{
    std::optional<int> peak;
    int best = 0;
    for (int h = 0; h < hours.size(); ++h) {
        if (hours[h] > best) {
            best = hours[h];
            peak = h;
        }
    }
    return peak;
}

QString peakRange(int hour)
{
    return QString::asprintf("%02d:00 \u2013 %02d:00", hour, (hour + 1) % 24);
}

double hourBarHeight(int count, int scale)
{
    if (count < 1)
        return 3;
    return std::max(8.0, count * hourStripHeight / std::max(scale, 1));
}

HourTone hourTone(int hour, int count, std::optional<int> peak, std::optional<int> hovered)
{
    if (peak == hour)
        return HourTone::peak;
    if (hovered == hour)
        return HourTone::hovered;
    return count < 1 ? HourTone::empty : HourTone::filled;
}

QString hourTooltip(int hour, int count)
{
    return QString::asprintf("%02d:00 \u00b7 %d incident", hour, count) +
           (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace OverviewCardValues
