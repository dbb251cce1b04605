#include "features/history/NoteDocument.h"

#include <QTextBlockFormat>
#include <QTextBoundaryFinder>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <optional>

namespace NoteDocument {

namespace {

// The separator a block's text follows, stored in the character format of the block break before
// it (absent: "\n", what every block Qt makes by itself gets). A break and its kind go together:
// whatever Qt joins, the breaks left standing keep their own kinds (a block's own format does not:
// Qt drops it with a block emptied from its start), and undo brings a break back with its kind.
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
    return block.charFormat().intProperty(kBefore);
}

QTextCharFormat formatFor(int kind)
{
    QTextCharFormat format;
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
        cursor.insertText(line.sliced(from, to - from).toString(), QTextCharFormat());
        if (to < line.size())
            cursor.insertBlock(QTextBlockFormat(), formatFor(soft));
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
        cursor.insertBlock(QTextBlockFormat(), formatFor(kind));
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
            cursor.insertBlock(QTextBlockFormat(), formatFor(soft));
        }
    }
}

// True when the block is one of several that hold one line of the note.
bool inCutLine(const QTextBlock &block)
{
    return startsSoft(block) || startsSoft(block.next());
}

// A block left empty beside a soft boundary would show as an empty line that stands for nothing:
// it is joined to its neighbour, the separator that stands in the note kept.
void tidy(const QTextBlock &block)
{
    if (!block.isValid() || block.length() > 1)
        return;
    QTextCursor join(block);
    if (startsSoft(block))
        join.deletePreviousChar(); // into the block before, behind that block's separator
    else if (startsSoft(block.next()))
        join.deleteChar(); // the next block comes in behind this one's separator
}

// Whether taking away the document's text from `from` to `to` leaves a block empty beside a soft
// boundary.
bool leavesEmptyLine(const QTextDocument &document, int from, int to)
{
    const QTextBlock first = document.findBlock(from), last = document.findBlock(to);
    return from == first.position() && to == last.position() + last.length() - 1 &&
           (startsSoft(first) || startsSoft(last.next()));
}

// Takes the text from `from` to `to` away as one undo step and tidies up after it. `cursor` is
// where the edit starts from, which undo returns to.
void removeTidily(const QTextCursor &cursor, int from, int to)
{
    QTextCursor edit(cursor);
    edit.clearSelection();
    edit.beginEditBlock();
    edit.setPosition(from);
    edit.setPosition(to, QTextCursor::KeepAnchor);
    edit.removeSelectedText();
    tidy(edit.block());
    edit.endEditBlock();
}

// Consecutive blocks of one line of the note read as one text, so that a key is worked out on the
// note's own characters the way Qt works it out on one block's.
class Span
{
public:
    explicit Span(const QTextBlock &block) : m_blocks{block} { read(); }

    const QString &text() const { return m_text; }
    int size() const { return int(m_text.size()); }
    bool atLineStart() const { return !startsSoft(m_blocks.first()); }
    bool atLineEnd() const { return !startsSoft(m_blocks.last().next()); }

    // Takes in as many blocks again (at least one) of the same line before or after, so that
    // reading on to the end of a long word costs about as much as the word.
    void growBack()
    {
        for (qsizetype n = m_blocks.size(); n > 0 && !atLineStart(); --n)
            m_blocks.prepend(m_blocks.first().previous());
        read();
    }
    void growForward()
    {
        for (qsizetype n = m_blocks.size(); n > 0 && !atLineEnd(); --n)
            m_blocks.append(m_blocks.last().next());
        read();
    }

    // Where a document position inside the span stands in `text()`.
    int offset(int position) const
    {
        for (qsizetype i = 0; i < m_blocks.size(); ++i) {
            const QTextBlock &block = m_blocks.at(i);
            if (position <= block.position() + block.length() - 1)
                return m_starts.at(i) + qMax(0, position - block.position());
        }
        return size();
    }
    // The document position of an offset in `text()`. At a soft boundary two positions stand for
    // the same place of the note: the one after it when `afterCut`, else the one before.
    int position(int offset, bool afterCut) const
    {
        if (afterCut) {
            for (qsizetype i = m_blocks.size() - 1; i > 0; --i)
                if (m_starts.at(i) <= offset)
                    return m_blocks.at(i).position() + offset - m_starts.at(i);
            return m_blocks.first().position() + offset;
        }
        for (qsizetype i = 0; i + 1 < m_blocks.size(); ++i)
            if (offset <= m_starts.at(i) + m_blocks.at(i).length() - 1)
                return m_blocks.at(i).position() + offset - m_starts.at(i);
        return m_blocks.last().position() + offset - m_starts.last();
    }

private:
    void read()
    {
        m_text.clear();
        m_starts.clear();
        for (const QTextBlock &block : std::as_const(m_blocks)) {
            m_starts.append(int(m_text.size()));
            m_text += block.text();
        }
    }

