#pragma once

#include <QStringView>
#include <limits>

// Where a cursor may stand in a text and how far one step takes it, read from the text near the
// position only: a field may hold a megabyte, and a key that moves by one character must not read
// all of it. Positions are UTF-16 indices.
namespace TextBounds {

// Whether `pos` lies between two user-perceived characters (extended grapheme clusters).
bool isGraphemeBoundary(QStringView text, qsizetype pos);

// The boundary of the character after `pos`, or before it; `pos` itself when at the end (start).
qsizetype nextGrapheme(QStringView text, qsizetype pos);
qsizetype previousGrapheme(QStringView text, qsizetype pos);

// The boundary at or before `pos` (at or after with `forward`): where a span of the text may begin
// or end without cutting a character in two.
qsizetype snapToGrapheme(QStringView text, qsizetype pos, bool forward = false);

// A word step as Qt's line edit takes it: blanks and the common punctuation separate words, a
// step forward ends after the blanks that follow the word.
qsizetype nextWord(QStringView text, qsizetype pos);
qsizetype previousWord(QStringView text, qsizetype pos);
// The word around `pos`, as a double click selects it: [first, second).
std::pair<qsizetype, qsizetype> wordAt(QStringView text, qsizetype pos);

// The number of user-perceived characters, counting no further than `stopAfter` + 1, so that a
// limit check on a megabyte reads only as far as the limit. Linear in what it reads.
qsizetype countGraphemes(QStringView text, qsizetype stopAfter = std::numeric_limits<qsizetype>::max() - 1);

} // namespace TextBounds
