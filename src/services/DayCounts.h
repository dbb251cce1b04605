#pragma once

#include <QtGlobal>
#include <vector>

// Incidents per local day, from a list of local day numbers in any order. Counting into an array
// over the days' span avoids hashing or sorting every incident; a span far wider than the list
// (a stray timestamp decades away) falls back to sorting.
struct DayCount
{
    qint64 day;
    int count;
};

// Days in ascending order, each with its number of occurrences.
std::vector<DayCount> countDays(const std::vector<qint64> &days);
