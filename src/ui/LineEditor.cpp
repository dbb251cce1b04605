#include "ui/LineEditor.h"

#include "ui/LineEditorAccessible.h"
#include "ui/TextBounds.h"
#include "ui/Theme.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyleHints>
#include <QTextCharFormat>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Qt's line edit keeps the text this far from the box's left and right edges.
constexpr int kMargin = 2;
// How far around the cursor the first layout reaches, in UTF-16 units: a few dozen characters
// fill a field, and a colour emoji costs a bitmap decode each time it is laid out.
constexpr qsizetype kReach = 32;
// How much text around the cursor an input method gets to see.
constexpr qsizetype kSurrounding = 1024;

// What the line shows for a character that has no glyph of its own on one line.
QString shownText(QStringView text)
{
    QString shown = text.toString();
    for (QChar &c : shown) {
        if ((c.unicode() < 0x20 && c != u'\t') || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter)
            c = u' ';
    }
    return shown;
}

// Whether an arrow key first collapses a selection to its end, as Qt's line edit does under every
// desktop key scheme; under the Windows scheme (which the offscreen platform uses) it steps from
// the cursor. The schemes tell apart by the emacs binding Ctrl+K, which only the former have.
bool arrowsCollapseSelection()
{
    return !QKeySequence::keyBindings(QKeySequence::DeleteEndOfLine).isEmpty();
}

QString withShortcut(const QString &title, QKeySequence::StandardKey key)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? title : title + u'\t' + keys.first().toString(QKeySequence::NativeText);
}

} // namespace

LineEditor::LineEditor(QWidget *parent)
    : QWidget(parent), m_blink(new QTimer(this)), m_tripleClick(new QTimer(this))
{
    LineEditorAccessible::install();
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_layout.setCacheEnabled(true);
    connect(m_blink, &QTimer::timeout, this, [this] {
        m_cursorOn = !m_cursorOn;
        update(cursorRect().adjusted(-1, 0, 1, 0));
    });
    m_tripleClick->setSingleShot(true);
    relayout({0, 0});
}

LineEditor::~LineEditor() = default;

void LineEditor::setText(const QString &text)
{
    if (!m_preedit.isEmpty()) {
        // A composition in progress does not survive a new text.
        QGuiApplication::inputMethod()->reset();
        m_preedit.clear();
    }
    m_steps.clear();
    m_done = 0;
    m_mergeOpen = false;
    if (text == m_text) {
        moveCursor(m_text.size(), false);
        return;
    }
    apply(text, 0, m_text, text, text.size(), text.size(), false);
}

void LineEditor::setPlaceholderText(const QString &text)
{
    m_placeholder = text;
    update();
}

void LineEditor::setValidator(const QValidator *validator)
{
    m_validator = validator;
}

bool LineEditor::accepts(const QString &candidate, qsizetype cursor) const
{
    if (!m_validator)
        return true;
    QString copy = candidate;
    int pos = int(std::min<qsizetype>(cursor, std::numeric_limits<int>::max()));
    return m_validator->validate(copy, pos) != QValidator::Invalid;
}

bool LineEditor::hasAcceptableInput() const
{
    if (!m_validator)
        return true;
    QString copy = m_text;
    int pos = int(std::min<qsizetype>(m_cursor, std::numeric_limits<int>::max()));
    return m_validator->validate(copy, pos) == QValidator::Acceptable;
}

QString LineEditor::selectedText() const
{
    return hasSelectedText() ? m_text.mid(selectionStart(), selectionEnd() - selectionStart()) : QString();
}

void LineEditor::setCursorPosition(qsizetype pos)
{
    moveCursor(std::clamp<qsizetype>(pos, 0, m_text.size()), false);
}

void LineEditor::setSelection(qsizetype start, qsizetype length)
{
    const qsizetype n = m_text.size();
    start = std::clamp<qsizetype>(start, 0, n);
    const qsizetype end = std::clamp<qsizetype>(start + length, 0, n);
    const qsizetype oldCursor = m_cursor, oldAnchor = m_anchor;
    const Pin pin{m_cursor, m_cursorScreenX};
    m_anchor = start;
    m_cursor = end;
    m_mergeOpen = false;
    viewChanged(pin);
    notifyCursor(oldCursor, oldAnchor);
}

void LineEditor::clear()
{
    replace(0, m_text.size(), QString(), Merge::none);
}

void LineEditor::selectAll()
{
    setSelection(0, m_text.size());
}

