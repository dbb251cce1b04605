#include "features/triggers/TriggerDraft.h"

#include "ui/TextBounds.h"

namespace TriggerDraft {

QString fallbackEmoji()
{
    return QStringLiteral("\U0001F4A2");
}

bool isTrimmed(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedName(const QString &name)
{
    qsizetype start = 0;
    qsizetype end = name.size();
    while (start < end && isTrimmed(name.at(start)))
        ++start;
    while (end > start && isTrimmed(name.at(end - 1)))
        --end;
    return name.mid(start, end - start);
}

QString tooLongText()
{
    return QStringLiteral("Too long: a name has at most 10,000 characters.");
}

bool fitsNameLength(QStringView name)
{
    // A character takes at least one UTF-16 unit.
    return name.size() <= maxNameLength || TextBounds::countGraphemes(name, maxNameLength) <= maxNameLength;
}

std::optional<NewTrigger> make(const QString &name, const QString &emoji)
{
    const QString trimmed = trimmedName(name);
    if (trimmed.isEmpty())
        return std::nullopt;
    return NewTrigger{trimmed, emoji.isEmpty() ? fallbackEmoji() : emoji};
}

} // namespace TriggerDraft
