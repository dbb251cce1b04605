#pragma once

#include "ui/LineEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QtTest>
#include <optional>

// Scripts of keys typed into the line editor and into Qt's line edit, compared after every key:
// text, cursor, selection, the clipboard and the X11 selection. The keys go through the platform's
// key bindings, so the table runs offscreen (Windows bindings, no X11 selection) and under X11.
namespace LineEditorKeyTable {

// Sends one step of a script to a widget: "=text" types the text as one key press (as an input
// method commits a word), anything else is a key sequence such as "Ctrl+Shift+Left".
inline void play(QWidget *target, const QString &step)
{
    if (step.startsWith(u'=')) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, step.mid(1));
        QApplication::sendEvent(target, &press);
        return;
    }
    const QKeyCombination key = QKeySequence(step)[0];
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

// What the field keeps where Qt's line edit does something less kind.
struct Kept
{
    QString text;
    int cursor;
    QString selected;

    bool operator==(const Kept &) const = default;
};

struct State
{
    QString text;
    qsizetype cursor;
    QString selected, clipboard, primary;

    bool operator==(const State &) const = default;
    QByteArray toString() const
    {
        return QStringLiteral("text \"%1\", cursor %2, selected \"%3\", clipboard \"%4\", selection \"%5\"")
            .arg(text)
            .arg(cursor)
            .arg(selected, clipboard, primary)
            .toUtf8();
    }
};

inline QString primary()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    return clipboard->supportsSelection() ? clipboard->text(QClipboard::Selection) : QString();
}

// Both boards hold a text of their own before a script starts, so that a key that leaves them alone
// is told from one that writes them.
inline void resetClipboards()
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("CLIP"));
    if (clipboard->supportsSelection())
        clipboard->setText(QStringLiteral("PRIM"), QClipboard::Selection);
}

inline State stateOf(const QLineEdit &edit)
{
    return {edit.text(), edit.cursorPosition(), edit.selectedText(), QGuiApplication::clipboard()->text(),
            primary()};
}

inline State stateOf(const LineEditor &edit)
{
    return {edit.text(), edit.cursorPosition(), edit.selectedText(), QGuiApplication::clipboard()->text(),
            primary()};
}

inline void addColumns()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QStringList>("script");
    // Set where the script's last key is one of the field's deliberate differences.
    QTest::addColumn<std::optional<Kept>>("kept");
}

inline void addRow(const char *name, const QString &start, int cursor, const QStringList &script)
{
    QTest::newRow(name) << start << cursor << cursor << script << std::optional<Kept>();
}

// Scripts of several keys, each showing one rule.
inline void addScriptRows()
{
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
    addRow("typing at the cursor", QStringLiteral("printer"), 3, {"=xy", "=z"});
    addRow("backspace erases the accent first", QStringLiteral("cafe\u0301s"), 5, {"Backspace"});
    addRow("backspace erases a surrogate pair whole", QStringLiteral("a\U0001F921"), 3, {"Backspace"});
    addRow("delete takes a joined family whole", QStringLiteral("a") + family + "b", 1, {"Delete"});
    addRow("arrows step over clusters", QStringLiteral("a\U0001F44D\U0001F3FD\U0001F1E9\U0001F1EAe\u0301b"),
           0, {"Right", "Right", "Right", "Right", "Left", "Shift+Left", "Shift+Left"});
    addRow("word steps stop at punctuation and blanks", QStringLiteral("one two,three  four.five"), 0,
           {"Ctrl+Right", "Ctrl+Right", "Ctrl+Right", "Ctrl+Right", "Ctrl+Left", "Ctrl+Left"});
    addRow("a selected word is replaced by typing", QStringLiteral("alpha beta gamma"), 6,
           {"Ctrl+Shift+Right", "=X"});
    addRow("home and end select", QStringLiteral("alpha beta"), 5, {"Shift+Home", "Shift+End"});
    addRow("select all and type", QStringLiteral("alpha"), 2, {"Ctrl+A", "=b"});
    addRow("arrows collapse a selection", QStringLiteral("alpha beta"), 3,
           {"Shift+Right", "Shift+Right", "Left"});
    addRow("ctrl backspace and ctrl delete take words", QStringLiteral("alpha beta gamma"), 8,
           {"Ctrl+Backspace", "Ctrl+Del"});
    addRow("word erasers over blanks and punctuation", QStringLiteral("one  two,three"), 14,
           {"Ctrl+Backspace", "Ctrl+Shift+Backspace", "Home", "Ctrl+Delete", "Ctrl+Delete"});
    addRow("undo takes back a typed run, redo brings it", QString(), 0,
           {"=a", "=b", "=c", "Ctrl+Z", "Ctrl+Shift+Z"});
    addRow("undo after a move takes back the last run only", QStringLiteral("x"), 1,
           {"=ab", "Left", "=c", "Ctrl+Z"});
    addRow("undo of an erasing run", QStringLiteral("alpha"), 5, {"Backspace", "Backspace", "Ctrl+Z"});
    addRow("undo of a run erased with modifiers held", QStringLiteral("alpha beta"), 10,
           {"Alt+Backspace", "Shift+Backspace", "Alt+Backspace", "Ctrl+Z", "Ctrl+Shift+Z"});
    addRow("undo of words erased one after another", QStringLiteral("one two three"), 13,
           {"Ctrl+Backspace", "Ctrl+Shift+Backspace", "Ctrl+Z", "Ctrl+Z"});
    // Qt's line edit redoes the first erasure and then selects the word the second one took.
    QTest::newRow("redo of the first of two words erased")
        << QStringLiteral("one two three") << 13 << 13
        << QStringList{"Ctrl+Backspace", "Ctrl+Backspace", "Ctrl+Z", "Ctrl+Z", "Ctrl+Shift+Z"}
        << std::optional<Kept>(Kept{QStringLiteral("one two "), 8, {}});
    addRow("undo of a replaced selection", QStringLiteral("alpha beta"), 0, {"Shift+End", "=z", "Ctrl+Z"});
    addRow("undo brings a selection back, and the selection board with it", QStringLiteral("alpha beta"), 0,
           {"Shift+End", "Delete", "Ctrl+Z"});
    addRow("right to left text: arrows follow the screen", QStringLiteral("\u05E9\u05DC\u05D5\u05DD abc"), 2,
           {"Right", "Left", "Left", "End"});
    addRow("nothing to erase at the ends", QStringLiteral("ab"), 0, {"Backspace", "End", "Delete"});
    addRow("cut and paste back", QStringLiteral("alpha beta"), 10,
           {"Ctrl+Shift+Left", "Ctrl+X", "Home", "Ctrl+V"});
    addRow("select all, copy, paste over the selection", QStringLiteral("alpha"), 0,
           {"Ctrl+A", "Ctrl+C", "End", "Ctrl+V"});
}

