#include "Csv.h"

#include <QSaveFile>

namespace Csv {

namespace {

QString quoted(const std::optional<QString> &value)
{
    QString text = value.value_or(QString());
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

QByteArray document(const EventSnapshot &events, const QList<Trigger> &triggers)
{
    QStringList lines{QStringLiteral("id,timestamp,app,bundle_id,trigger,note,source")};
    lines.reserve(events.size() + 1);
    for (const VorpEvent &event : events) {
        std::optional<QString> trigger;
        if (event.triggerKey)
            trigger = info(triggers, event.triggerKey).name;
        const QStringList fields{
            event.uuid.toString(QUuid::WithoutBraces).toUpper(),
            event.timestamp.toUTC().toString(Qt::ISODate), // no fractional seconds, suffix Z
            quoted(event.appName),
            quoted(event.bundleIdentifier),
            quoted(trigger),
            quoted(event.note),
            event.sourceRaw,
        };
        lines << fields.join(QLatin1Char(','));
    }
    return lines.join(QLatin1Char('\n')).toUtf8();
}

QString suggestedFileName(const QDateTime &now)
{
    return QStringLiteral("grumblix-%1.csv").arg(now.date().toString(Qt::ISODate));
}

bool write(const QString &path, const EventSnapshot &events, const QList<Trigger> &triggers,
           QString *error)
{
    QSaveFile file(path);
    const auto fail = [&] {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    const QByteArray bytes = document(events, triggers);
    if (file.write(bytes) != bytes.size())
        return fail();
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace Csv
