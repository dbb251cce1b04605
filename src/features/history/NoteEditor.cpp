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

// Backspace and Delete next to a soft boundary remove the character beyond it, as they do at
// any other place where a line wraps. True when the key was handled.
bool eraseAcrossSoftBoundary(QPlainTextEdit *field, const QKeyEvent *key)
{
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    QTextCursor cursor = field->textCursor();
    if (cursor.hasSelection())
        return false;
    const QTextBlock block = cursor.block();
    QTextBlock joined; // the block after the boundary that is crossed
    if (key->key() == Qt::Key_Backspace && cursor.positionInBlock() == 0 && NoteDocument::startsSoft(block)) {
        joined = block;
        cursor.setPosition(block.position() - 1);
        cursor.beginEditBlock();
        cursor.deletePreviousChar();
    } else if (key->key() == Qt::Key_Delete && cursor.atBlockEnd() &&
               NoteDocument::startsSoft(block.next())) {
        joined = block.next();
        cursor.beginEditBlock();
        cursor.setPosition(joined.position());
        cursor.deleteChar();
        cursor.setPosition(joined.position() - 1);
    } else {
        return false;
    }
    // A block left empty beside a soft boundary would show as an empty line: join it.
    const QTextBlock before = joined.previous();
    if (joined.text().isEmpty() || before.text().isEmpty()) {
        QTextCursor join(joined);
        join.deletePreviousChar();
    }
    cursor.endEditBlock();
    field->setTextCursor(cursor);
    return true;
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
            if (eraseAcrossSoftBoundary(m_field, key))
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