// Each key alone, from a cursor in a word, from a word selected either way and from both ends, then
// undone and redone.
inline void addKeyRows()
{
    const QString text = QStringLiteral("alpha beta gamma");
    struct Start
    {
        const char *name;
        int anchor, cursor;
    };
    static const Start starts[] = {
        {"in a word", 8, 8},
        {"a word selected forwards", 6, 10},
        {"a word selected backwards", 10, 6},
        {"at the start", 0, 0},
        {"at the end", 16, 16},
    };
    // Select All; Backspace and Delete with each modifier; the ends; moves; the keys of X11's
    // bindings (Ctrl+K, Ctrl+U, Ctrl+E, Ctrl+D, Ctrl+Shift+Insert; unbound offscreen); the clipboard;
    // undo with nothing to undo; keys bound to nothing a line edit does (Deselect, Replace).
    const QStringList keys =
        QStringLiteral("Ctrl+A "
                       "Backspace Shift+Backspace Alt+Backspace Meta+Backspace Alt+Shift+Backspace "
                       "Ctrl+Backspace Ctrl+Shift+Backspace Ctrl+Alt+Backspace "
                       "Delete Shift+Delete Ctrl+Delete Ctrl+Shift+Delete Alt+Delete "
                       "Home End Shift+Home Shift+End Ctrl+Home Ctrl+End Ctrl+Shift+Home Ctrl+Shift+End "
                       "Left Right Shift+Left Ctrl+Left Ctrl+Shift+Right "
                       "Ctrl+K Ctrl+U Ctrl+E Ctrl+D "
                       "Ctrl+C Ctrl+X Ctrl+V Ctrl+Insert Shift+Insert Ctrl+Shift+Insert "
                       "Ctrl+Z Ctrl+Shift+A Ctrl+H")
            .split(u' ');
    // The field's deliberate differences. Ctrl+Home and Ctrl+End (with Shift: select) reach the
    // ends, where Qt's line edit does nothing. A word eraser with a selection erases only the
    // selection, where Qt's moves the cursor a word first and erases what is then selected: for a
    // word selected forwards Ctrl+Backspace erases nothing, Ctrl+Shift+Backspace the word's first
    // letter and Ctrl+Delete the blank after it too; selected backwards, Ctrl+Backspace erases the
    // word before it too and Ctrl+Delete only the blank after it. At the start Ctrl+Shift+Backspace
    // and Ctrl+Alt+Backspace erase nothing, where Qt's erases the first letter.
    const Kept selectionErased{QStringLiteral("alpha  gamma"), 6, {}};
    const QHash<QByteArray, Kept> kept{
        {"Ctrl+Home/in a word", {text, 0, {}}},
        {"Ctrl+Home/a word selected forwards", {text, 0, {}}},
        {"Ctrl+Home/a word selected backwards", {text, 0, {}}},
        {"Ctrl+Home/at the end", {text, 0, {}}},
        {"Ctrl+End/in a word", {text, 16, {}}},
        {"Ctrl+End/a word selected forwards", {text, 16, {}}},
        {"Ctrl+End/a word selected backwards", {text, 16, {}}},
        {"Ctrl+End/at the start", {text, 16, {}}},
        {"Ctrl+Shift+Home/in a word", {text, 0, QStringLiteral("alpha be")}},
        {"Ctrl+Shift+Home/a word selected forwards", {text, 0, QStringLiteral("alpha ")}},
        {"Ctrl+Shift+Home/a word selected backwards", {text, 0, QStringLiteral("alpha beta")}},
        {"Ctrl+Shift+Home/at the end", {text, 0, text}},
        {"Ctrl+Shift+End/in a word", {text, 16, QStringLiteral("ta gamma")}},
        {"Ctrl+Shift+End/a word selected forwards", {text, 16, QStringLiteral("beta gamma")}},
        {"Ctrl+Shift+End/a word selected backwards", {text, 16, QStringLiteral(" gamma")}},
        {"Ctrl+Shift+End/at the start", {text, 16, text}},
        {"Ctrl+Backspace/a word selected forwards", selectionErased},
        {"Ctrl+Backspace/a word selected backwards", selectionErased},
        {"Ctrl+Shift+Backspace/a word selected forwards", selectionErased},
        {"Ctrl+Shift+Backspace/a word selected backwards", selectionErased},
        {"Ctrl+Shift+Backspace/at the start", {text, 0, {}}},
        {"Ctrl+Alt+Backspace/a word selected forwards", selectionErased},
        {"Ctrl+Alt+Backspace/a word selected backwards", selectionErased},
        {"Ctrl+Alt+Backspace/at the start", {text, 0, {}}},
        {"Ctrl+Delete/a word selected forwards", selectionErased},
        {"Ctrl+Delete/a word selected backwards", selectionErased},
    };
    for (const QString &key : keys) {
        for (const Start &start : starts) {
            const QByteArray name = key.toUtf8() + '/' + start.name;
            const auto found = kept.constFind(name);
            if (found == kept.constEnd())
                QTest::newRow(name.constData())
                    << text << start.anchor << start.cursor << QStringList{key, "Ctrl+Z", "Ctrl+Shift+Z"}
                    << std::optional<Kept>();
            else
                QTest::newRow(name.constData()) << text << start.anchor << start.cursor << QStringList{key}
                                                << std::optional<Kept>(*found);
        }
    }
}

