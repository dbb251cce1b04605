#include "support/DesktopTools.h"
#include "support/ProgramFixture.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <sqlite3.h>

using DesktopTools::run;
using DesktopTools::waitFor;

namespace {

const QString program = ProgramFixture::programPath();

// A megabyte: words, then a run without a blank (a pasted log line); no 'z' in it.
QString megabyteNote()
{
    QString note = QStringLiteral("the build again ").repeated(31'250);
    note += QString(1'000'000 - note.size(), u'x');
    return note;
}

} // namespace

// The real program with a megabyte note open in the history page's editor: it keeps answering
// launches and SIGTERM while the note is shown and typed into, and the note is saved whole.
class LongNoteTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProgramFixture> m_program;
    QProcess *m_grumblix = nullptr;

    QString storePath() const { return m_program->storePath(); }
    QString socketPath() const { return m_program->socketPath(); }

    // The notes of the stored incidents, oldest first (a null note as an empty optional).
    QList<std::optional<QString>> notes() const
    {
        QList<std::optional<QString>> result;
        for (const QVariantList &row :
             StoreRows::read(storePath(), "SELECT note FROM VorpEvent ORDER BY rowid"))
            result << (row.value(0).isValid() ? std::optional(row.value(0).toString()) : std::nullopt);
        return result;
    }

    bool setNote(const QString &note) const
    {
        sqlite3 *db = nullptr;
        sqlite3_stmt *statement = nullptr;
        const QByteArray utf8 = note.toUtf8();
        const bool ok =
            sqlite3_open(storePath().toUtf8().constData(), &db) == SQLITE_OK &&
            sqlite3_prepare_v2(db, "UPDATE VorpEvent SET note = ?", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_bind_text(statement, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_DONE;
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return ok;
    }

    void startGrumblix(const QStringList &arguments) { m_grumblix = m_program->start(arguments); }

    // A second launch: its exit code, or -1 when it did not end within `timeoutMs`.
    int launch(const QStringList &arguments, int timeoutMs = 15000)
    {
        const ProgramFixture::Launch second = m_program->launch(arguments, timeoutMs);
        if (second.exitCode > 0)
            qWarning().noquote() << second.errors;
        return second.exitCode;
    }

    QString xdotool(const QStringList &arguments)
    {
        QProcess tool;
        tool.setProcessEnvironment(m_program->environment());
        tool.start(QStringLiteral("xdotool"), arguments);
        tool.waitForFinished(10000);
        return QString::fromLocal8Bit(tool.readAllStandardOutput()).trimmed();
    }

    QString dashboard()
    {
        const QStringList ids = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                         QStringLiteral("--name"), QStringLiteral("^Grumblix$")})
                                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return ids.isEmpty() ? QString() : ids.last();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("xdotool")), "xdotool is missing");
        QVERIFY2(QFile::exists(program), qPrintable(program));
        DesktopTools::startDetachedChild(QStringLiteral("openbox"), {}, this);
        QVERIFY(waitFor([] {
            return !run(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                        .contains(QLatin1String("not found"));
        }));
    }

    void init()
    {
        m_program = std::make_unique<ProgramFixture>();
        QVERIFY(m_program->isReady());
    }

    void cleanup()
    {
        m_grumblix = nullptr;
        m_program.reset();
    }

    void megabyteNoteOpenWhileLaunchesAreAnswered()
    {
        // One incident, then its note made a megabyte behind the program's back.
        startGrumblix({});
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=seed")}), 0);
        QVERIFY(m_program->terminate());
        const QString note = megabyteNote();
        QVERIFY(setNote(note));

        // The history page with the incident selected: its editor shows the whole note.
        startGrumblix({QStringLiteral("--dashboard"), QStringLiteral("--tab=history")});
        QVERIFY(waitFor([&] { return QFile::exists(socketPath()); }, 10000));
        QString window;
        QVERIFY(waitFor([&] { return !(window = dashboard()).isEmpty(); }, 10000));
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
        QVERIFY(waitFor([&] { return xdotool({QStringLiteral("getactivewindow")}) == window; }));
        xdotool({QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Down")});
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=shown")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 2, 5000);

        // Typed into: a click on the note (it fills the lower right of the window), two keys.
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window, QStringLiteral("800"),
                 QStringLiteral("640"), QStringLiteral("click"), QStringLiteral("1")});
        QTest::qWait(200);
        xdotool({QStringLiteral("type"), QStringLiteral("--window"), window, QStringLiteral("zz")});
        if (qEnvironmentVariableIsSet("GRUMBLIX_TEST_SHOT"))
            run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"),
                                           qEnvironmentVariable("GRUMBLIX_TEST_SHOT")});
        QCOMPARE(launch({QStringLiteral("grumblix://log?note=typed")}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(notes().size(), 3, 5000);

        // SIGTERM while the note is still being edited: the program ends and the note is whole.
        QVERIFY2(m_program->terminate(), "SIGTERM did not end the program");
        QCOMPARE(m_grumblix->exitCode(), 0);
        const QList<std::optional<QString>> stored = notes();
        QCOMPARE(stored.size(), 3);
        QVERIFY(stored.first());
        const QString edited = *stored.first();
        QCOMPARE(edited.size(), note.size() + 2);
        QCOMPARE(edited.count(u'z'), 2);
        QCOMPARE(QString(edited).remove(u'z'), note);
        QCOMPARE(stored.at(1), std::optional(QStringLiteral("shown")));
    }
};

QTEST_MAIN(LongNoteTest)
#include "tst_longnote.moc"
