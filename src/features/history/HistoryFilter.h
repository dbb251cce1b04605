#pragma once

#include "models/Trigger.h"
#include "models/VorpEvent.h"
#include "ui/GXDropdown.h"

#include <QList>
#include <QString>
#include <span>

// The incidents the history page holds: what the model's query hands out, oldest first. The pure
// functions of the page read them as a span, so they do not care how the page keeps them.
using HistoryEvents = QList<VorpEvent>;
using EventSpan = std::span<const VorpEvent>;

inline EventSpan spanOf(const HistoryEvents &events)
{
    return {events.constData(), size_t(events.size())};
}

// The trigger filter and the text search of the history page.
namespace HistoryFilter {

inline const QString all = QStringLiteral("_all");
inline const QString none = QStringLiteral("_none");

// "All triggers", "Uncategorized", then every trigger (hidden ones too) in the given order, the
// first of them after a divider. Option values are texts.
QList<GXOption> options(const QList<Trigger> &triggers);

// Whether an incident with `triggerKey` passes the filter value: "_all" everything, "_none" no
// key, any other text exactly that key (also a key whose trigger is gone).
bool passesTrigger(const QString &filter, const std::optional<QString> &triggerKey);

// The text a search looks in: application, note and shown trigger name, absent ones left out,
// joined by single spaces.
QString haystack(const VorpEvent &event, const QList<Trigger> &triggers);

// Case-insensitive containment of the text as typed (never trimmed); an empty search passes all.
bool matchesSearch(const QString &haystack, const QString &search);

// Indices into `events` (oldest first) of the incidents that pass both tests, newest first. One
// pass; equal to testing haystack() of every incident, without building it where the search
// cannot reach across two fields or is longer than the fields together. With `within` (indices,
// newest first) only those incidents are tested.
QList<qsizetype> filter(EventSpan events, const QList<Trigger> &triggers, const QString &filter,
                        const QString &search, const QList<qsizetype> *within = nullptr);

// Whether `search` finds only incidents that `previous` found, because it holds `previous` whole
// (the usual keystroke types on at the end): filtering by it then needs to test only those.
bool narrows(const QString &previous, const QString &search);

} // namespace HistoryFilter
