#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <array>

// Dense numbers 0, 1, 2 … for distinct texts, in order of first appearance: the grouping step of
// the rankings and of the achievement tally. Incidents loaded from the store share one buffer per
// distinct text, so a small memo keyed by the buffer answers most lookups without hashing any
// characters; the hash table settles the rest.
class TextGroups
{
public:
    // The number of the text, giving it the next one when it is new.
    qsizetype indexOf(const QString &text);
    qsizetype size() const { return m_texts.size(); }
    const QString &text(qsizetype index) const { return m_texts[index]; }

private:
    struct Memo
    {
        const QChar *data = nullptr;
        qsizetype size = -1;
        qsizetype index = -1;
    };
    std::array<Memo, 64> m_memo;
    QHash<QString, qsizetype> m_index;
    QList<QString> m_texts;
};
