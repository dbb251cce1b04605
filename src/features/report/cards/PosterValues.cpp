#include "features/report/cards/PosterValues.h"

#include <cstdlib>

namespace PosterValues {

namespace {

const QString kNone = QStringLiteral("\u2014");

QString weekday(const DayBucket &day, const QLocale &locale)
{
    return locale.dayName(day.date.date().dayOfWeek(), QLocale::LongFormat);
}

QString countNote(int count)
{
    return QString::number(count) + QStringLiteral(" incidents");
}

} // namespace

std::optional<Chip> changeChip(std::optional<int> changePercent)
{
    if (!changePercent || *changePercent == 0)
        return std::nullopt;
    const int c = *changePercent;
    const QString arrow = c > 0 ? QStringLiteral("\u2191") : QStringLiteral("\u2193");
    return Chip{c > 0,
                arrow + QLatin1Char(' ') + QString::number(std::abs(c)) + QStringLiteral("% from last week")};
}

int maxCount(const QList<DayBucket> &days)
{
    int most = 0;
    for (const DayBucket &day : days)
        most = qMax(most, day.count);
    return qMax(most, 1);
}

qreal barHeight(int count, int maxCount)
{
    return qMax(qreal(count) * 90.0 / qreal(qMax(maxCount, 1)), 4.0);
}

bool isWorst(const WeeklyReport &report, const DayBucket &day)
{
    return report.worstDay && report.worstDay->date == day.date;
}

BarFill barFill(const WeeklyReport &report, const DayBucket &day)
{
    if (isWorst(report, day))
        return BarFill::Worst;
    return day.isFuture ? BarFill::Future : BarFill::Idle;
}

QString countLabel(int count)
{
    return count < 1 ? QString() : QString::number(count);
}

QList<Tile> tiles(const WeeklyReport &report, const QLocale &locale)
{
    QList<Tile> result;
    if (report.worstDay)
        result.append({QStringLiteral("Worst day"), weekday(*report.worstDay, locale),
                       countNote(report.worstDay->count)});
    else
        result.append({QStringLiteral("Worst day"), kNone, std::nullopt});

    if (report.calmestDay) {
        const int count = report.calmestDay->count;
        result.append({QStringLiteral("Calmest day"), weekday(*report.calmestDay, locale),
                       count == 0 ? QStringLiteral("Zero. Frame it.")
                                  : QStringLiteral("Only ") + QString::number(count)});
    } else {
        result.append({QStringLiteral("Calmest day"), kNone, std::nullopt});
    }

    result.append({QStringLiteral("Peak grumblix"), report.peakTime.value_or(kNone), std::nullopt});

    if (report.topTrigger)
        result.append(
            {QStringLiteral("Top offender"),
             report.topTrigger->emoji.value_or(QString()) + QLatin1Char(' ') + report.topTrigger->name,
             countNote(report.topTrigger->count)});
    else
        result.append({QStringLiteral("Top offender"), kNone, std::nullopt});

    if (report.topApp)
        result.append(
            {QStringLiteral("Most dangerous app"), report.topApp->name, countNote(report.topApp->count)});
    else
        result.append({QStringLiteral("Most dangerous app"), kNone, std::nullopt});
    return result;
}

QList<qreal> gridLines(qreal extent)
{
    QList<qreal> lines;
    for (int i = 0; i * 20.0 <= extent; ++i)
        lines.append(i * 20.0);
    return lines;
}

} // namespace PosterValues
