#include "Copy.h"

namespace Copy {

QString afterPress(int)
{
    return {};
}

QString dangerLine(int)
{
    return {};
}

QString relative(const std::optional<QDateTime> &, const QDateTime &)
{
    return {};
}

QString dayLine(const DayBucket &, double, bool)
{
    return {};
}

QString verdict(const WeeklyReport &)
{
    return {};
}

QString headline(const WeeklyReport &)
{
    return {};
}

QString subhead(const WeeklyReport &)
{
    return {};
}

QStringList observations(int, const QList<CountItem> &, const QList<CountItem> &, const QList<int> &,
                         const QList<DayBucket> &, int)
{
    return {};
}

const QStringList &slogans()
{
    static const QStringList list;
    return list;
}

const QStringList &taglines()
{
    static const QStringList list;
    return list;
}

QString stickyNote(int)
{
    return {};
}

} // namespace Copy
