#include "features/NoteKeyTable.h"
#include "features/history/NoteDocument.h"
#include "features/history/NoteEditor.h"

#include <QClipboard>
#include <QTextBoundaryFinder>

using namespace NoteKeyTable;

// The note editor holds a long line as blocks joined by soft cuts: where the cuts fall, what every
// key does at one (what a plain text edit does where no cut is near), and the separators around a
// selection that is replaced.
class TestNoteEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cutsFallBetweenCodePointsAndReadBackExactly_data();
    void cutsFallBetweenCodePointsAndReadBackExactly();
    void keyAtACutActsAsElsewhere_data() { addKeyRows(); }
    void keyAtACutActsAsElsewhere() { checkKeyRow(); }
    void caretPassesACutLikeAnyOtherPlace_data() { addMoveRows(); }
    void caretPassesACutLikeAnyOtherPlace() { checkMoveRow(); }
    void replacingASelectionKeepsTheSeparatorsAroundIt_data();
    void replacingASelectionKeepsTheSeparatorsAroundIt();
};

void TestNoteEditor::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestNoteEditor::cutsFallBetweenCodePointsAndReadBackExactly_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("betweenClusters");
    for (const Content &c : contents())
        QTest::newRow(c.name) << c.before << c.line << c.after << c.betweenClusters;
    const QString grin = QStringLiteral("\U0001F600"), zwj(QChar(0x200D));
    QTest::newRow("a ZWJ chain after one letter")
        << QString() << u'x' + times(grin + zwj, 1500) << QString() << false;
    QTest::newRow("a megabyte cluster")
        << QString() << QStringLiteral("\U0001F44D") + times(QStringLiteral("\U0001F3FD"), 250'000)
        << QString() << false;
    QTest::newRow("a megabyte of flags after two letters")
        << QString() << QStringLiteral("xx") + times(QStringLiteral("\U0001F1E9\U0001F1EA"), 250'000)
        << QString() << true;
}

void TestNoteEditor::cutsFallBetweenCodePointsAndReadBackExactly()
{
    QFETCH(QString, before);
    QFETCH(QString, line);
    QFETCH(QString, after);
    QFETCH(bool, betweenClusters);
    const QString note = before + line + after;
    QTextDocument document;
    NoteDocument::setText(document, note);
    QCOMPARE(NoteDocument::text(document), note);
    QCOMPARE(emptyLineAtACut(document), QByteArray());

    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    int cuts = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!NoteDocument::startsSoft(block))
            continue;
        ++cuts;
        const QString last = block.previous().text(), first = block.text();
        QVERIFY2(!(last.back().isHighSurrogate() && first.front().isLowSurrogate()),
                 qPrintable(QStringLiteral("cut %1 splits a code point").arg(cuts)));
        if (betweenClusters) {
            graphemes.setPosition(noteOffset(document, block.position()) - before.size());
            QVERIFY2(graphemes.isAtBoundary(),
                     qPrintable(QStringLiteral("cut %1 splits a cluster").arg(cuts)));
        }
    }
    QVERIFY(cuts >= line.size() / (2 * NoteDocument::chunk));
}

namespace {

// Where a selection starts and ends in the note below.
enum class Selection
{
    lineStartAcrossACut,
    cutAcrossALineEnd,
    lineStartIntoTheNextLine,
    blockAfterACutToTheLineEnd,
};

} // namespace

void TestNoteEditor::replacingASelectionKeepsTheSeparatorsAroundIt_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("selection");
    QTest::addColumn<int>("action");
    const char *selections[] = {"from a line's start across a cut", "from a cut across a line's end",
                                "from a line's start into the next line", "the block after a cut"};
    const char *actions[] = {"typing", "Backspace", "Delete", "paste", "cut"};
    for (const auto &[name, separator] : separators())
        for (int s = 0; s < 4; ++s)
            for (int a = 0; a < 5; ++a)
                QTest::addRow("%s, %s, %s", name.constData(), selections[s], actions[a])
                    << separator << s << a;
}

void TestNoteEditor::replacingASelectionKeepsTheSeparatorsAroundIt()
{
    QFETCH(QString, separator);
    QFETCH(int, selection);
    QFETCH(int, action);
    // A long line with a cut, its separators of two kinds, then two short lines.
    const QString note =
        u'a' + separator + xs(4000) + u'\n' + QStringLiteral("bbbb") + separator + QStringLiteral("cccc");
    NoteEditor editor(note);
    editor.resize(420, 320);
    editor.show();
    QPlainTextEdit *field = editor.field();
    const QTextDocument &document = *field->document();
    const QTextBlock line = document.begin().next(), cut = firstCut(document);
    QCOMPARE(cut.previous(), line);
    const QTextBlock bLine = document.lastBlock().previous(), cLine = document.lastBlock();
    int anchor = 0, position = 0;
    switch (Selection(selection)) {
    case Selection::lineStartAcrossACut:
        anchor = line.position();
        position = cut.position() + 100;
        break;
    case Selection::cutAcrossALineEnd:
        anchor = cut.position();
        position = bLine.position() + 2;
        break;
    case Selection::lineStartIntoTheNextLine:
        anchor = bLine.position();
        position = cLine.position() + 2;
        break;
    case Selection::blockAfterACutToTheLineEnd:
        anchor = cut.position();
        position = cut.position() + cut.length() - 1;
        break;
    }
    QTextCursor cursor(field->document());
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    field->setTextCursor(cursor);
    const int from = noteOffset(document, anchor), to = noteOffset(document, position);

    QString inserted;
    switch (action) {
    case 0:
        QTest::keyClicks(field, QStringLiteral("Z"));
        inserted = QStringLiteral("Z");
        break;
    case 1:
        press(field, Qt::Key_Backspace);
        break;
    case 2:
        press(field, Qt::Key_Delete);
        break;
    case 3:
        inserted = QStringLiteral("P\r\nQ");
        QGuiApplication::clipboard()->setText(inserted);
        press(field, binding(QKeySequence::Paste));
        break;
    case 4:
        press(field, binding(QKeySequence::Cut));
        QCOMPARE(QGuiApplication::clipboard()->text(), note.mid(from, to - from));
        break;
    }
    const QString expected = note.left(from) + inserted + note.mid(to);
    QVERIFY2(editor.text() == expected, difference(editor.text(), expected));
    QCOMPARE(emptyLineAtACut(document), QByteArray());
    press(field, binding(QKeySequence::Undo));
    QVERIFY2(editor.text() == note, difference(editor.text(), note));
}

QTEST_MAIN(TestNoteEditor)
#include "tst_noteeditor.moc"