inline void addRows()
{
    addColumns();
    addScriptRows();
    addKeyRows();
}

inline void checkRow()
{
    QFETCH(QString, start);
    QFETCH(int, anchor);
    QFETCH(int, cursor);
    QFETCH(QStringList, script);
    QFETCH(std::optional<Kept>, kept);

    // One after the other, each from the same boards, since they share them.
    QLineEdit reference;
    reference.setText(start);
    reference.setSelection(anchor, cursor - anchor);
    if (anchor == cursor)
        reference.setCursorPosition(cursor);
    resetClipboards();
    QList<State> expected;
    for (const QString &step : script) {
        play(&reference, step);
        expected << stateOf(reference);
    }

    LineEditor editor;
    editor.setText(start);
    editor.setSelection(anchor, cursor - anchor);
    resetClipboards();
    const qsizetype compared = kept ? script.size() - 1 : script.size();
    for (qsizetype i = 0; i < compared; ++i) {
        play(&editor, script.at(i));
        const State actual = stateOf(editor);
        QVERIFY2(actual == expected.at(i), "after " + script.at(i).toUtf8() + ": " + actual.toString() +
                                               "\n   Qt's line edit: " + expected.at(i).toString());
    }
    if (!kept)
        return;

    // A deliberate difference at the last key: it must still be one, it writes neither board but
    // the selection it makes, and undo and redo take its change back and forth.
    const State before = stateOf(editor);
    play(&editor, script.last());
    const State ours{kept->text, kept->cursor, kept->selected, before.clipboard,
                     kept->selected.isEmpty() || !QGuiApplication::clipboard()->supportsSelection()
                         ? before.primary
                         : kept->selected};
    QVERIFY2(stateOf(editor) == ours, stateOf(editor).toString() + "\n   kept: " + ours.toString());
    QVERIFY2(expected.last() != ours, "Qt's line edit now does the same: " + ours.toString());
    play(&editor, QStringLiteral("Ctrl+Z"));
    QCOMPARE(editor.text(), before.text);
    play(&editor, QStringLiteral("Ctrl+Shift+Z"));
    QCOMPARE(editor.text(), kept->text);
}

} // namespace LineEditorKeyTable
