#pragma once

#include <QString>
#include <QTextBlock>

class QTextCursor;
class QTextDocument;

// The note field's text document. Qt lays out and re-lays out a paragraph as one piece, and a very
// long one (a pasted megabyte, a word without blanks) costs seconds per keystroke. So a long line
// is held as several blocks joined by soft boundaries that stand for no character, each boundary
// cut after a blank where there is one, else between grapheme clusters, and never inside a code
// point; every block remembers which separator the note had before it ("\n", "\r", "\r\n", U+2029 …), kept in its block format so that undo restores it. The
// note read back is exactly the note given, whatever Qt does to separators and no-break spaces.
namespace NoteDocument {

// A line longer than this is cut into blocks of about this length.
constexpr qsizetype chunk = 2048;

// Replaces the document's text; the undo history starts afresh.
void setText(QTextDocument &document, const QString &text);
// The note, exactly as given and edited since.
QString text(const QTextDocument &document);
// The note between two document positions (a selection).
QString text(const QTextDocument &document, int from, int to);
// Inserts `text` at the cursor, replacing its selection, as one undo step.
void insert(QTextCursor &cursor, const QString &text);

// Whether nothing of the note stands between this block and the one before it.
bool startsSoft(const QTextBlock &block);

} // namespace NoteDocument
