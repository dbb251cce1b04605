#include "features/report/cards/IncidentFormValues.h"

#include "features/report/cards/ReportPieces.h"

namespace IncidentFormValues {

const QStringList &severityNames()
{
    static const QStringList names{QStringLiteral("Mild"), QStringLiteral("Annoying"),
                                   QStringLiteral("Severe"), QStringLiteral("On fire")};
    return names;
}

int severity(int total)
{
    if (total <= 5)
        return 0;
    if (total <= 15)
        return 1;
    if (total <= 30)
        return 2;
    return 3;
}

QString caseNumber(const WeeklyReport &report)
{
    return QString::number(ReportPieces::weekNumber(report)) + QLatin1Char('-') +
           QString::asprintf("%04d", report.total);
}

QList<QList<Field>> fieldRows(const WeeklyReport &report)
{
    const QString unknown = QStringLiteral("Unknown");
    const QString cause = report.topTrigger ? report.topTrigger->emoji.value_or(QString()) +
                                                  QLatin1Char(' ') + report.topTrigger->name
                                            : unknown;
    return {
        {{QStringLiteral("Reporting period"), report.rangeText()},
         {QStringLiteral("Case no."), caseNumber(report)}},
        {{QStringLiteral("Reported by"), QStringLiteral("Me, obviously")},
         {QStringLiteral("Total incidents"), QString::number(report.total)}},
        {{QStringLiteral("Primary cause"), cause},
         {QStringLiteral("Location of incident"), report.topApp ? report.topApp->name : unknown}},
    };
}

QList<DailyCell> dailyLog(const WeeklyReport &report, const QLocale &locale)
{
    QList<DailyCell> cells;
    for (const DayBucket &day : report.days)
        cells.append({locale.dayName(day.date.date().dayOfWeek(), QLocale::ShortFormat).toUpper(),
                      day.isFuture ? QStringLiteral("\u2014") : QString::number(day.count),
                      report.worstDay && report.worstDay->date == day.date});
    return cells;
}

QString peakHour(const WeeklyReport &report)
{
    return QStringLiteral("Peak hour: ") + report.peakTime.value_or(QStringLiteral("\u2014"));
}

} // namespace IncidentFormValues
