#include "features/history/NoteEditor.h"

#include "features/history/NoteDocument.h"
#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QtMath>
#include <optional>

namespace {

// Around the paper: the tape strip sticks out 7 above it, the soft shadow falls right and down.
constexpr int kTop = 8, kRight = 7, kBottom = 10, kLeft = 4;
constexpr int kPadX = 16, kPadTop = 18, kPadBottom = 14;
constexpr int kMinHeight = 96;
constexpr int kMinLines = 3, kMaxLines = 10;

QFont noteFont()
{
    return Fonts::marker(18);
}

QFont hintFont()
{
    return Fonts::mono(10, QFont::Bold);
}

// A plain text editor painted in the sticky note's ink, on nothing.
class NoteField : public QPlainTextEdit
{
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPalette pal = palette();
        const QColor ink = Theme::stickyInk;
        if (pal.color(QPalette::Text) != ink) {
            pal.setColor(QPalette::Text, ink);
            pal.setColor(QPalette::Highlight, Theme::redDark.resolve());
            pal.setColor(QPalette::HighlightedText, Qt::white);
            pal.setColor(QPalette::Base, Qt::transparent);
            pal.setColor(QPalette::Window, Qt::transparent);
            setPalette(pal);
        }
        QPlainTextEdit::paintEvent(event);
    }

    // Copies and drags carry the note's own characters, not Qt's rendering of them.
    QMimeData *createMimeDataFromSelection() const override
    {
        auto *data = new QMimeData;
        const QTextCursor cursor = textCursor();
        data->setText(NoteDocument::text(*document(), cursor.selectionStart(), cursor.selectionEnd()));
        return data;
    }

    // A paste of any length is cut into blocks as it goes in, so that it never lays out as one.
    void insertFromMimeData(const QMimeData *source) override
    {
        if (!source || !source->hasText())
            return;
        QTextCursor cursor = textCursor();
        NoteDocument::insert(cursor, source->text());
        setTextCursor(cursor);
        ensureCursorVisible();
    }
};

// The caret move of a key, as Qt's text edit reads it.
std::optional<std::pair<QTextCursor::MoveOperation, QTextCursor::MoveMode>> movementOf(const QKeyEvent *key)
{
    using Cursor = QTextCursor;
    static const struct
    {
        QKeySequence::StandardKey key;
        Cursor::MoveOperation operation;
        Cursor::MoveMode mode;
    } moves[] = {
        {QKeySequence::MoveToNextChar, Cursor::Right, Cursor::MoveAnchor},
        {QKeySequence::MoveToPreviousChar, Cursor::Left, Cursor::MoveAnchor},
        {QKeySequence::SelectNextChar, Cursor::Right, Cursor::KeepAnchor},
        {QKeySequence::SelectPreviousChar, Cursor::Left, Cursor::KeepAnchor},
        {QKeySequence::SelectNextWord, Cursor::WordRight, Cursor::KeepAnchor},
        {QKeySequence::SelectPreviousWord, Cursor::WordLeft, Cursor::KeepAnchor},
        {QKeySequence::MoveToNextWord, Cursor::WordRight, Cursor::MoveAnchor},
        {QKeySequence::MoveToPreviousWord, Cursor::WordLeft, Cursor::MoveAnchor},
    };
    for (const auto &move : moves)
        if (key->matches(move.key))
            return std::pair(move.operation, move.mode);
    return std::nullopt;
}

// Takes away what the key takes away at the field's cursor where a soft boundary is near; false
// where Qt's own handling of the key already does exactly that.
bool eraseAt(QPlainTextEdit *field, NoteDocument::Erase what)
{
    QTextCursor cursor = field->textCursor();
    if (!NoteDocument::erase(cursor, what))
        return false;
    field->setTextCursor(cursor);
    field->ensureCursorVisible();
    return true;
}

// Every key does next to a soft boundary what it does anywhere else in the note: the boundary
// stands for no character, so a key neither stops at it nor takes away only the part of a
// character or a word on its own side. The keys are read in the order Qt's text edit reads them.
// True when the key was handled here.
bool keyAcrossCuts(QPlainTextEdit *field, const QKeyEvent *key)
{
    using NoteDocument::Erase;
    if (key->matches(QKeySequence::SelectAll) || key->matches(QKeySequence::Copy))
        return false;
    if (const auto move = movementOf(key)) {
        // A step that only crossed a boundary lands where it started: Qt's step goes on from
        // the boundary's far side instead.
        QTextCursor cursor = field->textCursor(), step = cursor;
        step.setVisualNavigation(true);
        const int from = cursor.position();
        if (step.movePosition(move->first, move->second) && step.position() != from &&
            NoteDocument::text(*field->document(), qMin(step.position(), from), qMax(step.position(), from))
                .isEmpty()) {
            cursor.setPosition(step.position(), move->second);
            field->setTextCursor(cursor);
        }
        return false;
    }
    if (key->key() == Qt::Key_Backspace && !(key->modifiers() & ~Qt::ShiftModifier))
        return eraseAt(field, Erase::previousCharacter);
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        key->matches(QKeySequence::Paste))
        return false;
    if (key->matches(QKeySequence::Cut)) {
        if (!field->textCursor().hasSelection())
            return false;
        field->copy();
        return eraseAt(field, Erase::nextCharacter); // with a selection: the selection
    }
    static const std::pair<QKeySequence::StandardKey, Erase> erasures[] = {
        {QKeySequence::Delete, Erase::nextCharacter},
        {QKeySequence::Backspace, Erase::previousCharacter},
        {QKeySequence::DeleteEndOfWord, Erase::nextWord},
        {QKeySequence::DeleteStartOfWord, Erase::previousWord},
        {QKeySequence::DeleteEndOfLine, Erase::endOfLine},
    };
    for (const auto &[sequence, what] : erasures)
        if (key->matches(sequence))
            return eraseAt(field, what);
    return false;
}

} // namespace

