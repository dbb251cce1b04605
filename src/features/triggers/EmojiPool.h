#pragma once

#include <QStringList>

class QRandomGenerator;

// The emoji the add card offers.
namespace EmojiPool {

// The picker's grid, row by row, six to a row. Three carry the variation selector U+FE0F.
const QStringList &picker();
inline constexpr int columns = 6;

// The emoji a fresh page starts with.
QString first();

// What the add card offers after each add: the grid's first row.
QStringList refills();
QString randomRefill(QRandomGenerator &random);

// The first user-perceived character (extended grapheme cluster) of `text`, unchanged: a flag, an
// emoji with its skin tone or a joined family is one; a leading blank is one too. Empty for empty.
QString firstGrapheme(const QString &text);

} // namespace EmojiPool
