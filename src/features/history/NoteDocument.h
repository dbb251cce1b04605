#pragma once

#include <QString>
#include <QTextBlock>

class QTextCursor;
class QTextDocument;

// The note field's text document. Qt lays out and re-lays out a paragraph as one piece, and a very
// long one (a pasted megabyte, a word without blanks) costs seconds per keystroke. So a long line
// is held as several blocks joined by soft boundaries that stand for no character, each boundary
// cut after a blank where there is one, else between grapheme clusters, and never inside a code
// point; every block break remembers which separator of the note it stands for ("\n", "\r",
// "\r\n", U+2029 …, or none), kept in its own format so that it stays with the break whatever is
// joined around it, and undo restores it. The note read back is exactly the note given, whatever Qt
// does to separators and no-break spaces.
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

// What a deleting key takes away when nothing is selected, as Qt's text edit has it.
enum class Erase
{
    previousCharacter, // Backspace: the code point before the cursor
    nextCharacter,     // Delete: the rest of the grapheme cluster after it
    previousWord,      // Ctrl+Backspace
    nextWord,          // Ctrl+Delete
    endOfLine,         // Ctrl+K: the rest of the line
};

// Takes away at the cursor what the key takes away from the same note without soft boundaries,
// where a boundary within reach makes Qt's handling of the key inside one block differ from that
// (false, with nothing done, where Qt's own handling already is exactly that, so that a run of keys
// undoes as it does elsewhere). With a selection it takes the selection (`endOfLine` reaches from
// the anchor, as Qt's does). A block left empty beside a boundary is joined to its neighbour.
bool erase(QTextCursor &cursor, Erase what);

} // namespace NoteDocument