void LineEditor::deselect()
{
    if (hasSelectedText())
        moveCursor(m_cursor, false);
}

void LineEditor::undo()
{
    if (!isUndoAvailable())
        return;
    const Step step = m_steps.at(--m_done);
    m_mergeOpen = false;
    QString next = m_text;
    next.replace(step.at, step.inserted.size(), step.removed);
    apply(std::move(next), step.at, step.inserted, step.removed, step.cursorBefore, step.anchorBefore, true);
}

void LineEditor::redo()
{
    if (!isRedoAvailable())
        return;
    const Step step = m_steps.at(m_done++);
    m_mergeOpen = false;
    QString next = m_text;
    next.replace(step.at, step.removed.size(), step.inserted);
    const qsizetype end = step.at + step.inserted.size();
    apply(std::move(next), step.at, step.removed, step.inserted, end, end, true);
}

void LineEditor::cut()
{
    if (!hasSelectedText())
        return;
    copy();
    removeSelection();
}

void LineEditor::copy() const
{
    if (hasSelectedText())
        QGuiApplication::clipboard()->setText(selectedText());
}

void LineEditor::paste()
{
    pasteFrom(QClipboard::Clipboard);
}

void LineEditor::pasteFrom(QClipboard::Mode mode)
{
    const QString clip = QGuiApplication::clipboard()->text(mode);
    if (!clip.isEmpty() || hasSelectedText())
        insert(clip);
}

void LineEditor::insert(const QString &text)
{
    const qsizetype from = hasSelectedText() ? selectionStart() : m_cursor;
    const qsizetype to = hasSelectedText() ? selectionEnd() : m_cursor;
    replace(from, to, text, Merge::none);
}

void LineEditor::removeSelection()
{
    if (hasSelectedText())
        replace(selectionStart(), selectionEnd(), QString(), Merge::none);
}

void LineEditor::backspace()
{
    if (hasSelectedText()) {
        removeSelection();
        return;
    }
    if (m_cursor == 0)
        return;
    // One code point, as Qt's line edit erases: an accent typed last goes first.
    qsizetype from = m_cursor - 1;
    if (from > 0 && m_text.at(from).isLowSurrogate() && m_text.at(from - 1).isHighSurrogate())
        --from;
    replace(from, m_cursor, QString(), Merge::erasing);
}

void LineEditor::del()
{
    if (hasSelectedText()) {
        removeSelection();
        return;
    }
    if (m_cursor < m_text.size())
        replace(m_cursor, TextBounds::nextGrapheme(m_text, m_cursor), QString(), Merge::erasing);
}

void LineEditor::eraseWord(int direction)
{
    // Only the selection goes when there is one, and nothing when there is no word to take: Qt's
    // line edit moves the cursor a word first and erases what is then selected, or the next letter.
    if (!hasSelectedText())
        moveCursor(direction > 0 ? TextBounds::nextWord(m_text, m_cursor)
                                 : TextBounds::previousWord(m_text, m_cursor),
                   true);
    removeSelection();
}

bool LineEditor::replace(qsizetype from, qsizetype to, const QString &with, Merge merge)
{
    if (from == to && with.isEmpty())
        return true;
    QString next = m_text;
    next.replace(from, to - from, with);
    if (!accepts(next, from + with.size())) {
        Q_EMIT inputRejected();
        return false;
    }
    const QString removed = m_text.mid(from, to - from);
    m_steps.resize(m_done);
    Step *last = m_mergeOpen && m_done > 0 ? &m_steps[m_done - 1] : nullptr;
    if (last && merge == Merge::typing && last->merge == Merge::typing && removed.isEmpty() &&
        last->at + last->inserted.size() == from) {
        last->inserted += with;
    } else if (last && merge == Merge::erasing && last->merge == Merge::erasing && with.isEmpty() &&
               to == last->at) {
        last->removed.prepend(removed);
        last->at = from;
    } else if (last && merge == Merge::erasing && last->merge == Merge::erasing && with.isEmpty() &&
               from == last->at) {
        last->removed += removed;
    } else {
        m_steps.append({from, removed, with, m_cursor, m_anchor, merge});
        m_done = m_steps.size();
    }
    m_mergeOpen = merge != Merge::none;
    const qsizetype end = from + with.size();
    apply(std::move(next), from, removed, with, end, end, true);
    return true;
}

