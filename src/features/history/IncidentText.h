#pragma once

#include "models/Trigger.h"

#include <QList>
#include <QLocale>
#include <QString>
#include <optional>

// The texts the history list and the incident editor derive from a record.
namespace IncidentText {

// The row's one-line quote of a note: the note without surrounding whitespace, straight or curly
// double quotes and apostrophes, set in curly quotes; none when nothing is left.
std::optional<QString> noteLine(const std::optional<QString> &note);

// The quote line as a row draws it, read from a bounded part of the note (a note may be a megabyte
// and one line shows a few dozen characters): at most `limit` characters of it, then an ellipsis
// where more follows; line breaks read as blanks.
std::optional<QString> shownNoteLine(const std::optional<QString> &note, qsizetype limit = 512);

// Whether noteLine() gives a line, without building it.
bool hasNoteLine(const std::optional<QString> &note);

// What a note field's text stores: the empty text is no note; anything else (blanks too) as typed.
std::optional<QString> storedNote(const QString &text);

// The locale's short time format without seconds (some locales, C among them, show them).
QString shortTimeFormat(const QLocale &locale);

struct SourceDisplay
{
    QString symbol;
    QString label;
    bool operator==(const SourceDisplay &) const = default;
};

// The symbol and label of a stored source; a raw value that names no source shows as the menu bar.
SourceDisplay source(const QString &sourceRaw);

// The triggers the editor's grid offers an incident: the visible ones in order, and a hidden one
// only while the incident is filed under it.
QList<Trigger> offeredTriggers(const QList<Trigger> &triggers, const std::optional<QString> &key);

// What picking `picked` in the grid sets: the picked key, or none when it is the current one.
std::optional<QString> pickedKey(const QString &picked, const std::optional<QString> &current);

} // namespace IncidentText
