#include "features/triggers/EmojiPool.h"

#include <QRandomGenerator>
#include <QTextBoundaryFinder>

namespace EmojiPool {

const QStringList &picker()
{
    static const QStringList emojis = {
        QStringLiteral("\U0001F921"),       QStringLiteral("\U0001F4A2"),
        QStringLiteral("\U0001F9E8"),       QStringLiteral("\U0001F643"),
        QStringLiteral("\U0001FAE0"),       QStringLiteral("\U0001F412"),

        QStringLiteral("\U0001F3AB"),       QStringLiteral("\U0001F4DE"),
        QStringLiteral("\U0001F5D3\uFE0F"), QStringLiteral("\U0001F4CA"),
        QStringLiteral("\U0001F9FE"),       QStringLiteral("\U0001F4B8"),

        QStringLiteral("\U0001F6A8"),       QStringLiteral("\U0001F9EF"),
        QStringLiteral("\U0001FAB3"),       QStringLiteral("\U0001F40C"),
        QStringLiteral("\U0001F300"),       QStringLiteral("\U0001F92F"),

        QStringLiteral("\U0001F624"),       QStringLiteral("\U0001F972"),
        QStringLiteral("\U0001F480"),       QStringLiteral("\U0001F644"),
        QStringLiteral("\U0001FAE1"),       QStringLiteral("\U0001F9E0"),

        QStringLiteral("\U0001F50C"),       QStringLiteral("\U0001F4E6"),
        QStringLiteral("\U0001F9EA"),       QStringLiteral("\U0001F510"),
        QStringLiteral("\u2615\uFE0F"),     QStringLiteral("\U0001F355"),

        QStringLiteral("\U0001F6BD"),       QStringLiteral("\U0001F3A4"),
        QStringLiteral("\U0001F4E3"),       QStringLiteral("\U0001F5A8\uFE0F"),
        QStringLiteral("\U0001F422"),       QStringLiteral("\U0001F996"),
    };
    return emojis;
}

QString first()
{
    return picker().first();
}

QStringList refills()
{
    return picker().mid(0, columns);
}

QString randomRefill(QRandomGenerator &random)
{
    const QStringList pool = refills();
    return pool.at(int(random.bounded(qint32(pool.size()))));
}

QString firstGrapheme(const QString &text)
{
    if (text.isEmpty())
        return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    const qsizetype end = finder.toNextBoundary();
    return text.left(end > 0 ? end : text.size());
}

} // namespace EmojiPool
