#pragma once

#include "features/history/NoteDocument.h"
#include "features/history/NoteEditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QtTest>
#include <functional>

// Keys pressed at a soft cut of the note editor, each row against the same key pressed in a plain
// Qt text edit holding the same line without cuts: what the key does where no cut is near. The
// rows follow the platform's key bindings, so the table runs offscreen and under X11 alike.
namespace NoteKeyTable {

// A note whose middle line is long enough to be cut.
struct Content
{
    QByteArray name;
    QString before, line, after;
    // Whether its cuts can fall between grapheme clusters (none is far longer than a block).
    bool betweenClusters = true;
};

inline QString times(const QString &piece, int count)
{
    return piece.repeated(count);
}

inline QString xs(int count)
{
    return QString(count, u'x');
}

// Every separator a note may hold, each one a block break of its own kind.
inline const QList<std::pair<QByteArray, QString>> &separators()
{
    static const QList<std::pair<QByteArray, QString>> all{
        {"\\n", QStringLiteral("\n")},      {"\\r", QStringLiteral("\r")},
        {"\\r\\n", QStringLiteral("\r\n")}, {"U+2029", QString(QChar::ParagraphSeparator)},
        {"U+FDD0", QString(QChar(0xfdd0))}, {"U+FDD1", QString(QChar(0xfdd1))},
    };
    return all;
}

inline const QList<Content> &contents()
{
    static const QList<Content> all = [] {
        const QString mark(QChar(0x0301)), grin = QStringLiteral("\U0001F600"),
                                           thumb = QStringLiteral("\U0001F44D"),
                                           tone = QStringLiteral("\U0001F3FD"), zwj(QChar(0x200D)),
                                           flag = QStringLiteral("\U0001F1E9\U0001F1EA");
        QList<Content> list{
            {"plain text", {}, xs(4000), {}},
            {"words", {}, times(QStringLiteral("the build again "), 300), {}},
            {"a blank", {}, xs(2040) + u' ' + xs(2000), {}},
            {"a blank carrying a mark", {}, xs(2040) + u' ' + mark + xs(2000), {}},
            {"a pair ending at the cut", {}, xs(2046) + grin + xs(2000), {}},
            {"a pair across the cut", {}, xs(2047) + grin + xs(2000), {}},
            {"a pair starting at the cut", {}, xs(2048) + grin + xs(2000), {}},
            {"a combining run", {}, xs(2000) + u'e' + times(mark, 100) + xs(2000), {}},
            {"a modifier run", {}, xs(2000) + thumb + times(tone, 100) + xs(2000), {}},
            {"regional indicators", {}, xs(1702) + times(flag, 150) + xs(2000), {}},
            // Clusters far longer than a block: the cut lies inside them, between code points.
            {"a long combining run", {}, xs(1500) + u'e' + times(mark, 1000) + xs(2000), {}, false},
            {"a long modifier run", {}, xs(1750) + thumb + times(tone, 300) + xs(2000), {}, false},
            {"a ZWJ chain", {}, xs(1750) + times(grin + zwj, 190) + grin + xs(2000), {}, false},
        };
        for (const auto &[name, separator] : separators())
            list.append({"a line between " + name, u'a' + separator, xs(4000), separator + u'b'});
        return list;
    }();
    return all;
}

inline QKeyCombination binding(QKeySequence::StandardKey key)
{
    const QList<QKeySequence> keys = QKeySequence::keyBindings(key);
    return keys.isEmpty() ? QKeyCombination() : keys.first()[0];
}

inline void press(QWidget *widget, QKeyCombination key, int count = 1)
{
    for (int i = 0; i < count; ++i)
        QTest::keyClick(widget, key.key(), key.keyboardModifiers());
}

struct Key
{
    QByteArray name;
    std::function<void(QWidget *)> press;
};

// The keys that change the text, as a user presses them (undo and redo follow each of them).
inline const QList<Key> &keys()
{
    static const QList<Key> all = [] {
        QList<Key> list{
            {"Backspace", [](QWidget *w) { press(w, Qt::Key_Backspace); }},
            {"Backspace x3", [](QWidget *w) { press(w, Qt::Key_Backspace, 3); }},
            {"Shift+Backspace", [](QWidget *w) { press(w, Qt::ShiftModifier | Qt::Key_Backspace); }},
            {"Delete", [](QWidget *w) { press(w, Qt::Key_Delete); }},
            {"Delete x3", [](QWidget *w) { press(w, Qt::Key_Delete, 3); }},
            {"Ctrl+Backspace", [](QWidget *w) { press(w, Qt::ControlModifier | Qt::Key_Backspace); }},
            {"Ctrl+Delete", [](QWidget *w) { press(w, Qt::ControlModifier | Qt::Key_Delete); }},
            {"typing", [](QWidget *w) { QTest::keyClicks(w, QStringLiteral("Z")); }},
            {"paste",
             [](QWidget *w) {
                 QGuiApplication::clipboard()->setText(QStringLiteral("Z\u0301\U0001F600"));
                 press(w, binding(QKeySequence::Paste));
             }},
        };
        // Bound where the platform has them (X11: Ctrl+K, Ctrl+D), not everywhere.
        for (const auto &[name, key] : {std::pair("delete to the line's end", QKeySequence::DeleteEndOfLine),
                                        std::pair("Delete's second key", QKeySequence::Delete)}) {
            const QList<QKeySequence> bound = QKeySequence::keyBindings(key);
            const QKeySequence last = bound.isEmpty() ? QKeySequence() : bound.last();
            if (!last.isEmpty() && last[0] != QKeyCombination(Qt::Key_Delete))
                list.append({name, [last](QWidget *w) { press(w, last[0]); }});
        }
        return list;
    }();
    return all;
}

inline const QList<Key> &moves()
{
    static const QList<Key> all{
        {"Right", [](QWidget *w) { press(w, Qt::Key_Right); }},
        {"Left", [](QWidget *w) { press(w, Qt::Key_Left); }},
        {"Shift+Right", [](QWidget *w) { press(w, Qt::ShiftModifier | Qt::Key_Right); }},
        {"Shift+Left", [](QWidget *w) { press(w, Qt::ShiftModifier | Qt::Key_Left); }},
        {"Ctrl+Right", [](QWidget *w) { press(w, Qt::ControlModifier | Qt::Key_Right); }},
        {"Ctrl+Left", [](QWidget *w) { press(w, Qt::ControlModifier | Qt::Key_Left); }},
        {"Right x2", [](QWidget *w) { press(w, Qt::Key_Right, 2); }},
        {"Left x2", [](QWidget *w) { press(w, Qt::Key_Left, 2); }},
    };
    return all;
}

// Where a document position stands in the note.
inline int noteOffset(const QTextDocument &document, int position)
{
    return int(NoteDocument::text(document, 0, position).size());
}

// The first soft cut of the document.
inline QTextBlock firstCut(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (NoteDocument::startsSoft(block))
            return block;
    return {};
}

// Where the first cut of the note's long line stands in that line.
inline int cutInLine(const Content &content)
{
    QTextDocument document;
    NoteDocument::setText(document, content.before + content.line + content.after);
    const QTextBlock cut = firstCut(document);
    return cut.isValid() ? noteOffset(document, cut.position()) - int(content.before.size()) : -1;
}

// A plain text edit holding the long line alone, the caret at `at` (a key at the cut never reaches
// the lines around it).
struct Plain
{
    QPlainTextEdit edit;
    Plain(const QString &line, int at)
    {
        edit.setPlainText(line);
        QTextCursor cursor(edit.document());
        cursor.setPosition(at);
        edit.setTextCursor(cursor);
    }
    QString line() const
    {
        QString raw = edit.document()->toRawText();
        if (raw.endsWith(QChar::ParagraphSeparator))
            raw.chop(1);
        return raw;
    }
};

// The first difference of two notes as UTF-8, for a readable failure.
inline QByteArray difference(const QString &actual, const QString &expected)
{
    const QByteArray a = actual.toUtf8(), e = expected.toUtf8();
    qsizetype i = 0;
    while (i < a.size() && i < e.size() && a[i] == e[i])
        ++i;
    const qsizetype from = qMax<qsizetype>(0, i - 8);
    return "first difference at byte " + QByteArray::number(i) + " of " + QByteArray::number(a.size()) + "/" +
           QByteArray::number(e.size()) + ": got [" + a.mid(from, 24).toHex(' ') + "] expected [" +
           e.mid(from, 24).toHex(' ') + "]";
}

// A block that stands for nothing but would show as an empty line.
inline QByteArray emptyLineAtACut(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.length() == 1 &&
            (NoteDocument::startsSoft(block) || NoteDocument::startsSoft(block.next())))
            return "empty block " + QByteArray::number(block.blockNumber()) + " beside a cut";
    return {};
}

