#pragma once

#include <QString>
#include <optional>

// What the add card turns its name field and emoji into.
namespace TriggerDraft {

// The emoji a trigger gets when none was chosen.
QString fallbackEmoji();

// True for the characters the name loses at its ends: the Unicode space separators (NBSP and the
// ideographic space included) and the tab. Line breaks and invisible format characters such as
// the zero-width space are part of the name.
bool isTrimmed(QChar c);

QString trimmedName(const QString &name);

// The longest name the add card takes, in characters as a person counts them on screen (an emoji
// with a skin tone, a flag or a joined family is one, as is a letter with its accents). Every page
// shows trigger names (chips, rows, charts, the report), so a longer paste is refused with
// tooLongText() rather than taken or cut.
constexpr qsizetype maxNameLength = 10000;
QString tooLongText();
// Whether `name` has at most maxNameLength characters; a megabyte is read only up to the limit.
bool fitsNameLength(QStringView name);

struct NewTrigger
{
    QString name;
    QString emoji;
    bool operator==(const NewTrigger &) const = default;
};

// The trigger to add, or nothing when the trimmed name is empty. The emoji is taken as it is,
// or the fallback when it is empty.
std::optional<NewTrigger> make(const QString &name, const QString &emoji);

} // namespace TriggerDraft