const QString NoteEditor::placeholder = QStringLiteral("\u201CThe vorping simulator again.\u201D");

NoteEditor::NoteEditor(const QString &text, QWidget *parent) : QWidget(parent), m_field(new NoteField(this))
{
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_field->setFrameShape(QFrame::NoFrame);
    m_field->setFont(noteFont());
    m_field->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_field->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_field->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_field->setTabChangesFocus(true);
    m_field->setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; border: none; }"));
    m_field->viewport()->setAutoFillBackground(false);
    m_field->document()->setDocumentMargin(0);
    NoteDocument::setText(*m_field->document(), text);
    m_field->installEventFilter(this);
    connect(m_field, &QPlainTextEdit::textChanged, this, [this] {
        placeField();
        update();
        if (!m_settingText)
            Q_EMIT textEdited(this->text());
    });
}

QString NoteEditor::text() const
{
    return NoteDocument::text(*m_field->document());
}

void NoteEditor::setText(const QString &text)
{
    if (text == this->text())
        return;
    m_settingText = true;
    NoteDocument::setText(*m_field->document(), text);
    m_field->moveCursor(QTextCursor::Start);
    m_settingText = false;
}

bool NoteEditor::isEditing() const
{
    return m_editing;
}

QString NoteEditor::hint() const
{
    return m_editing ? QStringLiteral("\u21A9 to save") : QStringLiteral("click to write");
}

int NoteEditor::fieldHeight(int width) const
{
    const QFontMetricsF fm(noteFont());
    int lines = 0;
    // Count wrapped lines as the field will lay them out at this width, up to the most it shows.
    const qreal inner = qMax(10, width - kLeft - kRight - 2 * kPadX);
    QTextOption option;
    option.setWrapMode(m_field->wordWrapMode());
    for (QTextBlock block = m_field->document()->begin(); block.isValid() && lines < kMaxLines;
         block = block.next()) {
        QTextLayout l(block.text(), noteFont());
        l.setTextOption(option);
        l.beginLayout();
        int n = 0;
        for (QTextLine line = l.createLine(); line.isValid() && lines + n < kMaxLines;
             line = l.createLine()) {
            line.setLineWidth(inner);
            ++n;
        }
        l.endLayout();
        lines += qMax(1, n);
    }
    lines = qBound(kMinLines, lines, kMaxLines);
    return qCeil(lines * fm.lineSpacing()) + 4;
}

int NoteEditor::heightForWidth(int width) const
{
    return kTop + qMax(kMinHeight, kPadTop + fieldHeight(width) + kPadBottom) + kBottom;
}

QSize NoteEditor::sizeHint() const
{
    return QSize(300, heightForWidth(300));
}

QSize NoteEditor::minimumSizeHint() const
{
    return QSize(120, heightForWidth(120));
}

QRectF NoteEditor::paperRect() const
{
    return QRectF(kLeft, kTop, width() - kLeft - kRight, height() - kTop - kBottom);
}

void NoteEditor::placeField()
{
    const QRectF paper = paperRect();
    const int h = fieldHeight(width());
    m_field->setGeometry(qRound(paper.left() + kPadX), qRound(paper.top() + kPadTop),
                         qMax(10, qRound(paper.width() - 2 * kPadX)), h);
    if (heightForWidth(width()) != height())
        updateGeometry();
}

void NoteEditor::resizeEvent(QResizeEvent *)
{
    placeField();
}

void NoteEditor::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF paper = paperRect();
    Paint::softShadow(p, paper, 0, QColor(0, 0, 0, 51), 5, QPointF(1, 4));
    p.fillRect(paper, Theme::sticky.resolve());

    p.save();
    p.translate(paper.center().x(), paper.top());
    p.rotate(-1.5);
    p.fillRect(QRectF(-27, -7, 54, 14), QColor(255, 255, 255, 128));
    p.restore();

    if (m_field->document()->isEmpty()) {
        p.setFont(noteFont());
        p.setPen(Theme::stickyInk.opacity(0.38).resolve());
        const QRectF field = m_field->geometry();
        p.drawText(QRectF(field.left(), field.top(), paper.right() - kPadX - field.left(), field.height()),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, placeholder);
    }

    p.setFont(hintFont());
    p.setPen(Theme::stickyInk.opacity(0.45).resolve());
    p.drawText(paper.adjusted(8, 8, -8, -8), Qt::AlignRight | Qt::AlignBottom, hint());
}

void NoteEditor::mousePressEvent(QMouseEvent *event)
{
    // The whole note is the tap area.
    m_field->setFocus(Qt::MouseFocusReason);
    m_field->moveCursor(QTextCursor::End);
    QWidget::mousePressEvent(event);
}

bool NoteEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_field) {
        switch (event->type()) {
        case QEvent::KeyPress: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                // Return ends editing; the loss of focus commits.
                m_field->clearFocus();
                return true;
            }
            if (keyAcrossCuts(m_field, key))
                return true;
            break;
        }
        case QEvent::FocusIn:
            m_editing = true;
            update();
            break;
        case QEvent::FocusOut:
            // A focus that only left for a moment (a menu, another window) is still editing.
            if (static_cast<QFocusEvent *>(event)->reason() == Qt::ActiveWindowFocusReason ||
                static_cast<QFocusEvent *>(event)->reason() == Qt::PopupFocusReason)
                break;
            if (m_editing) {
                m_editing = false;
                update();
                Q_EMIT committed();
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
