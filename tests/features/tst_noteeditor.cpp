#include "features/NoteKeyTable.h"
#include "features/history/NoteDocument.h"
#include "features/history/NoteEditor.h"

#include <QTextBoundaryFinder>

using namespace NoteKeyTable;

// The note editor holds a long line as blocks joined by soft cuts: where the cuts fall.
class TestNoteEditor : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cutsFallBetweenCodePointsAndReadBackExactly_data();
    void cutsFallBetweenCodePointsAndReadBackExactly();
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

QTEST_MAIN(TestNoteEditor)
#include "tst_noteeditor.moc"
