#include "UrlCommand.h"

#include <QUrl>

std::optional<QString> UrlCommand::queryValue(const QString &query, const QString &name)
{
    if (query.isEmpty())
        return std::nullopt;
    for (const QString &item : query.split(QLatin1Char('&'))) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        const QString itemName = QUrl::fromPercentEncoding(item.left(equals).toUtf8());
        if (itemName != name)
            continue;
        if (equals < 0)
            return std::nullopt;
        // "+" stays a plus sign: only percent escapes are decoded.
        return QUrl::fromPercentEncoding(item.mid(equals + 1).toUtf8());
    }
    return std::nullopt;
}

UrlCommand UrlCommand::parse(const QString &url)
{
    UrlCommand command;
    const qsizetype colon = url.indexOf(QLatin1Char(':'));
    if (colon <= 0 || QStringView(url).left(colon) != QLatin1String("grumblix"))
        return command;

    QStringView rest = QStringView(url).mid(colon + 1);
    const qsizetype hash = rest.indexOf(QLatin1Char('#'));
    if (hash >= 0)
        rest = rest.left(hash);
    QStringView query;
    const qsizetype question = rest.indexOf(QLatin1Char('?'));
    if (question >= 0) {
        query = rest.mid(question + 1);
        rest = rest.left(question);
    }
    QString host;
    if (rest.startsWith(QLatin1String("//"))) {
        QStringView authority = rest.mid(2);
        const qsizetype slash = authority.indexOf(QLatin1Char('/'));
        if (slash >= 0)
            authority = authority.left(slash);
        const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
        if (at >= 0)
            authority = authority.mid(at + 1);
        const qsizetype port = authority.lastIndexOf(QLatin1Char(':'));
        if (port >= 0)
            authority = authority.left(port);
        host = QUrl::fromPercentEncoding(authority.toUtf8());
    }

    if (host == QLatin1String("log")) {
        command.kind = Kind::log;
        const QString items = query.toString();
        if (const auto source = queryValue(items, QStringLiteral("source")))
            command.source = eventSourceFromRaw(*source).value_or(EventSource::url);
        command.triggerKey = queryValue(items, QStringLiteral("trigger"));
        command.note = queryValue(items, QStringLiteral("note"));
    } else if (host == QLatin1String("report")) {
        command.kind = Kind::report;
    } else {
        command.kind = Kind::dashboard;
    }
    return command;
}
