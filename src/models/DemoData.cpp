#include "DemoData.h"

#include "Store.h"

#include <QHash>

namespace DemoData {

namespace {

const App kZoom{"Zoom", "us.zoom.xos"};
const App kSlack{"Slack", "com.tinyspeck.slackmacgap"};
const App kCalendar{"Calendar", "com.apple.iCal"};
const App kMail{"Mail", "com.apple.mail"};
const App kOutlook{"Microsoft Outlook", "com.microsoft.Outlook"};
const App kXcode{"Xcode", "com.apple.dt.Xcode"};
const App kVSCode{"Visual Studio Code", "com.microsoft.VSCode"};
const App kTerminal{"Terminal", "com.apple.Terminal"};
const App kMessages{"Messages", "com.apple.MobileSMS"};
const App kChrome{"Google Chrome", "com.google.Chrome"};

const QList<std::pair<QString, QList<App>>> &appsByTrigger()
{
    static const QList<std::pair<QString, QList<App>>> table{
        {QStringLiteral("meeting"), {kZoom, kSlack, kCalendar}},
        {QStringLiteral("email"), {kMail, kOutlook}},
        {QStringLiteral("build"), {kXcode, kVSCode, kTerminal}},
        {QStringLiteral("code"), {kVSCode, kXcode}},
        {QStringLiteral("people"), {kSlack, kMessages}},
        {QStringLiteral("bug"), {kVSCode, kChrome}},
        {QStringLiteral("management"), {kChrome, kSlack}},
        {QStringLiteral("production"), {kTerminal, kChrome}},
    };
    return table;
}

// Every pair of the table above, duplicates kept, for keys without their own list.
const QList<App> &anyApps()
{
    static const QList<App> all = [] {
        QList<App> list;
        for (const auto &[key, apps] : appsByTrigger())
            list += apps;
        return list;
    }();
    return all;
}

template<typename T> const T &pick(const QList<T> &list, QRandomGenerator &random)
{
    return list.at(random.bounded(int(list.size())));
}

// A uniform draw from low...high, both included.
int draw(QRandomGenerator &random, int low, int high)
{
    return low + int(random.bounded(high - low + 1));
}

} // namespace

const QList<int> &hourPool()
{
    static const QList<int> pool{9, 10, 10, 11, 11, 11, 12, 13, 14, 14, 14, 14, 15, 15, 16, 16, 17, 18, 21};
    return pool;
}

const QList<std::optional<QString>> &triggerKeyPool()
{
    static const QList<std::optional<QString>> pool = [] {
        QList<std::optional<QString>> list;
        const auto add = [&](const std::optional<QString> &key, int times) {
            for (int i = 0; i < times; ++i)
                list << key;
        };
        add(QStringLiteral("meeting"), 5);
        add(QStringLiteral("email"), 3);
        add(QStringLiteral("build"), 3);
        add(QStringLiteral("code"), 2);
        add(QStringLiteral("people"), 2);
        add(QStringLiteral("bug"), 2);
        add(QStringLiteral("management"), 1);
        add(QStringLiteral("production"), 1);
        add(QStringLiteral("wtf"), 1);
        add(std::nullopt, 3);
        return list;
    }();
    return pool;
}

const QList<App> &appsFor(const std::optional<QString> &key)
{
    if (key) {
        for (const auto &[name, apps] : appsByTrigger()) {
            if (name == *key)
                return apps;
        }
    }
    return anyApps();
}

const QStringList &notes()
{
    static const QStringList list{
        QStringLiteral("The simulator. Again."),
        QStringLiteral("\"Quick call?\""),
        QStringLiteral("Who approved this ticket"),
        QStringLiteral("Works on my machine"),
        QStringLiteral("Reply-all storm"),
        QStringLiteral("Jira ate my comment"),
        QStringLiteral("Merge conflict in a file nobody touched"),
        QStringLiteral("This meeting could have been an email"),
    };
    return list;
}

int generate(Store &store, const QList<Trigger> &triggers, int weeks, const QDateTime &now,
             const QTimeZone &zone, QRandomGenerator &random)
{
    Q_UNUSED(triggers); // the keys come from the fixed pool
    const QDate today = now.toTimeZone(zone).date();
    int inserted = 0;
    for (int offset = 0; offset < weeks * 7; ++offset) {
        const QDate day = today.addDays(-offset);
        if (!day.isValid())
            continue;
        const int weekday = day.dayOfWeek(); // 1 Monday ... 7 Sunday
        int count = 0;
        if (weekday >= 6) {
            count = draw(random, 0, 2);
        } else {
            count = draw(random, 3, 10);
            if (weekday == 1)
                count += draw(random, 0, 3);
            else if (weekday == 2)
                count += draw(random, 2, 6);
        }
        for (int i = 0; i < count; ++i) {
            const int hour = pick(hourPool(), random);
            const int minute = draw(random, 0, 59);
            const int second = draw(random, 0, 59);
            const QDateTime time(day, QTime(hour, minute, second), zone);
            if (!time.isValid() || time >= now)
                continue;
            const std::optional<QString> key = pick(triggerKeyPool(), random);
            const App &app = pick(appsFor(key), random);
            std::optional<QString> note;
            if (random.bounded(5) == 0)
                note = pick(notes(), random);
            VorpEvent event = VorpEvent::make(time, QString::fromUtf8(app.name),
                                              QString::fromUtf8(app.bundleID), key, note, EventSource::demo);
            store.insert(event);
            ++inserted;
        }
    }
    store.save();
    return inserted;
}

} // namespace DemoData