    QList<QTextBlock> m_blocks;
    QList<int> m_starts;
    QString m_text;
};

int codePointBefore(QStringView text, int at)
{
    return at >= 2 && text[at - 1].isLowSurrogate() && text[at - 2].isHighSurrogate() ? 2 : 1;
}

// What Qt's text edit takes away for the key in the cursor's block (no selection).
std::pair<int, int> erasedInBlock(const QTextCursor &cursor, Erase what)
{
    const int position = cursor.position();
    QTextCursor moved(cursor);
    switch (what) {
    case Erase::previousCharacter: {
        const QTextBlock block = cursor.block();
        const int at = position - block.position();
        return {position - (at == 0 ? 1 : codePointBefore(block.text(), at)), position};
    }
    case Erase::nextCharacter:
        moved.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
        break;
    case Erase::previousWord:
        moved.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
        break;
    case Erase::nextWord:
        moved.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        break;
    case Erase::endOfLine:
        moved.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        break;
    }
    return {moved.selectionStart(), moved.selectionEnd()};
}

// What the key takes away from the note's line around the cursor (no selection), as span offsets;
// nothing where the cursor is at the line's start or end and the key joins two lines.
std::optional<std::pair<int, int>> erasedInLine(Span &span, int position, Erase what)
{
    const bool words = what == Erase::previousWord || what == Erase::nextWord;
    const QTextLayout::CursorMode mode = words ? QTextLayout::SkipWords : QTextLayout::SkipCharacters;
    if (what == Erase::nextCharacter) {
        // A cluster is read with what stands before it.
        span.growBack();
        span.growForward();
    }
    for (;;) {
        const int at = span.offset(position);
        if (what == Erase::nextCharacter || what == Erase::nextWord) {
            if (at == span.size() && span.atLineEnd())
                return std::nullopt;
            const int stop = at < span.size() ? QTextLayout(span.text()).nextCursorPosition(at, mode) : at;
            if (stop == span.size() && !span.atLineEnd()) {
                span.growForward();
                continue;
            }
            return std::pair(at, stop);
        }
        if (at == 0 && span.atLineStart())
            return std::nullopt;
        int stop = 0;
        if (at > 0)
            stop = what == Erase::previousCharacter
                       ? at - codePointBefore(span.text(), at)
                       : QTextLayout(span.text()).previousCursorPosition(at, mode);
        if (stop == 0 && !span.atLineStart()) {
            span.growBack();
            continue;
        }
        return std::pair(stop, at);
    }
}

bool eraseToLineEnd(QTextCursor &cursor)
{
    QTextBlock last = cursor.block();
    const bool endsHere = !startsSoft(last.next());
    while (startsSoft(last.next()))
        last = last.next();
    const int end = last.position() + last.length() - 1;
    const int from = qMin(cursor.anchor(), end), to = qMax(cursor.anchor(), end);
    // Where the line ends in this block, Qt's own handling already reaches the line's end.
    if (endsHere && !leavesEmptyLine(*cursor.document(), from, to))
        return false;
    removeTidily(cursor, from, to);
    return true;
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
    // A separator pasted at a soft boundary leaves an empty block beside it.
    for (int number = cursor.blockNumber(); number >= first; --number)
        tidy(document.findBlockByNumber(number));
    cursor.endEditBlock();
}

bool erase(QTextCursor &cursor, Erase what)
{
    QTextDocument *document = cursor.document();
    if (!document)
        return false;
    if (what == Erase::endOfLine)
        return eraseToLineEnd(cursor);
    if (cursor.hasSelection()) {
        removeTidily(cursor, cursor.selectionStart(), cursor.selectionEnd());
        return true;
    }
    const QTextBlock block = cursor.block();
    if (!inCutLine(block))
        return false;
    Span span(block);
    const std::optional<std::pair<int, int>> erased = erasedInLine(span, cursor.position(), what);
    if (!erased)
        return false;
    // Where a soft boundary stands at either end, what is taken stops short of it.
    const int from = span.position(erased->first, true), to = span.position(erased->second, false);
    const bool emptiesLine = leavesEmptyLine(*document, from, to);
    if (erasedInBlock(cursor, what) == std::pair(from, to) && !emptiesLine)
        return false;
    if (!emptiesLine && document->findBlock(from) == document->findBlock(to)) {
        // The same single steps as Qt's, so that a run of keys undoes in one step as it does elsewhere.
        QTextCursor step(document);
        if (what == Erase::previousCharacter) {
            step.setPosition(to);
            step.deletePreviousChar();
            return true;
        }
        step.setPosition(from);
        if (what == Erase::nextCharacter && erasedInBlock(step, what) == std::pair(from, to)) {
            step.deleteChar();
            return true;
        }
    }
    removeTidily(cursor, from, to);
    return true;
}

} // namespace NoteDocument
