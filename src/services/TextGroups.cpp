#include "TextGroups.h"

qsizetype TextGroups::indexOf(const QString &text)
{
    // The same buffer and length can only hold the same characters.
    Memo &memo = m_memo[(quintptr(text.constData()) >> 4) % m_memo.size()];
    if (memo.data == text.constData() && memo.size == text.size())
        return memo.index;
    auto it = m_index.constFind(text);
    if (it == m_index.constEnd()) {
        it = m_index.insert(text, m_texts.size());
        m_texts.append(text);
    }
    memo = {text.constData(), text.size(), *it};
    return *it;
}
