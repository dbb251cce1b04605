#include "app/UrlCommand.h"

#include <QtTest>

// Percent escapes in a grumblix:// URL: what a launcher typed is what the note keeps.
class TestUrlCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noteEscapes_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("note");
        QTest::newRow("plain escapes") << "grumblix://log?note=a%20b%2Cc"
                                       << "a b,c";
        QTest::newRow("lone percent") << "grumblix://log?note=100%"
                                      << "100%";
        QTest::newRow("percent and one digit") << "grumblix://log?note=5%2"
                                               << "5%2";
        QTest::newRow("not hex") << "grumblix://log?note=%G1%zz"
                                 << "%G1%zz";
        QTest::newRow("good then bad") << "grumblix://log?note=%41%G1"
                                       << "A%G1";
        QTest::newRow("lower-case hex") << "grumblix://log?note=%c3%a9"
                                        << "\u00e9";
        QTest::newRow("multi-byte") << "grumblix://log?note=%F0%9F%94%A5"
                                    << "\U0001F525";
        QTest::newRow("not UTF-8") << "grumblix://log?note=%FF%FEok"
                                   << "%FF%FEok";
        QTest::newRow("cut character") << "grumblix://log?note=%E2%82x"
                                       << "%E2%82x";
        QTest::newRow("escaped percent") << "grumblix://log?note=%2541"
                                         << "%41";
        QTest::newRow("wide digit") << "grumblix://log?note=%\uff11\uff11"
                                    << "%\uff11\uff11";
        QTest::newRow("escaped name") << "grumblix://log?n%6Fte=x"
                                      << "x";
    }
    void noteEscapes()
    {
        QFETCH(QString, url);
        QFETCH(QString, note);
        const UrlCommand command = UrlCommand::parse(url);
        QCOMPARE(command.kind, UrlCommand::Kind::log);
        QVERIFY(command.note);
        QCOMPARE(*command.note, note);
        QVERIFY(!command.note->contains(QChar::ReplacementCharacter));
    }

    void escapedHostStillNamesTheCommand()
    {
        QCOMPARE(UrlCommand::parse(QStringLiteral("grumblix://%6Cog")).kind, UrlCommand::Kind::log);
        QCOMPARE(UrlCommand::parse(QStringLiteral("grumblix://%FFlog")).kind, UrlCommand::Kind::dashboard);
    }
};

QTEST_GUILESS_MAIN(TestUrlCommand)
#include "tst_urlcommand.moc"
