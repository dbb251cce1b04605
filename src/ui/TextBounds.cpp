#include "ui/TextBounds.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace TextBounds {

namespace {

// How far back a step looks for a place where segmenting may start.
constexpr qsizetype kLookBack = 128;

bool isRegionalIndicatorAt(QStringView text, qsizetype i)
{
    if (i < 0 || i + 1 >= text.size() || !text[i].isHighSurrogate() || !text[i + 1].isLowSurrogate())
        return false;
    const char32_t c = QChar::surrogateToUcs4(text[i], text[i + 1]);
    return c >= 0x1F1E6 && c <= 0x1F1FF;
}

// Between two ASCII characters there is always a boundary, CR LF aside: no rule of text
// segmentation joins them.
bool isPlainBreak(QStringView text, qsizetype i)
{
    if (i <= 0 || i >= text.size())
        return true;
    const char16_t before = text[i - 1].unicode(), after = text[i].unicode();
    return before < 0x80 && after < 0x80 && !(before == u'\r' && after == u'\n');
}

struct Start
{
    qsizetype at;
    bool sure; // a boundary of the whole text, not merely a guess
};

// A place at or before `pos` from which segmenting gives the whole text's boundaries near `pos`.
Start startBefore(QStringView text, qsizetype pos, qsizetype lookBack = kLookBack)
{
    const qsizetype limit = std::max<qsizetype>(0, pos - lookBack);
    for (qsizetype i = pos; i > limit; --i)
        if (isPlainBreak(text, i))
            return {i, true};
    qsizetype i = limit;
    if (i == 0)
        return {0, true};
    if (text[i].isLowSurrogate())
        --i;
    // Flags pair up from the start of their run.
    while (isRegionalIndicatorAt(text, i - 2))
        i -= 2;
    return {i, i == 0};
}

} // namespace

bool isGraphemeBoundary(QStringView text, qsizetype pos)
{
    if (pos <= 0 || pos >= text.size() || isPlainBreak(text, pos))
        return true;
    if (text[pos].isLowSurrogate() && text[pos - 1].isHighSurrogate())
        return false;
    const Start start = startBefore(text, pos - 1);
    // The whole character after `pos` decides, a surrogate pair too.
    const qsizetype end = std::min(text.size(), pos + 2);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(start.at, end - start.at));
    finder.setPosition(pos - start.at);
    return finder.isAtBoundary();
}

qsizetype nextGrapheme(QStringView text, qsizetype pos)
{
    const qsizetype n = text.size();
    if (pos >= n)
        return n;
    pos = std::max<qsizetype>(pos, 0);
    const Start start = startBefore(text, pos);
    for (qsizetype reach = 64;; reach *= 4) {
        const qsizetype end = std::min(n, pos + reach);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(start.at, end - start.at));
        finder.setPosition(pos - start.at);
        const qsizetype next = finder.toNextBoundary();
        // The slice's own end (or a character it cuts) is a boundary of the text only at the end.
        if (next >= 0 && (start.at + next < end - 1 || end == n))
            return start.at + next;
        if (end == n)
            return n;
    }
}

qsizetype previousGrapheme(QStringView text, qsizetype pos)
{
    if (pos <= 0)
        return 0;
    pos = std::min(pos, text.size());
    for (qsizetype lookBack = kLookBack;; lookBack *= 4) {
        const Start start = startBefore(text, pos - 1, lookBack);
        const qsizetype end = std::min(text.size(), pos + 1);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(start.at, end - start.at));
        finder.setPosition(pos - start.at);
        const qsizetype previous = finder.toPreviousBoundary();
        // Landing on a guessed start means the character may begin further back.
        if (previous > 0 || start.sure)
            return start.at + std::max<qsizetype>(previous, 0);
    }
}

qsizetype snapToGrapheme(QStringView text, qsizetype pos, bool forward)
{
    pos = std::clamp<qsizetype>(pos, 0, text.size());
    if (isGraphemeBoundary(text, pos))
        return pos;
    return forward ? nextGrapheme(text, pos) : previousGrapheme(text, pos);
}

namespace {

// The characters at which Qt's line edit ends a word besides blanks.
bool isWordSeparator(QChar c)
{
    static constexpr QStringView separators = u".,?!@#$:;-<>[](){}=/+%&^*'\"`~|\\";
    return separators.contains(c);
}

} // namespace

qsizetype nextWord(QStringView text, qsizetype pos)
{
    const qsizetype n = text.size();
    if (pos < 0 || pos >= n)
        return std::clamp<qsizetype>(pos, 0, n);
    if (isWordSeparator(text[pos])) {
        ++pos;
        while (pos < n && isWordSeparator(text[pos]))
            ++pos;
    } else {
        while (pos < n && !text[pos].isSpace() && !isWordSeparator(text[pos]))
            ++pos;
    }
    while (pos < n && text[pos].isSpace())
        ++pos;
    return pos;
}

qsizetype previousWord(QStringView text, qsizetype pos)
{
    if (pos <= 0 || pos > text.size())
        return std::clamp<qsizetype>(pos, 0, text.size());
    while (pos > 0 && text[pos - 1].isSpace())
        --pos;
    if (pos > 0 && isWordSeparator(text[pos - 1])) {
        --pos;
        while (pos > 0 && isWordSeparator(text[pos - 1]))
            --pos;
    } else {
        while (pos > 0 && !text[pos - 1].isSpace() && !isWordSeparator(text[pos - 1]))
            --pos;
    }
    return pos;
}

std::pair<qsizetype, qsizetype> wordAt(QStringView text, qsizetype pos)
{
    pos = std::clamp<qsizetype>(pos, 0, text.size());
    const qsizetype first = previousWord(text, std::min(pos + 1, text.size()));
    qsizetype last = nextWord(text, first);
    while (last > pos && text[last - 1].isSpace())
        --last;
    return {first, std::max(first, last)};
}

qsizetype countGraphemes(QStringView text, qsizetype stopAfter)
{
    const qsizetype n = text.size();
    qsizetype count = 0;
    qsizetype start = 0;
    qsizetype chunk = 4096;
    while (start < n) {
        const qsizetype end = std::min(n, start + chunk);
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.sliced(start, end - start));
        qsizetype last = 0;
        for (qsizetype b = finder.toNextBoundary(); b > 0; b = finder.toNextBoundary()) {
            // A slice starting on a boundary segments like the whole text, except at its own end,
            // where it may cut a character (a surrogate pair too).
            if (end < n && start + b >= end - 1)
                break;
            last = b;
            if (++count > stopAfter)
                return count;
        }
        if (last == 0) {
            // One character longer than the slice: read further.
            chunk *= 2;
            continue;
        }
        start += last;
    }
    return count;
}

} // namespace TextBounds