void LineEditor::apply(QString text, qsizetype at, const QString &removed, const QString &inserted,
                       qsizetype cursor, qsizetype anchor, bool edited)
{
    // The text before the change keeps its place on screen, as in Qt's line edit.
    const Pin pin = pinAt(at);
    const qsizetype oldCursor = m_cursor, oldAnchor = m_anchor;
    m_text = std::move(text);
    m_cursor = std::clamp<qsizetype>(cursor, 0, m_text.size());
    m_anchor = std::clamp<qsizetype>(anchor, 0, m_text.size());
    // As in Qt's line edit, the text's first strong character sets its direction and alignment.
    m_rightToLeft = m_text.isRightToLeft();
    m_from = m_to = -1; // the old span's layout no longer matches the text
    relayout(pin);
    update();
    restartBlink();
    if (hasFocus())
        updateMicroFocus();
    if (QAccessible::isActive()) {
        if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent event(this, int(at), removed);
            QAccessible::updateAccessibility(&event);
        }
        if (!inserted.isEmpty()) {
            QAccessibleTextInsertEvent event(this, int(at), inserted);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (edited)
        Q_EMIT textEdited(m_text);
    Q_EMIT textChanged(m_text);
    notifyCursor(oldCursor, oldAnchor);
}

void LineEditor::moveCursor(qsizetype pos, bool select)
{
    const qsizetype oldCursor = m_cursor, oldAnchor = m_anchor;
    const Pin pin{m_cursor, m_cursorScreenX};
    m_cursor = std::clamp<qsizetype>(pos, 0, m_text.size());
    if (!select)
        m_anchor = m_cursor;
    if (m_cursor != oldCursor)
        m_mergeOpen = false;
    viewChanged(pin);
    notifyCursor(oldCursor, oldAnchor);
}

void LineEditor::viewChanged(Pin pin)
{
    relayout(pin);
    update();
    restartBlink();
    if (hasFocus())
        updateMicroFocus();
}

void LineEditor::notifyCursor(qsizetype oldCursor, qsizetype oldAnchor)
{
    const bool selectionMoved = (oldCursor != oldAnchor || m_cursor != m_anchor) &&
                                (std::min(oldCursor, oldAnchor) != std::min(m_cursor, m_anchor) ||
                                 std::max(oldCursor, oldAnchor) != std::max(m_cursor, m_anchor));
    if (QAccessible::isActive()) {
        if (selectionMoved) {
            QAccessibleTextSelectionEvent event(this, int(std::min(m_cursor, m_anchor)),
                                                int(std::max(m_cursor, m_anchor)));
            event.setCursorPosition(int(m_cursor));
            QAccessible::updateAccessibility(&event);
        } else if (oldCursor != m_cursor) {
            QAccessibleTextCursorEvent event(this, int(m_cursor));
            QAccessible::updateAccessibility(&event);
        }
    }
    if (oldCursor != m_cursor)
        Q_EMIT cursorPositionChanged(oldCursor, m_cursor);
    if (selectionMoved)
        Q_EMIT selectionChanged();
}

// --- Layout and view --------------------------------------------------------------------------

QRectF LineEditor::lineRect() const
{
    // Where Qt's line edit puts its line: 2 in from the sides, one font height centred.
    const QFontMetrics fm(font());
    const int h = fm.height();
    return QRect(kMargin, (height() - h + 1) / 2, std::max(0, width() - 2 * kMargin), h);
}

LineEditor::Pin LineEditor::pinAt(qsizetype pos) const
{
    if (m_from < 0 || pos < m_from || pos > m_to)
        return {pos, qQNaN()};
    qsizetype inLayout = pos - m_from;
    if (!m_preedit.isEmpty() && pos > m_cursor)
        inLayout += m_preedit.size();
    return {pos, std::round(m_layout.lineAt(0).cursorToX(int(inLayout))) - m_scroll};
}

void LineEditor::layoutSpan(qsizetype from, qsizetype to)
{
    m_from = from;
    m_to = to;
    m_layout.setText(shownText(QStringView(m_text).sliced(from, to - from)));
    m_layout.setFont(font());
    QTextOption option;
    option.setTextDirection(m_rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    m_layout.setTextOption(option);
    QList<QTextLayout::FormatRange> formats;
    if (!m_preedit.isEmpty()) {
        m_layout.setPreeditArea(int(m_cursor - from), m_preedit);
        for (QTextLayout::FormatRange range : m_preeditFormats) {
            range.start += int(m_cursor - from);
            formats.append(range);
        }
    } else {
        m_layout.setPreeditArea(-1, QString());
    }
    m_layout.setFormats(formats);
    m_layout.beginLayout();
    m_layout.createLine();
    m_layout.endLayout();
}

qreal LineEditor::cursorX() const
{
    qsizetype inLayout = m_cursor - m_from;
    if (!m_preedit.isEmpty())
        inLayout += m_preeditCursor;
    return std::round(m_layout.lineAt(0).cursorToX(int(inLayout)));
}

void LineEditor::relayout(Pin pin)
{
    const qsizetype n = m_text.size();
    const qreal width = lineRect().width();
    qsizetype reach = kReach;
    for (;;) {
        // A span that still holds the cursor keeps its layout (a step, a blink, a resize).
        const bool fresh = m_from < 0 || m_cursor < m_from || m_cursor > m_to;
        if (fresh) {
            qsizetype from = 0, to = n;
            if (2 * reach < n) {
                from = TextBounds::snapToGrapheme(m_text, m_cursor - reach);
                to = TextBounds::snapToGrapheme(m_text, m_cursor + reach, true);
            }
            layoutSpan(from, to);
        }
        const QTextLine line = m_layout.lineAt(0);
        const qreal used = std::round(line.naturalTextWidth()) + 1;
        const qreal cix = cursorX();
        const bool whole = m_from == 0 && m_to == n;
        // In a right-to-left paragraph the text's start lies at the right.
        const bool leftEndShown = m_rightToLeft ? m_to == n : m_from == 0;
        const bool rightEndShown = m_rightToLeft ? m_from == 0 : m_to == n;

        qreal scroll;
        if (!std::isnan(pin.x) && pin.pos >= m_from && pin.pos <= m_to) {
            qsizetype inLayout = pin.pos - m_from;
            if (!m_preedit.isEmpty() && pin.pos > m_cursor)
                inLayout += m_preedit.size();
            scroll = std::round(line.cursorToX(int(inLayout))) - pin.x;
        } else {
            // Pinned out of sight: the cursor enters from the side it moved towards.
            const bool towardsRight = (m_cursor >= pin.pos) != m_rightToLeft;
            scroll = towardsRight ? cix - width + 1 : cix;
        }
        // Qt's line edit rules: a text that fits is aligned; otherwise the cursor stays in view
        // and no blank shows past the text's end.
        if (whole && used <= width)
            scroll = m_rightToLeft ? used - width + 1 : 0;
        else if (cix - scroll >= width)
            scroll = cix - width + 1;
        else if (cix - scroll < 0 && scroll < used)
            scroll = cix;
        else if (rightEndShown && used - scroll < width)
            scroll = used - width + 1;
        else if (leftEndShown)
            scroll = std::max<qreal>(0, scroll);

        // The span must fill the field on both sides, or reach the text's end there; if it does
        // not, lay out again around the cursor, further each time.
        const bool blankLeft = scroll < 0 && !leftEndShown;
        const bool blankRight = scroll + width > used && !rightEndShown;
        if ((blankLeft || blankRight) && !whole) {
            if (fresh)
                reach *= 4;
            m_from = -1;
            continue;
        }
        m_scroll = scroll;
        m_cursorScreenX = cix - scroll;
        return;
    }
}

qsizetype LineEditor::positionAt(qreal x) const
{
    qsizetype pos = m_layout.lineAt(0).xToCursor(x - lineRect().left() + m_scroll);
    const qsizetype cursorInLayout = m_cursor - m_from;
    if (!m_preedit.isEmpty() && pos > cursorInLayout)
        pos = std::max(cursorInLayout, pos - m_preedit.size());
    return std::clamp<qsizetype>(m_from + pos, 0, m_text.size());
}

QRect LineEditor::characterRect(qsizetype pos) const
{
    if (m_from < 0 || pos < m_from || pos >= m_to)
        return {};
    const auto inLayout = [this](qsizetype p) {
        return int(p - m_from + (!m_preedit.isEmpty() && p > m_cursor ? m_preedit.size() : 0));
    };
    const QTextLine tl = m_layout.lineAt(0);
    const qreal a = tl.cursorToX(inLayout(pos));
    const qreal b = tl.cursorToX(inLayout(TextBounds::nextGrapheme(m_text, pos)));
    const QRect cursor = cursorRect();
    const qreal left = lineRect().left() - m_scroll;
    return QRectF(left + std::min(a, b), cursor.top(), std::abs(b - a), cursor.height()).toAlignedRect();
}

QRect LineEditor::cursorRect() const
{
    const QRectF line = lineRect();
    const QTextLine tl = m_layout.lineAt(0);
    const QFontMetrics fm(font());
    const qreal top = line.top() - (std::round(tl.ascent()) - fm.ascent());
    return QRectF(line.left() + m_cursorScreenX, top, 1, tl.height()).toAlignedRect();
}

// --- Painting -----------------------------------------------------------------------------------

void LineEditor::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setClipRect(rect());
    const QRectF line = lineRect();
    const QFontMetrics fm(font());
    p.setFont(font());
    if (m_text.isEmpty() && m_preedit.isEmpty()) {
        if (!m_placeholder.isEmpty()) {
            p.setPen(Theme::faint.resolve());
            p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                       fm.elidedText(m_placeholder, Qt::ElideRight, int(line.width())));
        }
    }
    const QTextLine tl = m_layout.lineAt(0);
    const QPointF topLeft(line.left() - m_scroll, line.top() - (std::round(tl.ascent()) - fm.ascent()));
    QList<QTextLayout::FormatRange> selections;
    if (hasSelectedText()) {
        const qsizetype start = std::clamp(selectionStart(), m_from, m_to);
        const qsizetype end = std::clamp(selectionEnd(), m_from, m_to);
        if (end > start) {
            QTextLayout::FormatRange range;
            range.start = int(start - m_from);
            range.length = int(end - start);
            if (!m_preedit.isEmpty() && start >= m_cursor)
                range.start += int(m_preedit.size());
            range.format.setBackground(Theme::red.resolve());
            range.format.setForeground(Theme::white.resolve());
            selections.append(range);
        }
    }
    p.setPen(Theme::ink.resolve());
    m_layout.draw(&p, topLeft, selections, QRectF(rect()));
    if (hasFocus() && m_cursorOn && (m_preedit.isEmpty() || m_preeditCursorShown)) {
        qsizetype inLayout = m_cursor - m_from;
        if (!m_preedit.isEmpty())
            inLayout += m_preeditCursor;
        m_layout.drawCursor(&p, topLeft, int(inLayout), 1);
    }
}

