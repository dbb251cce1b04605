#include "Csv.h"

#include "FileWriter.h"

#include <QHash>
#include <cstdlib>

namespace Csv {

namespace {

void appendQuoted(QByteArray &line, QByteArray text)
{
    text.replace('"', "\"\"");
    line += '"';
    line += text;
    line += '"';
}

void appendQuoted(QByteArray &line, const VorpEvent &event, EventField field,
                  const std::optional<QString> &value)
{
    if (const QByteArray *stored = event.unreadableColumn(field))
        appendQuoted(line, *stored);
    else
        appendQuoted(line, value.value_or(QString()).toUtf8());
}

} // namespace

QByteArray timestampField(const QDateTime &timestamp)
{
    const QDateTime utc = timestamp.toUTC();
    const QDate date = utc.date();
    if (date.year() >= 1 && date.year() <= 9999)
        return utc.toString(Qt::ISODate).toLatin1(); // no fractional seconds, suffix Z
    // Outside four digits the same form with the year's own digits; before year 1 the
    // astronomical count (1 BC is year 0000) with a minus sign, as ISO 8601 writes it.
    const int year = date.year() < 0 ? date.year() + 1 : date.year();
    const QTime time = utc.time();
    return (year < 0 ? "-" : "") + QByteArray::number(std::abs(year)).rightJustified(4, '0') +
           QString::asprintf("-%02d-%02dT%02d:%02d:%02dZ", date.month(), date.day(), time.hour(),
                             time.minute(), time.second())
               .toLatin1();
}

namespace {

const QByteArray header("id,timestamp,app,bundle_id,trigger,note,source");

// The trigger column's text per key, looked up in the list once per key instead of per line.
class TriggerNames
{
public:
    explicit TriggerNames(const QList<Trigger> &triggers) : m_triggers(triggers) {}

    QByteArray operator()(const std::optional<QString> &key)
    {
        // An uncategorized incident has an empty trigger field, not "Uncategorized".
        if (!key)
            return {};
        auto known = m_names.constFind(*key);
        if (known == m_names.cend())
            known = m_names.insert(*key, info(m_triggers, key).name.toUtf8());
        return *known;
    }

private:
    const QList<Trigger> &m_triggers;
    QHash<QString, QByteArray> m_names;
};

// One incident's line, after a line feed.
void appendLine(QByteArray &out, const VorpEvent &event, TriggerNames &triggerName)
{
    // A column the store held unreadable goes out as the bytes it held.
    out += '\n';
    if (const QByteArray *stored = event.unreadableColumn(EventField::uuid))
        out += *stored;
    else
        out += event.uuid.toByteArray(QUuid::WithoutBraces).toUpper();
    out += ',';
    if (const QByteArray *stored = event.unreadableColumn(EventField::timestamp))
        out += *stored;
    else
        out += timestampField(event.timestamp);
    out += ',';
    appendQuoted(out, event, EventField::appName, event.appName);
    out += ',';
    appendQuoted(out, event, EventField::bundleIdentifier, event.bundleIdentifier);
    out += ',';
    appendQuoted(out, triggerName(event.triggerKey));
    out += ',';
    appendQuoted(out, event, EventField::note, event.note);
    out += ',';
    if (const QByteArray *stored = event.unreadableColumn(EventField::sourceRaw))
        out += *stored;
    else
        out += event.sourceRaw.toUtf8();
}

} // namespace

QByteArray document(const EventSnapshot &events, const QList<Trigger> &triggers)
{
    QByteArray out = header;
    TriggerNames triggerName(triggers);
    for (const VorpEvent &event : events)
        appendLine(out, event, triggerName);
    return out;
}

QString suggestedFileName(const QDateTime &now)
{
    return QStringLiteral("grumblix-%1.csv").arg(now.date().toString(Qt::ISODate));
}

bool write(const QString &path, const EventSnapshot &events, const QList<Trigger> &triggers, QString *error,
           const WriteControl &control)
{
    // Batches of about this many bytes (two thousand lines or so): few system calls, little
    // memory, and a stop request heard within a millisecond or two.
    constexpr qsizetype batchBytes = 256 * 1024;
    FileWriter file(path);
    const auto fail = [&] {
        if (error)
            *error = file.errorString();
        return false;
    };
    if (!file.open())
        return fail();
    QByteArray batch = header;
    batch.reserve(batchBytes + 4096);
    TriggerNames triggerName(triggers);
    qsizetype written = 0;
    for (const VorpEvent &event : events) {
        appendLine(batch, event, triggerName);
        ++written;
        if (batch.size() < batchBytes)
            continue;
        if (!file.write(batch))
            return fail();
        batch.clear();
        if (control.stop && control.stop->load(std::memory_order_relaxed)) {
            if (error)
                error->clear();
            return false; // the writer's destructor drops the unfinished file
        }
        if (control.progress)
            control.progress(written);
    }
    if (!file.write(batch) || !file.commit())
        return fail();
    if (control.progress)
        control.progress(written);
    return true;
}

} // namespace Csv
