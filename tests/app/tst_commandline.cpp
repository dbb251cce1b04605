#include "app/CommandLine.h"
#include "platform/HandOverWire.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
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
        QCOMPARE(sections, 3);
    }

    // --tab only picks the page the dashboard shows; it opens nothing by itself.
    void tabSaysWhatItDoes()
    {
        const QString help = CommandLine::helpText();
        const qsizetype at = help.indexOf(QLatin1String("--tab=PAGE"));
        QVERIFY(at >= 0);
        const QString entry = help.mid(at, help.indexOf(QLatin1String("\n  --"), at) - at);
        QVERIFY2(entry.contains(QLatin1String("show PAGE when the dashboard opens")), qPrintable(entry));
        QVERIFY2(!entry.contains(QLatin1String("open the dashboard")), qPrintable(entry));
    }

    void helpListsTheExitStatuses()
    {
        const QString help = CommandLine::helpText();
        const qsizetype section = help.indexOf(QLatin1String("\nExit status:\n"));
        QVERIFY(section >= 0);
        // Each status with its text, continuation lines joined.
        QMap<int, QString> texts;
        int code = -1;
        const QRegularExpression entry(QStringLiteral("^  (\\d) +(.*)$"));
        for (const QString &line : help.mid(section + 1).split(QLatin1Char('\n')).mid(1)) {
            if (const QRegularExpressionMatch match = entry.match(line); match.hasMatch()) {
                code = match.captured(1).toInt();
                texts[code] = match.captured(2);
            } else if (code >= 0 && line.startsWith(QLatin1String("   "))) {
                texts[code] += QLatin1Char(' ') + line.trimmed();
            }
        }
        QCOMPARE(texts.keys(), (QList<int>{HandOverWire::exitDone, HandOverWire::exitNothingDone,
                                           HandOverWire::exitKept, HandOverWire::exitUnknown}));
        QVERIFY2(texts[HandOverWire::exitDone].contains(QLatin1String("on disk")), qPrintable(texts[0]));
        QVERIFY2(texts[HandOverWire::exitNothingDone].startsWith(QLatin1String("nothing was done")),
                 qPrintable(texts[1]));
        QVERIFY2(texts[HandOverWire::exitKept].contains(QLatin1String("do not log it again")),
                 qPrintable(texts[2]));
        // Kept only while Grumblix runs: nothing promises it a save after a quit.
        QVERIFY2(
            texts[HandOverWire::exitKept].contains(QLatin1String("keeps it while it runs and saves it once "
                                                                 "there is room")),
            qPrintable(texts[2]));
        QVERIFY2(texts[HandOverWire::exitUnknown].contains(QLatin1String("check the history")),
                 qPrintable(texts[3]));
    }

    // The page says what --help says: every entry's name and text, in troff, dated.
    void manPageCarriesEveryEntry()
    {
        QFile source(QStringLiteral(GRUMBLIX_SOURCE_DIR "/packaging/debian/grumblix.1"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QString page = CommandLine::manPage(QString::fromUtf8(source.readAll()), QDate(2024, 3, 1));
        QVERIFY2(
            page.startsWith(QLatin1String(".TH GRUMBLIX 1 \"2024-03-01\" \"Grumblix " GRUMBLIX_VERSION "\"")),
            qPrintable(page.left(80)));
        QVERIFY2(!page.contains(QLatin1Char('@')), qPrintable(page));
        // Read back as plain text: no font changes, minus signs as dashes.
        QString plain = page;
        plain.remove(QRegularExpression(QStringLiteral("\\\\f[BIR]")))
            .replace(QLatin1String("\\-"), QLatin1String("-"));
        for (const CommandLine::HelpSection &section : CommandLine::helpSections()) {
            const qsizetype heading =
                plain.indexOf(QStringLiteral(".SH ") + section.manTitle + QLatin1Char('\n'));
            QVERIFY2(heading >= 0, qPrintable(section.manTitle));
            for (const CommandLine::HelpEntry &entry : section.entries) {
                const QString item = QStringLiteral(".TP\n%1\n%2\n").arg(entry.name, entry.text);
                QVERIFY2(plain.indexOf(item, heading) > heading, qPrintable(item));
            }
        }
        for (const char *line : {"\\fB\\-\\-tab=\\fIPAGE\\fR\n", "\\fB\\-h\\fR, \\fB\\-\\-help\\fR\n",
                                 "\\fBgrumblix://log?trigger=\\fIKEY\\fB&note=\\fITEXT\\fR\n"})
            QVERIFY2(page.contains(QLatin1String(line)), line);
    }

    // The page the build made is this table's, dated by the source, and clean for man and lintian.
    void builtManPageIsCurrentAndClean()
    {
        QFile built(QStringLiteral(GRUMBLIX_BINARY_DIR "/packaging/debian/grumblix.1"));
        QVERIFY2(built.open(QIODevice::ReadOnly), qPrintable(built.fileName()));
        const QString page = QString::fromUtf8(built.readAll());
        const QRegularExpressionMatch date =
            QRegularExpression(QStringLiteral("^\\.TH GRUMBLIX 1 \"(\\d{4}-\\d{2}-\\d{2})\"")).match(page);
        QVERIFY2(date.hasMatch(), qPrintable(page.left(80)));
        QFile source(QStringLiteral(GRUMBLIX_SOURCE_DIR "/packaging/debian/grumblix.1"));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(page, CommandLine::manPage(QString::fromUtf8(source.readAll()),
                                            QDate::fromString(date.captured(1), Qt::ISODate)));

        if (QStandardPaths::findExecutable(QStringLiteral("groff")).isEmpty())
            QSKIP("groff is not installed");
        QProcess groff;
        groff.setProcessChannelMode(QProcess::MergedChannels);
        groff.start(QStringLiteral("groff"),
                    {QStringLiteral("-man"), QStringLiteral("-ww"), QStringLiteral("-z"), built.fileName()});
        QVERIFY(groff.waitForFinished(30000));
        const QByteArray warnings = groff.readAll();
        QVERIFY2(warnings.isEmpty(), warnings.constData());
        QCOMPARE(groff.exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
