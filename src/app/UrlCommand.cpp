#include "UrlCommand.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int hexValue(QChar c)
{
    return c.unicode() < 128 ? hexValue(char(c.unicode())) : -1;
}

bool escapeAt(QStringView text, qsizetype at)
{
    return at + 2 < text.size() && text[at] == QLatin1Char('%') && hexValue(text[at + 1]) >= 0 &&
           hexValue(text[at + 2]) >= 0;
}

// A run of "%XX" escapes as text, or none when its bytes are not UTF-8.
std::optional<QString> decodedRun(QStringView run)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < run.size(); i += 3)
        bytes.append(char(hexValue(run[i + 1]) * 16 + hexValue(run[i + 2])));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return decoded;
}

} // namespace

QString UrlCommand::percentDecoded(QStringView text)
{
    QString result;
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        // A run of well-formed escapes decodes together, since one character may span several.
        qsizetype end = i;
        while (escapeAt(text, end))
            end += 3;
        if (end == i) {
            result.append(text[i++]);
            continue;
        }
        const QStringView run = text.mid(i, end - i);
        // Bytes that are not UTF-8 would become replacement characters: the text stays as written.
        if (const auto decoded = decodedRun(run))
            result.append(*decoded);
        else
            result.append(run);
        i = end;
    }
    return result;
}

std::optional<QString> UrlCommand::queryValue(const QString &query, const QString &name)
{
    if (query.isEmpty())
        return std::nullopt;
    for (const QString &item : query.split(QLatin1Char('&'))) {
        const qsizetype equals = item.indexOf(QLatin1Char('='));
        const QString itemName = percentDecoded(QStringView(item).left(equals));
        if (itemName != name)
            continue;
        if (equals < 0)
            return std::nullopt;
        // "+" stays a plus sign: only percent escapes are decoded.
        return percentDecoded(QStringView(item).mid(equals + 1));
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
        host = percentDecoded(authority);
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
