#include "ui/LineEditorAccessible.h"

#include "ui/LineEditor.h"

#include <QWidget>

namespace {

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("LineEditor") && object && object->isWidgetType())
        return new LineEditorAccessible(static_cast<LineEditor *>(object));
    return nullptr;
}

} // namespace

LineEditorAccessible::LineEditorAccessible(LineEditor *editor)
    : QAccessibleWidget(editor, QAccessible::EditableText)
{
}

void LineEditorAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
}

LineEditor *LineEditorAccessible::editor() const
{
    return static_cast<LineEditor *>(widget());
}

QString LineEditorAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: {
        const QString name = QAccessibleWidget::text(t);
        return name.isEmpty() ? editor()->placeholderText() : name;
    }
    case QAccessible::Value:
        return editor()->text();
    default:
        return QAccessibleWidget::text(t);
    }
}

void LineEditorAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    replaceText(0, characterCount(), text);
}

QAccessible::State LineEditorAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.editable = true;
    s.selectableText = true;
    return s;
}

void *LineEditorAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

void LineEditorAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && editor()->hasSelectedText()) {
        *startOffset = int(editor()->selectionStart());
        *endOffset = int(editor()->selectionEnd());
    }
}

int LineEditorAccessible::selectionCount() const
{
    return editor()->hasSelectedText() ? 1 : 0;
}

void LineEditorAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void LineEditorAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        editor()->deselect();
}

void LineEditorAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        editor()->setSelection(startOffset, endOffset - startOffset);
}

int LineEditorAccessible::cursorPosition() const
{
    return int(editor()->cursorPosition());
}

void LineEditorAccessible::setCursorPosition(int position)
{
    editor()->setCursorPosition(position);
}

QString LineEditorAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return QString();
    return editor()->text().mid(startOffset, endOffset - startOffset);
}

int LineEditorAccessible::characterCount() const
{
    return int(editor()->text().size());
}

QRect LineEditorAccessible::characterRect(int offset) const
{
    // Only the laid-out stretch has places on screen.
    const QRect r = editor()->characterRect(offset);
    return r.isEmpty() ? QRect() : QRect(editor()->mapToGlobal(r.topLeft()), r.size());
}

int LineEditorAccessible::offsetAtPoint(const QPoint &point) const
{
    const QPoint local = editor()->mapFromGlobal(point);
    if (!editor()->rect().contains(local))
        return -1;
    return int(editor()->positionAt(local.x()));
}

void LineEditorAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(startIndex);
    editor()->setCursorPosition(endIndex);
}

QString LineEditorAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    Q_UNUSED(offset);
    *startOffset = 0;
    *endOffset = characterCount();
    return QString();
}

void LineEditorAccessible::deleteText(int startOffset, int endOffset)
{
    replaceText(startOffset, endOffset, QString());
}

void LineEditorAccessible::insertText(int offset, const QString &text)
{
    replaceText(offset, offset, text);
}

void LineEditorAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    editor()->setSelection(startOffset, endOffset - startOffset);
    editor()->insert(text);
}