void LineEditor::restartBlink()
{
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    m_cursorOn = true;
    if (hasFocus() && flash > 0)
        m_blink->start(flash / 2);
    else
        m_blink->stop();
}

void LineEditor::resizeEvent(QResizeEvent *)
{
    relayout({m_cursor, m_cursorScreenX});
}

void LineEditor::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange) {
        m_from = -1;
        relayout({m_cursor, m_cursorScreenX});
        update();
    }
    QWidget::changeEvent(event);
}

QSize LineEditor::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(QLatin1Char('x')) * 17 + 2 * kMargin, fm.height() + 2);
}

QSize LineEditor::minimumSizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.maxWidth() + 2 * kMargin, fm.height() + 2);
}

// --- Keys -----------------------------------------------------------------------------------------

bool LineEditor::isEditingShortcut(QKeyEvent *event)
{
    static const QKeySequence::StandardKey keys[] = {
        QKeySequence::Copy,
        QKeySequence::Paste,
        QKeySequence::Cut,
        QKeySequence::Undo,
        QKeySequence::Redo,
        QKeySequence::SelectAll,
        QKeySequence::DeleteCompleteLine,
        QKeySequence::DeleteEndOfLine,
        QKeySequence::DeleteStartOfWord,
        QKeySequence::DeleteEndOfWord,
        QKeySequence::MoveToNextWord,
        QKeySequence::MoveToPreviousWord,
        QKeySequence::MoveToStartOfLine,
        QKeySequence::MoveToEndOfLine,
        QKeySequence::MoveToStartOfBlock,
        QKeySequence::MoveToEndOfBlock,
        QKeySequence::MoveToStartOfDocument,
        QKeySequence::MoveToEndOfDocument,
        QKeySequence::SelectNextWord,
        QKeySequence::SelectPreviousWord,
        QKeySequence::SelectStartOfLine,
        QKeySequence::SelectEndOfLine,
        QKeySequence::SelectStartOfBlock,
        QKeySequence::SelectEndOfBlock,
        QKeySequence::SelectStartOfDocument,
        QKeySequence::SelectEndOfDocument,
    };
    for (const QKeySequence::StandardKey key : keys)
        if (event->matches(key))
            return true;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods == Qt::NoModifier || mods == Qt::ShiftModifier || mods == Qt::KeypadModifier) {
        if (event->key() < Qt::Key_Escape)
            return true;
        switch (event->key()) {
        case Qt::Key_Delete:
        case Qt::Key_Backspace:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Right:
            return true;
        default:
            break;
        }
    }
    return false;
}

