#include "features/triggers/TriggerTexts.h"

#include <QTextBoundaryFinder>

namespace TriggerTexts {

namespace {

bool needsIsolation(const QString &text)
{
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirRLE:
        case QChar::DirRLO:
        case QChar::DirLRE:
        case QChar::DirLRO:
        case QChar::DirPDF:
        case QChar::DirRLI:
        case QChar::DirLRI:
        case QChar::DirFSI:
        case QChar::DirPDI:
            return true;
        default:
            break;
        }
    }
    return false;
}

// The first `max` grapheme clusters of `text` and an ellipsis, or `text` when it is no longer.
QString cutToCharacters(const QString &text, int max)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int characters = 0;
    qsizetype boundary = 0;
    while (characters < max) {
        boundary = finder.toNextBoundary();
        if (boundary < 0 || boundary >= text.size())
            return text;
        ++characters;
    }
    return text.left(boundary) + QChar(0x2026);
}

} // namespace

QString kind(bool isBuiltIn)
{
    return isBuiltIn ? QStringLiteral("Built-in") : QStringLiteral("Custom");
}

QString singleLine(const QString &name)
{
    QString line = name;
    for (QChar &c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

QString deleteTitle(const QString &name, int maxCharacters)
{
    QString shown = cutToCharacters(singleLine(name), maxCharacters);
    if (needsIsolation(shown))
        shown = QChar(0x2068) + shown + QChar(0x2069);
    return QStringLiteral("Delete \u201C") + shown + QStringLiteral("\u201D?");
}

QString deleteMessage()
{
    return QStringLiteral("Its incidents become uncategorized. The suffering remains on record.");
}

} // namespace TriggerTexts
