#include "features/overview/WeekChartValues.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace WeekChartValues {

Summary summarize(const QList<int> &counts, const QList<bool> &isFuture)
{
    Summary s;
    int active = 0;
    for (int i = 0; i < counts.size(); ++i) {
        s.total += counts[i];
        if (!(i < isFuture.size() && isFuture[i]))
            ++active;
        if (s.worstIndex < 0 || counts[i] > counts[s.worstIndex])
            s.worstIndex = i;
    }
    s.activeDays = std::max(active, 1);
    s.average = double(s.total) / s.activeDays;
    return s;
}

BarTone barTone(bool isFuture, bool isToday, bool isHoveredDay, bool anyHovered)
{
    if (isFuture)
        return BarTone::future;
    if (anyHovered)
        return isHoveredDay ? BarTone::hovered : BarTone::dimmed;
    return isToday ? BarTone::today : BarTone::normal;
}

double countLabelOpacity(bool isHoveredDay, bool anyHovered)
{
    return anyHovered && !isHoveredDay ? 0.3 : 0.8;
}

QString countFact(int count)
{
    return QString::number(count) + QStringLiteral(" Grumblix moment") +
           (count == 1 ? QString() : QStringLiteral("s"));
}

QString dayFacts(int count, const std::optional<QString> &peak, const std::optional<TopTrigger> &top)
{
    QStringList facts{countFact(count)};
    if (peak)
        facts << QStringLiteral("Peak: ") + *peak;
    if (top)
        facts << QStringLiteral("Top trigger: ") + top->emoji + QLatin1Char(' ') + top->name;
    return facts.join(QStringLiteral("  \u00b7  "));
}

QString weekTitle(int offset, const QString &rangeLabel)
{
    if (offset == 0)
        return QStringLiteral("This week");
    if (offset == -1)
        return QStringLiteral("Last week");
    return rangeLabel;
}

int bandAt(double x, double plotWidth, int bands)
{
    if (bands < 1 || plotWidth <= 0 || x < 0 || x >= plotWidth)
        return -1;
    return std::min(bands - 1, int(x / (plotWidth / bands)));
}

QList<int> axisMarks(int largest)
{
    const int top = std::max(largest, 1);
    int step = 1;
    for (int magnitude = 1;; magnitude *= 10) {
        const int candidates[] = {magnitude, 2 * magnitude, 5 * magnitude};
        const auto fits = std::find_if(std::begin(candidates), std::end(candidates),
                                       [top](int c) { return (top + c - 1) / c <= 5; });
        if (fits != std::end(candidates)) {
            step = *fits;
            break;
        }
    }
    QList<int> marks;
    const int steps = (top + step - 1) / step;
    for (int i = 0; i <= steps; ++i)
        marks << i * step;
    return marks;
}

} // namespace WeekChartValues