bool LineEditor::isAcceptableInput(const QKeyEvent *event) const
{
    // As Qt's text inputs decide what a key types.
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    if (c.category() == QChar::Other_Format)
        return true;
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (mods == Qt::ControlModifier || mods == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    return c.isPrint() || c.category() == QChar::Other_PrivateUse ||
           (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

bool LineEditor::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // The field keeps the keys it edits with, so no shortcut of the window takes them.
        auto *key = static_cast<QKeyEvent *>(event);
        if (isEditingShortcut(key))
            key->accept();
    }
    return QWidget::event(event);
}

void LineEditor::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (hasAcceptableInput())
            Q_EMIT returnPressed();
        // The window sees Return too, as with Qt's line edit (a dialog's default button).
        event->ignore();
        return;
    }
    if (handleKey(event))
        event->accept();
    else
        event->ignore();
}

bool LineEditor::handleKey(QKeyEvent *event)
{
    const int forward = m_rightToLeft ? -1 : 1;
    const auto step = [this](int direction, bool select) {
        moveCursor(direction > 0 ? TextBounds::nextGrapheme(m_text, m_cursor)
                                 : TextBounds::previousGrapheme(m_text, m_cursor),
                   select);
    };
    const auto word = [this](int direction, bool select) {
        moveCursor(direction > 0 ? TextBounds::nextWord(m_text, m_cursor)
                                 : TextBounds::previousWord(m_text, m_cursor),
                   select);
    };
    if (event->matches(QKeySequence::Undo))
        undo();
    else if (event->matches(QKeySequence::Redo))
        redo();
    else if (event->matches(QKeySequence::SelectAll))
        selectAll();
    else if (event->matches(QKeySequence::Copy))
        copy();
    else if (event->matches(QKeySequence::Paste))
        // X11's own paste key takes the selection, as in Qt's line edit under every X11 scheme.
        pasteFrom(event->key() == Qt::Key_Insert &&
                          event->modifiers() == (Qt::ControlModifier | Qt::ShiftModifier) &&
                          QGuiApplication::clipboard()->supportsSelection()
                      ? QClipboard::Selection
                      : QClipboard::Clipboard);
    else if (event->matches(QKeySequence::Cut))
        cut();
    else if (event->matches(QKeySequence::DeleteEndOfLine)) {
        setSelection(m_cursor, m_text.size() - m_cursor);
        copy();
        removeSelection();
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        selectAll();
        copy();
        removeSelection();
    } else if (event->matches(QKeySequence::MoveToStartOfLine) ||
               event->matches(QKeySequence::MoveToStartOfBlock) ||
               event->matches(QKeySequence::MoveToStartOfDocument))
        moveCursor(0, false);
    else if (event->matches(QKeySequence::MoveToEndOfLine) ||
             event->matches(QKeySequence::MoveToEndOfBlock) ||
             event->matches(QKeySequence::MoveToEndOfDocument))
        moveCursor(m_text.size(), false);
    else if (event->matches(QKeySequence::SelectStartOfLine) ||
             event->matches(QKeySequence::SelectStartOfBlock) ||
             event->matches(QKeySequence::SelectStartOfDocument))
        moveCursor(0, true);
    else if (event->matches(QKeySequence::SelectEndOfLine) ||
             event->matches(QKeySequence::SelectEndOfBlock) ||
             event->matches(QKeySequence::SelectEndOfDocument))
        moveCursor(m_text.size(), true);
    else if (event->matches(QKeySequence::MoveToNextChar)) {
        if (hasSelectedText() && arrowsCollapseSelection())
            moveCursor(selectionEnd(), false);
        else
            step(forward, false);
    } else if (event->matches(QKeySequence::MoveToPreviousChar)) {
        if (hasSelectedText() && arrowsCollapseSelection())
            moveCursor(selectionStart(), false);
        else
            step(-forward, false);
    } else if (event->matches(QKeySequence::SelectNextChar))
        step(forward, true);
    else if (event->matches(QKeySequence::SelectPreviousChar))
        step(-forward, true);
    else if (event->matches(QKeySequence::MoveToNextWord))
        word(forward, false);
    else if (event->matches(QKeySequence::MoveToPreviousWord))
        word(-forward, false);
    else if (event->matches(QKeySequence::SelectNextWord))
        word(forward, true);
    else if (event->matches(QKeySequence::SelectPreviousWord))
        word(-forward, true);
    else if (event->matches(QKeySequence::Delete))
        del();
    else if (event->matches(QKeySequence::DeleteEndOfWord))
        eraseWord(1);
    else if (event->matches(QKeySequence::DeleteStartOfWord))
        eraseWord(-1);
    else if (event->key() == Qt::Key_Backspace) {
        // Whatever else is held (Alt, Shift, Super), a Backspace that no binding took erases, a
        // word with Ctrl, as in Qt's line edit.
        if (event->modifiers() & Qt::ControlModifier)
            eraseWord(-1);
        else
            backspace();
    } else if (isAcceptableInput(event)) {
        const qsizetype from = hasSelectedText() ? selectionStart() : m_cursor;
        const qsizetype to = hasSelectedText() ? selectionEnd() : m_cursor;
        replace(from, to, event->text(), from == to ? Merge::typing : Merge::none);
    } else
        return false;
    // Whatever a key leaves selected is the X11 selection (Select All and an undo too), as in Qt's
    // line edit.
    copyToSelectionClipboard();
    return true;
}

