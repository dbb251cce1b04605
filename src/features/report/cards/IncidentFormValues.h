#pragma once

#include "services/WeeklyReport.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

// The rules by which the incident form fills in its boxes.
namespace IncidentFormValues {

// "Mild", "Annoying", "Severe", "On fire".
const QStringList &severityNames();
// The ticked box: up to 5 incidents Mild, up to 15 Annoying, up to 30 Severe, more On fire.
int severity(int total);
// Week number, "-", the total padded to four digits: 23-0042.
QString caseNumber(const WeeklyReport &report);

struct Field
{
    QString label;
    QString value;
    bool operator==(const Field &) const = default;
};
// The three rows of two boxes: period and case number; reporter and total; cause and location.
QList<QList<Field>> fieldRows(const WeeklyReport &report);

struct DailyCell
{
    QString weekday; // "MON"
    QString count;   // "—" for a day to come
    bool worst = false;
    bool operator==(const DailyCell &) const = default;
};
QList<DailyCell> dailyLog(const WeeklyReport &report, const QLocale &locale);

// "Peak hour: 14:37", the em dash without a peak time.
QString peakHour(const WeeklyReport &report);

} // namespace IncidentFormValues
