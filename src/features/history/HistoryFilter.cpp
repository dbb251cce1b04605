#include "features/history/HistoryFilter.h"

#include <QHash>

namespace HistoryFilter {

QList<GXOption> options(const QList<Trigger> &triggers)
{
    QList<GXOption> list{
        {all, QStringLiteral("All triggers"), QStringLiteral("\u2731"), false},
        {none, QStringLiteral("Uncategorized"), QStringLiteral("\U0001FAE5"), false},
    };
    for (const Trigger &trigger : triggers)
        list.append({trigger.key, trigger.name, trigger.emoji, list.size() == 2});
    return list;
}

bool passesTrigger(const QString &filter, const std::optional<QString> &triggerKey)
{
    if (filter == all)
        return true;
    if (filter == none)
        return !triggerKey.has_value();
    return triggerKey && *triggerKey == filter;
}

QString haystack(const VorpEvent &event, const QList<Trigger> &triggers)
{
    QStringList parts;
    if (event.appName)
        parts << *event.appName;
    if (event.note)
        parts << *event.note;
    parts << info(triggers, event.triggerKey).name;
    return parts.join(QLatin1Char(' '));
}

bool matchesSearch(const QString &haystack, const QString &search)
{
    return search.isEmpty() || haystack.contains(search, Qt::CaseInsensitive);
}

namespace {

// Answers whether the search text occurs in one field, remembering the answer per distinct text:
// a year of incidents names a handful of applications and triggers many thousand times.
class FieldMatcher
{
public:
    explicit FieldMatcher(const QString &search) : m_search(search) {}

    bool operator()(const QString &field)
    {
        const auto it = m_seen.constFind(field);
        if (it != m_seen.constEnd())
            return *it;
        const bool hit = field.contains(m_search, Qt::CaseInsensitive);
        if (m_seen.size() < 4096)
            m_seen.insert(field, hit);
        return hit;
    }

private:
    const QString &m_search;
    QHash<QString, bool> m_seen;
};

} // namespace

bool narrows(const QString &previous, const QString &search)
{
    if (previous.isEmpty() || search.size() <= previous.size())
        return false;
    return search.startsWith(previous) || search.endsWith(previous) || search.contains(previous);
}

QList<qsizetype> filter(EventSpan events, const QList<Trigger> &triggers, const QString &filterValue,
                        const QString &search, const QList<qsizetype> *within)
{
    QList<qsizetype> passed;
    passed.reserve(within ? within->size() : qsizetype(events.size()));
    const bool anyTrigger = filterValue == all;
    const bool noTrigger = filterValue == none;
    // The fields are joined by a blank, so only a search holding one can match across two of them;
    // any other search matches the haystack exactly when it matches one field.
    const bool whole = search.contains(QLatin1Char(' '));
    FieldMatcher apps(search);
    // Per trigger key (or none), then per application (or none): answers for the whole haystack.
    struct AppHits
    {
        QHash<QString, bool> apps;
        std::optional<bool> noApp;
    };
    QHash<QString, AppHits> pairHits;
    AppHits uncategorizedPairs;
    // Per trigger key (and for no key): whether the name shown for it matches.
    QHash<QString, bool> keyHits;
    std::optional<bool> uncategorizedHit;
    // Per trigger key: the length of the name shown for it, so that a haystack too short to hold
    // the search is never built (no note of a few words holds a pasted megabyte).
    QHash<QString, qsizetype> nameLengths;
    const qsizetype uncategorizedLength = info(triggers, std::nullopt).name.size();
    const auto nameLength = [&](const std::optional<QString> &key) {
        if (!key)
            return uncategorizedLength;
        auto it = nameLengths.constFind(*key);
        if (it == nameLengths.constEnd())
            it = nameLengths.insert(*key, info(triggers, key).name.size());
        return *it;
    };
    const auto triggerHit = [&](const std::optional<QString> &key) {
        if (!key) {
            if (!uncategorizedHit)
                uncategorizedHit = info(triggers, key).name.contains(search, Qt::CaseInsensitive);
            return *uncategorizedHit;
        }
        auto it = keyHits.constFind(*key);
        if (it == keyHits.constEnd())
            it = keyHits.insert(*key, info(triggers, key).name.contains(search, Qt::CaseInsensitive));
        return *it;
    };

    const auto test = [&](qsizetype i) {
        const VorpEvent &event = events[size_t(i)];
        if (!anyTrigger) {
            if (noTrigger ? event.triggerKey.has_value()
                          : !(event.triggerKey && *event.triggerKey == filterValue))
                return;
        }
        if (!search.isEmpty()) {
            bool hit;
            if (!whole) {
                hit = (event.appName && apps(*event.appName)) ||
                      (event.note && event.note->contains(search, Qt::CaseInsensitive)) ||
                      triggerHit(event.triggerKey);
            } else if (!event.note) {
                // Without a note the haystack is made of the application and the trigger alone,
                // and a year of incidents repeats a few dozen such pairs.
                AppHits &byApp = event.triggerKey ? pairHits[*event.triggerKey] : uncategorizedPairs;
                if (!event.appName) {
                    if (!byApp.noApp)
                        byApp.noApp = matchesSearch(haystack(event, triggers), search);
                    hit = *byApp.noApp;
                } else {
                    auto it = byApp.apps.constFind(*event.appName);
                    if (it == byApp.apps.constEnd())
                        it = byApp.apps.insert(*event.appName,
                                               matchesSearch(haystack(event, triggers), search));
                    hit = *it;
                }
            } else {
                const qsizetype reach = (event.appName ? event.appName->size() + 1 : 0) + event.note->size() +
                                        1 + nameLength(event.triggerKey);
                hit = reach >= search.size() && matchesSearch(haystack(event, triggers), search);
            }
            if (!hit)
                return;
        }
        passed.append(i);
    };
    if (within) {
        for (const qsizetype i : *within)
            test(i);
    } else {
        for (qsizetype i = qsizetype(events.size()) - 1; i >= 0; --i)
            test(i);
    }
    return passed;
}

} // namespace HistoryFilter