// The note editor holding the content, its caret at the end of the block before the first cut or
// at the start of the one after it.
struct Editor
{
    NoteEditor editor;
    Editor(const Content &content, bool afterCut) : editor(content.before + content.line + content.after)
    {
        editor.resize(420, 320);
        editor.show();
        const QTextBlock cut = firstCut(document());
        QTextCursor cursor(editor.field()->document());
        cursor.setPosition(afterCut ? cut.position() : cut.position() - 1);
        editor.field()->setTextCursor(cursor);
    }
    QPlainTextEdit *field() const { return editor.field(); }
    const QTextDocument &document() const { return *editor.field()->document(); }
};

inline void addKeyRows()
{
    QTest::addColumn<int>("content");
    QTest::addColumn<bool>("afterCut");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("undone");
    QTest::addColumn<QString>("redone");
    const QKeyCombination undo = binding(QKeySequence::Undo), redo = binding(QKeySequence::Redo);
    for (int c = 0; c < contents().size(); ++c) {
        const Content &content = contents().at(c);
        const int at = cutInLine(content);
        QVERIFY(at > 0 && at < content.line.size());
        for (int k = 0; k < keys().size(); ++k) {
            Plain plain(content.line, at);
            keys().at(k).press(&plain.edit);
            const QString pressed = content.before + plain.line() + content.after;
            const int caret = int(content.before.size()) + plain.edit.textCursor().position();
            press(&plain.edit, undo);
            const QString undone = content.before + plain.line() + content.after;
            press(&plain.edit, redo);
            const QString redone = content.before + plain.line() + content.after;
            for (const bool afterCut : {false, true})
                QTest::addRow("%s, %s the cut, %s", content.name.constData(), afterCut ? "after" : "before",
                              keys().at(k).name.constData())
                    << c << afterCut << k << pressed << caret << undone << redone;
        }
    }
}

