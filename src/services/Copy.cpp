#include "Copy.h"

#include "models/Calendar.h"
#include "services/Analytics.h"

#include <QLocale>
#include <algorithm>
#include <cstdlib>

namespace {

// The full weekday name in the user's locale, of the day the instant falls on in its own zone.
QString weekdayName(const QDateTime &date)
{
    return QLocale().dayName(date.date().dayOfWeek(), QLocale::LongFormat);
}

int weekdayNumber(const QDateTime &date)
{
    return Calendar::weekday(date.date());
}

QString number(qint64 n)
{
    return QString::number(n);
}

} // namespace

namespace Copy {

QString afterPress(int todayCount)
{
    if (todayCount == 1)
        return QStringLiteral("First one of the day.\nPace yourself.");
    if (todayCount >= 2 && todayCount <= 4)
        return QStringLiteral("Logged.\nBack to pretending you're fine.");
    if (todayCount >= 5 && todayCount <= 9)
        return QStringLiteral("Noted.\nThe universe has been informed.");
    if (todayCount >= 10 && todayCount <= 14)
        return QStringLiteral("Double digits.\nImpressive, honestly.");
    if (todayCount >= 15 && todayCount <= 19)
        return QStringLiteral("Maybe go for\na little walk?");
    if (todayCount >= 20 && todayCount <= 29)
        return QStringLiteral("The button is\nstarting to worry.");
    return QStringLiteral("Are you okay?\nBlink twice.");
}

QString dangerLine(int hour)
{
    if (hour >= 0 && hour <= 5)
        return QStringLiteral("Why are you even awake?");
    if (hour >= 6 && hour <= 8)
        return QStringLiteral("Rough mornings. Coffee isn't working.");
    if (hour >= 9 && hour <= 10)
        return QStringLiteral("The day goes wrong early and commits to it.");
    if (hour == 11)
        return QStringLiteral("Pre-lunch hangry hour.");
    if (hour >= 12 && hour <= 15)
        return QStringLiteral("Apparently nothing good happens after lunch.");
    if (hour >= 16 && hour <= 17)
        return QStringLiteral("The 4pm \"quick call\" strikes again.");
    return QStringLiteral("Evenings too? Log off.");
}

QString relative(const std::optional<QDateTime> &last, const QDateTime &now)
{
    if (!last)
        return QStringLiteral("No incidents yet. Suspicious.");
    // Whole minutes, truncated towards zero.
    const qint64 m = (Calendar::msecs(now) - Calendar::msecs(*last)) / 1000 / 60;
    if (m <= 0)
        return QStringLiteral("Last incident: just now");
    if (m <= 59)
        return QStringLiteral("Last incident: ") + number(m) + QStringLiteral("m ago");
    if (m <= 1439)
        return QStringLiteral("Last incident: ") + number(m / 60) + QStringLiteral("h ") + number(m % 60) +
               QStringLiteral("m ago");
    return QStringLiteral("Last incident: ") + number(m / 1440) + QStringLiteral("d ago. Peaceful.");
}

QString dayLine(const DayBucket &day, double weekAverage, bool isWorst)
{
    const QString w = weekdayName(day.date);
    const double c = day.count;
    if (day.isFuture)
        return w + QStringLiteral(" hasn't happened yet. Brace.");
    if (day.count >= 30)
        return w + QStringLiteral(". Are you okay?");
    if (day.count == 0)
        return QStringLiteral("Suspiciously peaceful ") + w + QLatin1Char('.');
    // Comparisons with a NaN average are false, so it falls through to the last line.
    if (isWorst && c >= weekAverage * 1.4)
        return w + QStringLiteral(" was catastrophic.");
    if (c >= weekAverage * 1.25)
        return w + QStringLiteral(" really tested you.");
    if (c <= weekAverage * 0.6)
        return QStringLiteral("Surprisingly calm ") + w + QLatin1Char('.');
    return QStringLiteral("A perfectly normal amount of ") + w + QLatin1Char('.');
}

QString verdict(const WeeklyReport &report)
{
    const std::optional<int> p = report.changePercent();
    if (report.total < 1)
        return QStringLiteral("0 Grumblix moments. Suspicious.");
    const std::optional<DayBucket> &worst = report.worstDay;
    if (worst && worst->count >= 30) {
        const QString w = weekdayName(worst->date);
        return w + QStringLiteral(" happened.\nWe don't talk about ") + w + QLatin1Char('.');
    }
    if (report.previousTotal >= 1 && p && *p <= -20)
        return number(-qint64(*p)) + QStringLiteral("% less bullshit than last week.\nGrowth.");
    if (!worst)
        return QStringLiteral("You survived.\nThat's the whole report.");
    const int weekday = weekdayNumber(worst->date);
    if (weekday == 6)
        return QStringLiteral("Friday. You were\nso close.");
    if (weekday == 2)
        return QStringLiteral("Case of the Mondays\nconfirmed.");
    if (p && *p >= 25)
        return number(*p) + QStringLiteral("% more chaos than last week.\nBold strategy.");
    return weekdayName(worst->date) + QStringLiteral(" was catastrophic,\nbut somehow you survived.");
}

QString headline(const WeeklyReport &report)
{
    const std::optional<DayBucket> &worst = report.worstDay;
    if (report.total < 1 || !worst)
        return QStringLiteral("NOTHING HAPPENED. SUSPICIOUS.");
    if (worst->count >= 30)
        return weekdayName(worst->date).toUpper() + QStringLiteral(" MELTDOWN");
    const int weekday = weekdayNumber(worst->date);
    if (weekday == 6)
        return QStringLiteral("SO CLOSE: FRIDAY COLLAPSES");
    if (weekday == 2)
        return QStringLiteral("MONDAY STRIKES AGAIN");
    const std::optional<int> p = report.changePercent();
    if (p && *p <= -20)
        return QStringLiteral("BULLSHIT DOWN ") + number(-qint64(*p)) + QLatin1Char('%');
    if (p && *p >= 25)
        return QStringLiteral("CHAOS UP ") + number(*p) + QLatin1Char('%');
    return weekdayName(worst->date).toUpper() + QStringLiteral(" CATASTROPHIC");
}

QString subhead(const WeeklyReport &report)
{
    if (report.total < 1)
        return QStringLiteral("Zero incidents reported. Experts baffled. Vacation suspected.");
    QString text = QStringLiteral("Local Linux user gives ") + number(report.total) +
                   (report.total == 1 ? QStringLiteral(" vorp") : QStringLiteral(" vorps")) +
                   QStringLiteral(" in one week");
    if (report.topTrigger)
        text += QStringLiteral("; ") + report.topTrigger->name.toLower() + QStringLiteral("s blamed");
    if (report.topApp)
        text += QStringLiteral(", ") + report.topApp->name + QStringLiteral(" declines to comment");
    return text + QLatin1Char('.');
}

QStringList observations(int total, const QList<CountItem> &triggers, const QList<CountItem> &apps,
                         const QList<int> &hours, const QList<DayBucket> &days, int previousTotal)
{
    if (total < 1)
        return {QStringLiteral("0 Grumblix moments. Suspicious."),
                QStringLiteral("Either you're on vacation, or you're lying.")};
    QStringList lines;
    if (!triggers.isEmpty()) {
        const qint64 share = qint64(triggers.first().count) * 100 / total;
        if (share >= 20)
            lines << triggers.first().name + QStringLiteral("s accounted for ") + number(share) +
                         QStringLiteral("% of this week's suffering.");
    }
    if (!apps.isEmpty() && apps.first().count >= 3)
        lines << apps.first().name + QStringLiteral(" was involved in ") + number(apps.first().count) +
                     QStringLiteral(" of them. Just saying.");
    if (!hours.isEmpty()) {
        const auto peak = std::max_element(hours.begin(), hours.end()); // the lowest of equal maxima
        if (*peak >= 1)
            lines << dangerLine(int(peak - hours.begin()));
    }
    if (const std::optional<int> q = Analytics::percentChange(total, previousTotal)) {
        if (*q <= -10)
            lines << number(-qint64(*q)) + QStringLiteral("% less bullshit than last week.");
        else if (*q >= 10)
            lines << number(*q) + QStringLiteral("% more bullshit than last week.");
    }
    for (const DayBucket &day : days) {
        if (!day.isFuture && !day.isToday && day.count == 0 && Calendar::isWorkday(weekdayNumber(day.date))) {
            lines << QStringLiteral("A perfect ") + weekdayName(day.date) + QStringLiteral(". Frame it.");
            break;
        }
    }
    if (!days.isEmpty() && days.first().count >= 1) {
        const int most =
            std::max_element(days.begin(), days.end(), [](const DayBucket &a, const DayBucket &b) {
                return a.count < b.count;
            })->count;
        if (days.first().count == most)
            lines << QStringLiteral("Case of the Mondays confirmed.");
    }
    return lines;
}

const QStringList &slogans()
{
    static const QStringList list{
        QStringLiteral("Sometimes you just have to press it."),
        QStringLiteral("One click. A little relief."),
        QStringLiteral("Track the chaos."),
        QStringLiteral("Emergency stop for your patience."),
    };
    return list;
}

const QStringList &taglines()
{
    static const QStringList list{
        QStringLiteral("Deep breath.\nYou've got this (probably)."),
        QStringLiteral("Could be worse.\nCould be a Monday."),
        QStringLiteral("It's not you.\nIt's probably them."),
        QStringLiteral("Same shit.\nDifferent day."),
        QStringLiteral("Inhale confidence.\nExhale bullshit."),
        QStringLiteral("This too shall pass.\nLike a kidney stone."),
        QStringLiteral("You are doing great.\nStatistically."),
        QStringLiteral("Somewhere, a build\nis failing for you."),
        QStringLiteral("Keep calm and\nlog it."),
        QStringLiteral("Your therapist\nwould be proud."),
    };
    return list;
}

QString stickyNote(int seed)
{
    static const QStringList notes{
        QStringLiteral("Same shit.\nDifferent day."), QStringLiteral("It's fine.\nEverything's fine."),
        QStringLiteral("Hydrate.\nThen rage."),       QStringLiteral("Not my circus.\nStill my monkeys."),
        QStringLiteral("Log it.\nLet it go."),        QStringLiteral("Could've been\nan email."),
    };
    // |seed| mod 6 without overflowing on the most negative int.
    return notes[qsizetype(std::abs(qint64(seed)) % 6)];
}

} // namespace Copy