void LineEditor::copyToSelectionClipboard() const
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (hasSelectedText() && clipboard->supportsSelection())
        clipboard->setText(selectedText(), QClipboard::Selection);
}

// --- Input methods ------------------------------------------------------------------------------

std::pair<qsizetype, qsizetype> LineEditor::surroundingSpan() const
{
    const qsizetype from = TextBounds::snapToGrapheme(m_text, m_cursor - kSurrounding);
    const qsizetype to = TextBounds::snapToGrapheme(m_text, m_cursor + kSurrounding, true);
    return {from, to};
}

QVariant LineEditor::inputMethodQuery(Qt::InputMethodQuery query) const
{
    // An input method sees the text around the cursor, never the whole megabyte.
    const auto [from, to] = surroundingSpan();
    switch (query) {
    case Qt::ImEnabled:
        return isEnabled();
    case Qt::ImCursorRectangle:
    case Qt::ImAnchorRectangle:
        return cursorRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return int(m_cursor - from);
    case Qt::ImAnchorPosition:
        return int(std::clamp(m_anchor, from, to) - from);
    case Qt::ImSurroundingText:
        return m_text.mid(from, to - from);
    case Qt::ImTextBeforeCursor:
        return m_text.mid(from, m_cursor - from);
    case Qt::ImTextAfterCursor:
        return m_text.mid(m_cursor, to - m_cursor);
    case Qt::ImCurrentSelection: {
        if (!hasSelectedText())
            return QString();
        const qsizetype start = std::clamp(selectionStart(), from, to),
                        end = std::clamp(selectionEnd(), from, to);
        return m_text.mid(start, end - start);
    }
    case Qt::ImMaximumTextLength:
        return QVariant();
    case Qt::ImHints:
        return int(inputMethodHints());
    case Qt::ImReadOnly:
        return false;
    default:
        return QWidget::inputMethodQuery(query);
    }
}

