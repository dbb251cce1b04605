#pragma once

#include <QDateTime>
#include <QHash>

// One day of a seven-day week chart; `date` (the day's first moment, in the calendar's zone) is
// its identity.
struct DayBucket
{
    QDateTime date;
    int count = 0;
    bool isToday = false;
    bool isFuture = false;

    bool operator==(const DayBucket &) const = default;
};

inline size_t qHash(const DayBucket &bucket, size_t seed = 0)
{
    return qHashMulti(seed, bucket.date.toMSecsSinceEpoch(), bucket.count, bucket.isToday, bucket.isFuture);
}
