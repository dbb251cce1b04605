#include "Csv.h"

#include "FileWriter.h"

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

QByteArray document(const EventSnapshot &events, const QList<Trigger> &triggers)
{
    QByteArray out("id,timestamp,app,bundle_id,trigger,note,source");
    for (const VorpEvent &event : events) {
        // A column the store held unreadable goes out as the bytes it held.
        QByteArray line;
        if (const QByteArray *stored = event.unreadableColumn(EventField::uuid))
            line += *stored;
        else
            line += event.uuid.toByteArray(QUuid::WithoutBraces).toUpper();
        line += ',';
        if (const QByteArray *stored = event.unreadableColumn(EventField::timestamp))
            line += *stored;
        else
            line += timestampField(event.timestamp);
        line += ',';
        appendQuoted(line, event, EventField::appName, event.appName);
        line += ',';
        appendQuoted(line, event, EventField::bundleIdentifier, event.bundleIdentifier);
        line += ',';
        std::optional<QString> trigger;
        if (event.triggerKey)
            trigger = info(triggers, event.triggerKey).name;
        appendQuoted(line, trigger.value_or(QString()).toUtf8());
        line += ',';
        appendQuoted(line, event, EventField::note, event.note);
        line += ',';
        if (const QByteArray *stored = event.unreadableColumn(EventField::sourceRaw))
            line += *stored;
        else
            line += event.sourceRaw.toUtf8();
        out += '\n';
        out += line;
    }
    return out;
}

QString suggestedFileName(const QDateTime &now)
{
    return QStringLiteral("grumblix-%1.csv").arg(now.date().toString(Qt::ISODate));
}

bool write(const QString &path, const EventSnapshot &events, const QList<Trigger> &triggers, QString *error)
{
    return FileWriter::writeAll(path, document(events, triggers), error);
}

} // namespace Csv