void LineEditor::inputMethodEvent(QInputMethodEvent *event)
{
    const auto [from, to] = surroundingSpan();
    Q_UNUSED(to);
    qsizetype start = hasSelectedText() ? selectionStart() : m_cursor;
    qsizetype end = hasSelectedText() ? selectionEnd() : m_cursor;
    if (event->replacementStart() != 0 || event->replacementLength() != 0) {
        start = std::clamp<qsizetype>(m_cursor + event->replacementStart(), 0, m_text.size());
        end = std::clamp<qsizetype>(start + event->replacementLength(), 0, m_text.size());
    }
    const QString commit = event->commitString();
    m_preedit.clear();
    if (!commit.isEmpty() || end > start)
        replace(start, end, commit, end > start ? Merge::none : Merge::typing);

    m_preedit = event->preeditString();
    m_preeditCursor = m_preedit.size();
    m_preeditCursorShown = true;
    m_preeditFormats.clear();
    for (const QInputMethodEvent::Attribute &a : event->attributes()) {
        if (a.type == QInputMethodEvent::Cursor) {
            m_preeditCursor = a.start;
            m_preeditCursorShown = a.length != 0;
        } else if (a.type == QInputMethodEvent::TextFormat) {
            const QTextCharFormat format = qvariant_cast<QTextFormat>(a.value).toCharFormat();
            if (format.isValid())
                m_preeditFormats.append({a.start, a.length, format});
        } else if (a.type == QInputMethodEvent::Selection) {
            const qsizetype anchor = std::clamp<qsizetype>(from + a.start, 0, m_text.size());
            const qsizetype cursor = std::clamp<qsizetype>(from + a.start + a.length, 0, m_text.size());
            setSelection(anchor, cursor - anchor);
        }
    }
    m_from = -1;
    viewChanged({m_cursor, m_cursorScreenX});
    event->accept();
}

