#pragma once

#include <QClipboard>
#include <QList>
#include <QPoint>
#include <QPointer>
#include <QTextLayout>
#include <QValidator>
#include <QWidget>

class QMenu;
class QTimer;

// The one-line editor inside the kit's text field. It holds the whole text but lays out only the
// stretch around the cursor that the field can show, so a field holding a pasted megabyte costs
// no more per key, paint or cursor blink than one holding a word. Editing follows Qt's line
// edit: the platform's key bindings, undo and redo, the clipboard and the X11 selection, the
// context menu, input methods, drops and the accessibility text interface.
class LineEditor : public QWidget
{
    Q_OBJECT
public:
    explicit LineEditor(QWidget *parent = nullptr);
    ~LineEditor() override;

    QString text() const { return m_text; }
    // Replaces the text (no undo step, no textEdited()); the cursor goes to the end.
    void setText(const QString &text);
    QString placeholderText() const { return m_placeholder; }
    void setPlaceholderText(const QString &text);
    // Edits that the validator calls Invalid are refused whole, with inputRejected().
    void setValidator(const QValidator *validator);
    const QValidator *validator() const { return m_validator; }

    qsizetype cursorPosition() const { return m_cursor; }
    void setCursorPosition(qsizetype pos);
    bool hasSelectedText() const { return m_cursor != m_anchor; }
    QString selectedText() const;
    qsizetype selectionStart() const { return hasSelectedText() ? std::min(m_cursor, m_anchor) : -1; }
    qsizetype selectionEnd() const { return hasSelectedText() ? std::max(m_cursor, m_anchor) : -1; }
    void setSelection(qsizetype start, qsizetype length);
    bool isUndoAvailable() const { return m_done > 0; }
    bool isRedoAvailable() const { return m_done < m_steps.size(); }
    bool hasAcceptableInput() const;

    // The part of the text that is laid out for display: [first, second).
    std::pair<qsizetype, qsizetype> laidOutSpan() const { return {m_from, m_to}; }
    QRect cursorRect() const;
    QMenu *createStandardContextMenu();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

public Q_SLOTS:
    void clear();
    void selectAll();
    void deselect();
    void undo();
    void redo();
    void cut();
    void copy() const;
    void paste();
    // Puts `text` in place of the selection, or at the cursor (one undo step).
    void insert(const QString &text);

Q_SIGNALS:
    void textChanged(const QString &text);
    // Only for changes the user made (typing, deleting, pasting, dropping).
    void textEdited(const QString &text);
    void returnPressed();
    void inputRejected();
    void cursorPositionChanged(qsizetype oldPos, qsizetype newPos);
    void selectionChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    friend class LineEditorAccessible;

    enum class Merge
    {
        none,
        typing,
        erasing,
    };
    struct Step
    {
        qsizetype at;
        QString removed;
        QString inserted;
        qsizetype cursorBefore;
        qsizetype anchorBefore;
        Merge merge;
    };
    // Where the view was pinned before a change: a text position and its x in the field (NaN
    // when it is not known, e.g. it was never laid out).
    struct Pin
    {
        qsizetype pos;
        qreal x;
    };

    bool replace(qsizetype from, qsizetype to, const QString &with, Merge merge);
    // Puts `text` in place (the change at `at`: `removed` out, `inserted` in), keeps the text
    // before it where it was on screen, and tells everyone.
    void apply(QString text, qsizetype at, const QString &removed, const QString &inserted, qsizetype cursor,
               qsizetype anchor, bool edited);
    void moveCursor(qsizetype pos, bool select);
    void removeSelection();
    void backspace();
    void del();
    // Erases the word before (direction < 0) or after the cursor, or only the selection.
    void eraseWord(int direction);
    void pasteFrom(QClipboard::Mode mode);
    bool handleKey(QKeyEvent *event);
    static bool isEditingShortcut(QKeyEvent *event);
    bool isAcceptableInput(const QKeyEvent *event) const;
    bool accepts(const QString &candidate, qsizetype cursor) const;
    void copyToSelectionClipboard() const;

    QRectF lineRect() const;
    Pin pinAt(qsizetype pos) const;
    void relayout(Pin pin);
    void layoutSpan(qsizetype from, qsizetype to);
    qreal cursorX() const;
    qsizetype positionAt(qreal x) const;
    // The box of the character at `pos` while it is laid out; empty otherwise.
    QRect characterRect(qsizetype pos) const;
    std::pair<qsizetype, qsizetype> surroundingSpan() const;
    void restartBlink();
    void viewChanged(Pin pin);
    void notifyCursor(qsizetype oldCursor, qsizetype oldAnchor);

    QString m_text;
    QString m_placeholder;
    QPointer<const QValidator> m_validator;
    qsizetype m_cursor = 0;
    qsizetype m_anchor = 0;
    bool m_rightToLeft = false;

    QList<Step> m_steps;
    qsizetype m_done = 0;
    bool m_mergeOpen = false;

    QString m_preedit;
    qsizetype m_preeditCursor = 0;
    bool m_preeditCursorShown = true;
    QList<QTextLayout::FormatRange> m_preeditFormats;

    // The laid-out span [m_from, m_to) and where it sits: x of the field's left edge in the
    // span's line.
    QTextLayout m_layout;
    qsizetype m_from = -1; // -1 until laid out, and after a change that the layout does not show yet
    qsizetype m_to = -1;
    qreal m_scroll = 0;
    qreal m_cursorScreenX = 0;

    QTimer *m_blink;
    bool m_cursorOn = false;
    bool m_selecting = false;
    QPoint m_tripleClickAt;
    QTimer *m_tripleClick;
};
