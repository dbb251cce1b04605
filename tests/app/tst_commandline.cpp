#include "app/CommandLine.h"

#include <QTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parses_data()
    {
        QTest::addColumn<QStringList>("argv");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("warnings");

        const int run = int(CommandLine::Action::Run);
        const QString url = QStringLiteral("grumblix://log?note=a%20b");
        QTest::newRow("nothing") << QStringList{"grumblix"} << run << QStringList{"grumblix"} << 0;
        QTest::newRow("help") << QStringList{"grumblix", "--help"} << int(CommandLine::Action::Help)
                              << QStringList{} << 0;
        QTest::newRow("short help wins over a URL")
            << QStringList{"grumblix", url, "-h"} << int(CommandLine::Action::Help) << QStringList{} << 0;
        QTest::newRow("version") << QStringList{"grumblix", "--version"} << int(CommandLine::Action::Version)
                                 << QStringList{} << 0;
        QTest::newRow("a URL") << QStringList{"grumblix", url} << run << QStringList{"grumblix", url} << 0;
        QTest::newRow("options in canonical order")
            << QStringList{"grumblix", "--panel", "--dashboard", "--demo"} << run
            << QStringList{"grumblix", "--demo", "--dashboard", "--panel"} << 0;
        QTest::newRow("first page counts") << QStringList{"grumblix", "--tab=history", "--tab=settings"}
                                           << run << QStringList{"grumblix", "--tab=history"} << 0;
        QTest::newRow("page as its own word") << QStringList{"grumblix", "--tab", "report"} << run
                                              << QStringList{"grumblix", "--tab=report"} << 0;
        QTest::newRow("an unknown page is still handed on") << QStringList{"grumblix", "--tab=nowhere"} << run
                                                            << QStringList{"grumblix", "--tab=nowhere"} << 0;
        QTest::newRow("toolkit option values are no URLs")
            << QStringList{"grumblix", "-platform", "offscreen", "-session", "abc", url} << run
            << QStringList{"grumblix", url} << 0;
        QTest::newRow("unknown option reported, launch goes on")
            << QStringList{"grumblix", "--frobnicate", url} << run << QStringList{"grumblix", url} << 1;
        QTest::newRow("two unknown options")
            << QStringList{"grumblix", "--x", "--why=1"} << run << QStringList{"grumblix"} << 2;
        QTest::newRow("value missing")
            << QStringList{"grumblix", "--tab"} << run << QStringList{"grumblix"} << 1;
        QTest::newRow("options stay with the URLs they came with")
            << QStringList{"grumblix", url, "--dashboard", "grumblix://report", "--panel"} << run
            << QStringList{"grumblix", "--dashboard", "--panel", url, "grumblix://report"} << 0;
        QTest::newRow("empty argument dropped")
            << QStringList{"grumblix", ""} << run << QStringList{"grumblix"} << 0;
    }

    void parses()
    {
        QFETCH(QStringList, argv);
        QFETCH(int, action);
        QFETCH(QStringList, arguments);
        QFETCH(int, warnings);
        const CommandLine command = CommandLine::parse(argv);
        QCOMPARE(int(command.action), action);
        if (command.action == CommandLine::Action::Run)
            QCOMPARE(command.arguments, arguments);
        QCOMPARE(command.warnings.size(), warnings);
    }

    void unknownOptionIsNamed()
    {
        const CommandLine command = CommandLine::parse({"grumblix", "--frobnicate"});
        QCOMPARE(command.warnings.size(), 1);
        QVERIFY2(command.warnings.first().contains(QStringLiteral("--frobnicate")),
                 qPrintable(command.warnings.first()));
    }

    void helpListsEveryOption()
    {
        const QString help = CommandLine::helpText();
        for (const char *option :
             {"--dashboard", "--tab=", "--panel", "--demo", "--help", "--version", "grumblix://log"})
            QVERIFY2(help.contains(QLatin1String(option)), option);
    }

    // Every entry of a section (options, URLs) starts its text in one column, continuation lines
    // included, at least two blanks after its name, and no line runs past 80 columns.
    void helpColumnsLineUp()
    {
        const QStringList lines = CommandLine::helpText().split(QLatin1Char('\n'));
        const auto indent = [](const QString &line, qsizetype from) {
            while (from < line.size() && line.at(from) == QLatin1Char(' '))
                ++from;
            return from;
        };
        int sections = 0;
        for (qsizetype at = 0; at < lines.size(); ++at) {
            if (!lines.at(at).endsWith(QLatin1Char(':')))
                continue;
            ++sections;
            qsizetype column = -1;
            for (++at; at < lines.size() && !lines.at(at).isEmpty(); ++at) {
                const QString &line = lines.at(at);
                QVERIFY2(line.size() <= 80, qPrintable(line));
                qsizetype text = indent(line, 0);
                if (text == 2) { // an entry: its name, two blanks or more, its text
                    const qsizetype gap = line.indexOf(QLatin1String("  "), 2);
                    QVERIFY2(gap > 2, qPrintable(line));
                    text = indent(line, gap);
                }
                if (column < 0)
                    column = text;
                QVERIFY2(
                    text == column,
                    qPrintable(QStringLiteral("text at %1, not %2: %3").arg(text).arg(column).arg(line)));
            }
        }
        QCOMPARE(sections, 2);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
