#pragma once

#include "services/CountItem.h"
#include "services/DayBucket.h"
#include "services/WeeklyReport.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// The dry one-liners. Pure and deterministic: fixed English texts picked by thresholds; only
// weekday names follow the user's locale (QLocale()).
namespace Copy {

// Two lines for the quip after a press; todayCount includes that press.
QString afterPress(int todayCount);
QString dangerLine(int hour);
// How long ago the newest incident was.
QString relative(const std::optional<QDateTime> &last, const QDateTime &now);
QString dayLine(const DayBucket &day, double weekAverage, bool isWorst);
QString verdict(const WeeklyReport &report);
QString headline(const WeeklyReport &report);
QString subhead(const WeeklyReport &report);
// `days` Monday first; `hours` 24 counts.
QStringList observations(int total, const QList<CountItem> &triggers, const QList<CountItem> &apps,
                         const QList<int> &hours, const QList<DayBucket> &days, int previousTotal);

// Idle lines under the panic button.
const QStringList &slogans();
// Idle two-line headlines of the panel and the overview page.
const QStringList &taglines();
// Entry |seed| mod 6 of the sticky-note texts.
QString stickyNote(int seed);

} // namespace Copy
