#include "features/history/IncidentText.h"

#include "models/EventSource.h"

#include <QRegularExpression>
#include <algorithm>

namespace IncidentText {

namespace {

bool isTrimmed(QChar c)
{
    return c.isSpace() || c == u'"' || c == u'\u201C' || c == u'\u201D' || c == u'\'';
}

// Where the note's text lies once surrounding blanks and quote marks are left out; none when
// nothing is left.
std::optional<std::pair<qsizetype, qsizetype>> quotedSpan(const std::optional<QString> &note)
{
    if (!note)
        return std::nullopt;
    qsizetype from = 0, to = note->size();
    while (from < to && isTrimmed(note->at(from)))
        ++from;
    while (to > from && isTrimmed(note->at(to - 1)))
        --to;
    if (from == to)
        return std::nullopt;
    return std::pair{from, to};
}

} // namespace

std::optional<QString> noteLine(const std::optional<QString> &note)
{
    const auto span = quotedSpan(note);
    if (!span)
        return std::nullopt;
    return QStringLiteral("\u201C") + note->sliced(span->first, span->second - span->first) +
           QStringLiteral("\u201D");
}

std::optional<QString> shownNoteLine(const std::optional<QString> &note, qsizetype limit)
{
    const auto span = quotedSpan(note);
    if (!span)
        return std::nullopt;
    const auto [from, to] = *span;
    QString line = QStringLiteral("\u201C");
    if (to - from > limit) {
        qsizetype end = from + limit;
        if (note->at(end).isLowSurrogate())
            --end;
        line += QStringView(*note).sliced(from, end - from);
        line += QChar(0x2026);
    } else {
        line += QStringView(*note).sliced(from, to - from);
        line += QChar(0x201D);
    }
    for (QChar &c : line)
        if (c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    return line;
}

bool hasNoteLine(const std::optional<QString> &note)
{
    return note && !std::all_of(note->begin(), note->end(), isTrimmed);
}

std::optional<QString> storedNote(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text;
}

QString shortTimeFormat(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // The seconds field and the separator before it ("HH:mm:ss" → "HH:mm").
    static const QRegularExpression seconds(QStringLiteral("[^A-Za-z\\s']?s+"));
    format.remove(seconds);
    return format.trimmed();
}

SourceDisplay source(const QString &sourceRaw)
{
    switch (eventSourceFromRaw(sourceRaw).value_or(EventSource::menuBar)) {
    case EventSource::menuBar:
        break;
    case EventSource::shortcut:
        return {QStringLiteral("keyboard"), QStringLiteral("Keyboard shortcut")};
    case EventSource::dashboard:
        return {QStringLiteral("macwindow"), QStringLiteral("Dashboard")};
    case EventSource::url:
        return {QStringLiteral("link"), QStringLiteral("URL / automation")};
    case EventSource::physical:
        return {QStringLiteral("button.programmable"), QStringLiteral("Physical button")};
    case EventSource::demo:
        return {QStringLiteral("wand.and.stars"), QStringLiteral("Demo data")};
    }
    return {QStringLiteral("menubar.rectangle"), QStringLiteral("Tray")};
}

QList<Trigger> offeredTriggers(const QList<Trigger> &triggers, const std::optional<QString> &key)
{
    QList<Trigger> offered;
    for (const Trigger &t : triggers)
        if (!t.isHidden || (key && t.key == *key))
            offered.append(t);
    return offered;
}

std::optional<QString> pickedKey(const QString &picked, const std::optional<QString> &current)
{
    if (current && *current == picked)
        return std::nullopt;
    return picked;
}

} // namespace IncidentText
