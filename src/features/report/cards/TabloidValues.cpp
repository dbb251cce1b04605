#include "features/report/cards/TabloidValues.h"

#include <QStringList>

namespace TabloidValues {

namespace {

QString weekday(const DayBucket &day, const QLocale &locale)
{
    return locale.dayName(day.date.date().dayOfWeek(), QLocale::LongFormat);
}

} // namespace

QString story(const WeeklyReport &report, const QLocale &locale)
{
    if (report.total < 1)
        return QStringLiteral(
            "Sources report a completely uneventful week. No builds failed, no calls were quick. "
            "Authorities remain suspicious.");
    QStringList sentences;
    if (report.worstDay)
        sentences << QStringLiteral(
                         "The worst of it hit on %1, with %2 separate incidents logged by a visibly "
                         "tired witness.")
                         .arg(weekday(*report.worstDay, locale), QString::number(report.worstDay->count));
    if (report.topTrigger)
        sentences << QStringLiteral("%1s were named in %2 of them.")
                         .arg(report.topTrigger->name, QString::number(report.topTrigger->count));
    if (report.topApp)
        sentences << QStringLiteral(
                         "%1 was at the scene %2 times and has not responded to requests for comment.")
                         .arg(report.topApp->name, QString::number(report.topApp->count));
    const int worst = report.worstDay ? report.worstDay->count : 0;
    if (report.calmestDay && report.calmestDay->count < worst)
        sentences << QStringLiteral("%1 was, by comparison, almost pleasant.")
                         .arg(weekday(*report.calmestDay, locale));
    return sentences.join(QLatin1Char(' '));
}

qreal barHeight(int count, int maxCount)
{
    return qMax(80.0 * count / qMax(maxCount, 1), 2.0);
}

int maxCount(const QList<DayBucket> &days)
{
    int most = 1;
    for (const DayBucket &day : days)
        most = qMax(most, day.count);
    return most;
}

std::optional<QString> peakChip(const WeeklyReport &report)
{
    if (!report.peakTime)
        return std::nullopt;
    return QStringLiteral("PEAK: ") + *report.peakTime;
}

} // namespace TabloidValues
