#include "features/history/NoteDocument.h"

#include <QTextBlockFormat>
#include <QTextBoundaryFinder>
#include <QTextCursor>
#include <QTextDocument>

namespace NoteDocument {

namespace {

// The separator a block's text follows, stored in its format (absent: "\n", what a paste of
// several lines and every block Qt makes by itself gets).
constexpr int kBefore = QTextFormat::UserProperty + 0x4e6f;

enum Separator : int
{
    newline = 0,
    soft,
    carriageReturn,
    crlf,
    paragraph,
    frameStart,
    frameEnd,
};

const QChar kFrameStart(0xfdd0), kFrameEnd(0xfdd1);

QString separatorText(int kind)
{
    switch (kind) {
    case soft:
        return {};
    case carriageReturn:
        return QStringLiteral("\r");
    case crlf:
        return QStringLiteral("\r\n");
    case paragraph:
        return QString(QChar::ParagraphSeparator);
    case frameStart:
        return QString(kFrameStart);
    case frameEnd:
        return QString(kFrameEnd);
    default:
        return QStringLiteral("\n");
    }
}

// The characters QTextCursor::insertText turns into a block break; `length` is 2 for "\r\n".
bool separatorAt(QStringView text, qsizetype i, int *kind, qsizetype *length)
{
    *length = 1;
    switch (text[i].unicode()) {
    case u'\n':
        *kind = newline;
        return true;
    case u'\r':
        if (i + 1 < text.size() && text[i + 1] == u'\n') {
            *kind = crlf;
            *length = 2;
        } else {
            *kind = carriageReturn;
        }
        return true;
    case QChar::ParagraphSeparator:
        *kind = paragraph;
        return true;
    case 0xfdd0:
        *kind = frameStart;
        return true;
    case 0xfdd1:
        *kind = frameEnd;
        return true;
    default:
        return false;
    }
}

int kindOf(const QTextBlock &block)
{
    return block.blockFormat().intProperty(kBefore);
}

QTextBlockFormat formatFor(int kind)
{
    QTextBlockFormat format;
    if (kind != newline)
        format.setProperty(kBefore, kind);
    return format;
}

// How far a cut may move from a chunk's end to fall after a blank or between grapheme clusters.
constexpr qsizetype kReach = 256;

// Whether grapheme clusters certainly break between i - 1 and i, and read on from i as they would
// from the line's start: so it is between two characters below the combining marks (a line holds
// no CR or LF), which no cluster rule joins to anything before them.
bool plainBreak(QStringView line, qsizetype i)
{
    return line[i - 1].unicode() < 0x300 && line[i].unicode() < 0x300;
}

// Whether the clusters break after the blank at i - 1 (no rule looks further back past a blank).
bool breaksAfterBlank(QStringView line, qsizetype i)
{
    if (plainBreak(line, i))
        return true;
    QTextBoundaryFinder pair(QTextBoundaryFinder::Grapheme, line.constData() + i - 1,
                             qMin<qsizetype>(3, line.size() - i + 1));
    pair.setPosition(1);
    return pair.isAtBoundary();
}

// Where the next block of a long line starts, `from` being where this one starts: after the last
// blank near the chunk's end, else between the grapheme clusters nearest to it, else (inside a
// cluster far longer than a block) between two code points there. Only the drawing depends on it.
qsizetype nextCut(QStringView line, qsizetype from)
{
    if (line.size() - from <= chunk + chunk / 2)
        return line.size();
    const qsizetype target = from + chunk;
    for (qsizetype i = target; i > target - kReach; --i)
        if (line[i - 1].isSpace() && breaksAfterBlank(line, i))
            return i;
    if (plainBreak(line, target))
        return target;
    // Clusters read from a place where they certainly break, else from the block's start, so that
    // a run of regional indicators or a joined emoji sequence pairs up as in the whole line.
    qsizetype start = target - kReach;
    while (start > target - 2 * kReach && !plainBreak(line, start))
        --start;
    if (!plainBreak(line, start))
        start = from;
    const qsizetype end = target + kReach;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line.constData() + start, end - start);
    graphemes.setPosition(target - start);
    if (graphemes.isAtBoundary())
        return target;
    if (const qsizetype before = graphemes.toPreviousBoundary(); before > target - kReach - start)
        return start + before;
    graphemes.setPosition(target - start);
    if (const qsizetype after = graphemes.toNextBoundary(); after > 0 && after < end - start)
        return start + after;
    return target - (line[target].isLowSurrogate() && line[target - 1].isHighSurrogate() ? 1 : 0);
}

// Inserts one line (no separators in it) at the cursor, cut into blocks where it is long.
void insertLine(QTextCursor &cursor, QStringView line)
{
    qsizetype from = 0;
    while (from < line.size()) {
        const qsizetype to = nextCut(line, from);
        cursor.insertText(line.sliced(from, to - from).toString());
        if (to < line.size())
            cursor.insertBlock(formatFor(soft));
        from = to;
    }
}

void insertText(QTextCursor &cursor, QStringView text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size();) {
        int kind;
        qsizetype length;
        if (!separatorAt(text, i, &kind, &length)) {
            ++i;
            continue;
        }
        insertLine(cursor, text.sliced(start, i - start));
        cursor.insertBlock(formatFor(kind));
        i += length;
        start = i;
    }
    insertLine(cursor, text.sliced(start));
}

// Cuts the blocks from `first` to `last` that grew long (a paste into the middle of one).
void cutLongBlocks(QTextDocument &document, int firstBlock, int lastBlock)
{
    for (int number = lastBlock; number >= firstBlock; --number) {
        const QTextBlock block = document.findBlockByNumber(number);
        const QString text = block.text();
        if (text.size() <= 2 * chunk)
            continue;
        QList<qsizetype> cuts;
        for (qsizetype at = nextCut(text, 0); at < text.size(); at = nextCut(text, at))
            cuts.append(at);
        // From the end, so that the earlier positions stay where they are.
        for (auto it = cuts.crbegin(); it != cuts.crend(); ++it) {
            QTextCursor cursor(&document);
            cursor.setPosition(block.position() + int(*it));
            cursor.insertBlock(formatFor(soft));
        }
    }
}

} // namespace

bool startsSoft(const QTextBlock &block)
{
    return block.isValid() && block.previous().isValid() && kindOf(block) == soft;
}

void setText(QTextDocument &document, const QString &text)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    insertText(cursor, text);
    cursor.endEditBlock();
    document.setUndoRedoEnabled(undo);
}

QString text(const QTextDocument &document)
{
    return text(document, 0, document.characterCount() - 1);
}

QString text(const QTextDocument &document, int from, int to)
{
    QString out;
    if (to <= from)
        return out;
    out.reserve(to - from);
    for (QTextBlock block = document.findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = block.position();
        if (start > from)
            out += separatorText(kindOf(block));
        const int a = qMax(from, start) - start;
        const int b = qMin(to, start + block.length() - 1) - start;
        if (b > a)
            out += QStringView(block.text()).sliced(a, b - a);
    }
    return out;
}

void insert(QTextCursor &cursor, const QString &text)
{
    QTextDocument &document = *cursor.document();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    const int first = cursor.blockNumber();
    insertText(cursor, text);
    // The cursor follows the cuts made before it.
    cutLongBlocks(document, first, cursor.blockNumber());
    cursor.endEditBlock();
}

} // namespace NoteDocument