inline void checkKeyRow()
{
    QFETCH(int, content);
    QFETCH(bool, afterCut);
    QFETCH(int, key);
    QFETCH(QString, pressed);
    QFETCH(int, caret);
    QFETCH(QString, undone);
    QFETCH(QString, redone);
    const Content &c = contents().at(content);
    Editor at(c, afterCut);
    QSignalSpy edits(&at.editor, &NoteEditor::textEdited);
    // As the store keeps it: UTF-8 that decodes to the same note (a split pair would not).
    const auto stored = [&] { return QString::fromUtf8(at.editor.text().toUtf8()); };

    keys().at(key).press(at.field());
    QVERIFY2(stored() == pressed, difference(stored(), pressed));
    QCOMPARE(noteOffset(at.document(), at.field()->textCursor().position()), caret);
    QCOMPARE(emptyLineAtACut(at.document()), QByteArray());
    QCOMPARE(edits.isEmpty(), pressed == c.before + c.line + c.after);

    press(at.field(), binding(QKeySequence::Undo));
    QVERIFY2(stored() == undone, difference(stored(), undone));
    press(at.field(), binding(QKeySequence::Redo));
    QVERIFY2(stored() == redone, difference(stored(), redone));
    QCOMPARE(emptyLineAtACut(at.document()), QByteArray());
}

inline void addMoveRows()
{
    QTest::addColumn<int>("content");
    QTest::addColumn<bool>("afterCut");
    QTest::addColumn<int>("move");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    for (int c = 0; c < contents().size(); ++c) {
        const Content &content = contents().at(c);
        const int at = cutInLine(content);
        for (int m = 0; m < moves().size(); ++m) {
            Plain plain(content.line, at);
            moves().at(m).press(&plain.edit);
            const QTextCursor moved = plain.edit.textCursor();
            for (const bool afterCut : {false, true})
                QTest::addRow("%s, %s the cut, %s", content.name.constData(), afterCut ? "after" : "before",
                              moves().at(m).name.constData())
                    << c << afterCut << m << int(content.before.size()) + moved.anchor()
                    << int(content.before.size()) + moved.position();
        }
    }
}

inline void checkMoveRow()
{
    QFETCH(int, content);
    QFETCH(bool, afterCut);
    QFETCH(int, move);
    QFETCH(int, anchor);
    QFETCH(int, position);
    Editor at(contents().at(content), afterCut);
    moves().at(move).press(at.field());
    const QTextCursor moved = at.field()->textCursor();
    QCOMPARE(noteOffset(at.document(), moved.anchor()), anchor);
    QCOMPARE(noteOffset(at.document(), moved.position()), position);
}

} // namespace NoteKeyTable