// --- Mouse, focus, menu, drops --------------------------------------------------------------------

void LineEditor::mousePressEvent(QMouseEvent *event)
{
    const qreal x = event->position().x();
    if (!m_preedit.isEmpty())
        QGuiApplication::inputMethod()->commit();
    if (event->button() == Qt::LeftButton) {
        if (m_tripleClick->isActive() && (event->position().toPoint() - m_tripleClickAt).manhattanLength() <
                                             QApplication::startDragDistance()) {
            selectAll();
            copyToSelectionClipboard();
        } else {
            moveCursor(positionAt(x), event->modifiers() & Qt::ShiftModifier);
            m_selecting = true;
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        const QString selection = QGuiApplication::clipboard()->text(QClipboard::Selection);
        moveCursor(positionAt(x), false);
        if (!selection.isEmpty())
            insert(selection);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void LineEditor::mouseMoveEvent(QMouseEvent *event)
{
    if (m_selecting && (event->buttons() & Qt::LeftButton)) {
        moveCursor(positionAt(event->position().x()), true);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void LineEditor::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_selecting) {
        m_selecting = false;
        copyToSelectionClipboard();
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void LineEditor::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    const auto [first, last] = TextBounds::wordAt(m_text, positionAt(event->position().x()));
    setSelection(first, last - first);
    copyToSelectionClipboard();
    m_tripleClickAt = event->position().toPoint();
    m_tripleClick->start(QApplication::doubleClickInterval());
    event->accept();
}

void LineEditor::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
         reason == Qt::ShortcutFocusReason) &&
        !hasSelectedText())
        selectAll();
    restartBlink();
    update();
    QWidget::focusInEvent(event);
}

void LineEditor::focusOutEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        deselect();
    if (!m_preedit.isEmpty()) {
        m_preedit.clear();
        m_from = -1;
        relayout({m_cursor, m_cursorScreenX});
    }
    m_blink->stop();
    m_cursorOn = false;
    m_selecting = false;
    update();
    QWidget::focusOutEvent(event);
}

QMenu *LineEditor::createStandardContextMenu()
{
    auto *menu = new QMenu(this);
    const auto add = [this, menu](const QString &title, bool enabled, auto slot) {
        QAction *action = menu->addAction(title);
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(withShortcut(tr("&Undo"), QKeySequence::Undo), isUndoAvailable(), &LineEditor::undo);
    add(withShortcut(tr("&Redo"), QKeySequence::Redo), isRedoAvailable(), &LineEditor::redo);
    menu->addSeparator();
    add(withShortcut(tr("Cu&t"), QKeySequence::Cut), hasSelectedText(), &LineEditor::cut);
    add(withShortcut(tr("&Copy"), QKeySequence::Copy), hasSelectedText(), &LineEditor::copy);
    add(withShortcut(tr("&Paste"), QKeySequence::Paste), !QGuiApplication::clipboard()->text().isEmpty(),
        &LineEditor::paste);
    add(tr("Delete"), hasSelectedText(), &LineEditor::removeSelection);
    menu->addSeparator();
    add(withShortcut(tr("Select All"), QKeySequence::SelectAll),
        !m_text.isEmpty() && !(selectionStart() == 0 && selectionEnd() == m_text.size()),
        &LineEditor::selectAll);
    return menu;
}

void LineEditor::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void LineEditor::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void LineEditor::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void LineEditor::dropEvent(QDropEvent *event)
{
    if (!event->mimeData()->hasText())
        return;
    moveCursor(positionAt(event->position().x()), false);
    insert(event->mimeData()->text());
    event->acceptProposedAction();
    setFocus(Qt::MouseFocusReason);
}
