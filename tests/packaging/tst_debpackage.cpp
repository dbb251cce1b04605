#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The Debian package CPack builds from this build tree, checked without installing it: built into a
// private folder, read with dpkg-deb, unpacked into a temporary folder and run from there.
class DebPackageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_work;
    QString m_deb;
    QString m_root;
    QString m_architecture;
    QStringList m_listing; // `dpkg-deb --contents`, one line a member

    struct Result
    {
        int code = -1;
        QString output;
    };

    static Result exec(const QString &program, const QStringList &arguments,
                       const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(program, arguments);
        Result result;
        if (!process.waitForFinished(480000)) {
            process.kill();
            process.waitForFinished();
            result.output = QStringLiteral("%1 did not finish: %2").arg(program, process.errorString());
            return result;
        }
        result.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.output = QString::fromLocal8Bit(process.readAll());
        return result;
    }

    QString field(const QString &name) const
    {
        return exec(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), m_deb, name}).output.trimmed();
    }

    // The member paths of the package, "./usr/bin/grumblix" style.
    QStringList members() const
    {
        QStringList paths;
        for (const QString &line : m_listing) {
            // mode owner size date time path[ -> target]
            const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (parts.size() >= 6)
                paths.append(parts.at(5));
        }
        return paths;
    }

    static QString readText(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    // Builds the package into `out`, a folder of this test alone, so nothing else running from the
    // build tree meets it. Empty when it failed; `log` then says why.
    static QString buildPackage(const QString &out, QString *log)
    {
        const Result built =
            exec(QStringLiteral(GRUMBLIX_CPACK_COMMAND),
                 {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("--config"),
                  QStringLiteral(GRUMBLIX_BINARY_DIR "/CPackConfig.cmake"), QStringLiteral("-B"), out});
        *log = built.output;
        const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
        if (built.code != 0 || debs.size() != 1)
            return {};
        return QDir(out).filePath(debs.first());
    }

    // The source date the build tree was configured with, in seconds since 1970; -1 if unknown.
    static qint64 sourceDateEpoch()
    {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("set\\(CPACK_GRUMBLIX_SOURCE_DATE_EPOCH \"([0-9]+)\"\\)"))
                .match(readText(QStringLiteral(GRUMBLIX_BINARY_DIR "/CPackConfig.cmake")));
        return match.hasMatch() ? match.captured(1).toLongLong() : -1;
    }

    static QDateTime sourceDate() { return QDateTime::fromSecsSinceEpoch(sourceDateEpoch(), Qt::UTC); }

    // Name and time of each member of the package's ar archive.
    static QList<QPair<QString, qint64>> arMembers(const QString &deb)
    {
        QFile file(deb);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = file.readAll();
        QList<QPair<QString, qint64>> members;
        if (!bytes.startsWith("!<arch>\n"))
            return members;
        // Each member: a 60-byte header (name 16, time 12, owner 6, group 6, mode 8, size 10, "`\n"),
        // its data, and a padding byte after odd sizes.
        for (qsizetype at = 8; at + 60 <= bytes.size();) {
            const QByteArray header = bytes.mid(at, 60);
            const qint64 size = header.mid(48, 10).trimmed().toLongLong();
            if (size < 0)
                break;
            members.append(
                {QString::fromLatin1(header.left(16).trimmed()), header.mid(16, 12).trimmed().toLongLong()});
            at += 60 + size + (size % 2);
        }
        return members;
    }

    // `tar -tv` of one of the package's two archives, times in UTC to the second.
    QStringList tarListing(const QString &which) const
    {
        const QString tar = m_work.filePath(which + QStringLiteral(".tar"));
        QProcess extract;
        extract.setStandardOutputFile(tar);
        extract.start(QStringLiteral("dpkg-deb"),
                      {QStringLiteral("--") + which + QStringLiteral("-tarfile"), m_deb});
        if (!extract.waitForFinished(60000) || extract.exitCode() != 0)
            return {};
        const Result listing =
            exec(QStringLiteral("tar"), {QStringLiteral("-tv"), QStringLiteral("--full-time"),
                                         QStringLiteral("--utc"), QStringLiteral("-f"), tar});
        return listing.code == 0 ? listing.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                 : QStringList();
    }

    // The package names of a relation field: "a (>= 1), b | c" gives a, b, c.
    QStringList relationNames(const QString &name) const
    {
        QStringList names;
        for (const QString &alternative :
             field(name).split(QRegularExpression(QStringLiteral("[,|]")), Qt::SkipEmptyParts)) {
            const QString package =
                alternative.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0);
            if (!package.isEmpty())
                names.append(package);
        }
        return names;
    }

    // The packages scripts/setup.sh installs for running the program, not for building it.
    static QStringList runtimePackages()
    {
        QStringList packages;
        bool runtime = false;
        for (QString line : readText(QStringLiteral(GRUMBLIX_SOURCE_DIR "/scripts/packages-run.txt"))
                                .split(QLatin1Char('\n'))) {
            line = line.trimmed();
            if (line == QLatin1String("# Runtime"))
                runtime = true;
            else if (runtime && !line.isEmpty() && !line.startsWith(QLatin1Char('#')))
                packages.append(line);
        }
        return packages;
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dpkg-deb")).isEmpty())
            QSKIP("not a Debian system: dpkg-deb is not installed");
        QVERIFY(m_work.isValid());
        m_architecture =
            exec(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).output.trimmed();
        QVERIFY(!m_architecture.isEmpty());

        QString log;
        m_deb = buildPackage(m_work.filePath(QStringLiteral("out")), &log);
        QVERIFY2(!m_deb.isEmpty(), qPrintable(log));

        const Result listing = exec(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), m_deb});
        QVERIFY2(listing.code == 0, qPrintable(listing.output));
        m_listing = listing.output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);

        m_root = m_work.filePath(QStringLiteral("root"));
        const Result extracted = exec(QStringLiteral("dpkg-deb"), {QStringLiteral("-x"), m_deb, m_root});
        QVERIFY2(extracted.code == 0, qPrintable(extracted.output));
    }

    void fileNameSaysPackageVersionAndArchitecture()
    {
        QCOMPARE(QFileInfo(m_deb).fileName(),
                 QStringLiteral("grumblix_%1-%2_%3.deb")
                     .arg(QStringLiteral(GRUMBLIX_VERSION), QStringLiteral(GRUMBLIX_BUILD_NUMBER),
                          m_architecture));
    }

    void installsUnderUsr_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("launcher") << "./usr/bin/grumblix";
        // Where the launcher looks for it: ../libexec/grumblix beside its own folder.
        QTest::newRow("program proper") << "./usr/libexec/grumblix/grumblix-app";
        QTest::newRow("desktop entry") << "./usr/share/applications/grumblix.desktop";
        QTest::newRow("icon") << "./usr/share/icons/hicolor/scalable/apps/grumblix.svg";
        QTest::newRow("metainfo") << "./usr/share/metainfo/app.grumblix.Grumblix.metainfo.xml";
        QTest::newRow("copyright") << "./usr/share/doc/grumblix/copyright";
        QTest::newRow("changelog") << "./usr/share/doc/grumblix/changelog.Debian.gz";
        QTest::newRow("manual page") << "./usr/share/man/man1/grumblix.1.gz";
        const QDir sounds(QStringLiteral(GRUMBLIX_BINARY_DIR "/share/grumblix/sounds"));
        for (const QString &voice : sounds.entryList({QStringLiteral("*.wav")}, QDir::Files))
            QTest::newRow(qPrintable(voice)) << QStringLiteral("./usr/share/grumblix/sounds/") + voice;
    }

    void installsUnderUsr()
    {
        QFETCH(QString, path);
        QVERIFY2(members().contains(path), qPrintable(m_listing.join(QLatin1Char('\n'))));
    }

    void everyMemberIsRootsAndUnderUsr()
    {
        QVERIFY(!m_listing.isEmpty());
        for (const QString &line : m_listing) {
            const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QVERIFY2(parts.size() >= 6, qPrintable(line));
            QCOMPARE(parts.at(1), QStringLiteral("root/root"));
            const QString &path = parts.at(5);
            QVERIFY2(path == QLatin1String("./") || path == QLatin1String("./usr/") ||
                         path.startsWith(QLatin1String("./usr/")),
                     qPrintable(line));
            // No staging or build folder may leak into the installed tree.
            QVERIFY2(!path.contains(QLatin1String("_CPack_Packages")) &&
                         !path.startsWith(QLatin1String("./usr/local")),
                     qPrintable(line));
        }
    }

    void controlFields_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("present");
        QTest::newRow("package") << "Package"
                                 << "^grumblix$" << true;
        QTest::newRow("version and build number")
            << "Version"
            << QStringLiteral("^%1-%2$").arg(QRegularExpression::escape(QStringLiteral(GRUMBLIX_VERSION)),
                                             QStringLiteral(GRUMBLIX_BUILD_NUMBER))
            << true;
        QTest::newRow("section") << "Section"
                                 << "^utils$" << true;
        QTest::newRow("maintainer address") << "Maintainer"
                                            << "^[^<>]+ <[^@<>\\s]+@[^@<>\\s]+\\.[a-z]+>$" << true;
        // From the links of the binaries.
        QTest::newRow("linked Qt") << "Depends"
                                   << "(^|, )libqt6widgets6 \\(>= [^)]+\\)(,|$)" << true;
        QTest::newRow("linked SQLite") << "Depends"
                                       << "(^|, )libsqlite3-0 \\(>= [^)]+\\)(,|$)" << true;
        QTest::newRow("Wayland plugin") << "Depends"
                                        << "(^|, )qt6-wayland(,|$)" << true;
        for (const QString &package : runtimePackages())
            QTest::newRow(qPrintable(QStringLiteral("runtime ") + package))
                << "Depends" << QStringLiteral("(^|, )%1(,|$)").arg(QRegularExpression::escape(package))
                << true;
        QTest::newRow("notification service") << "Recommends"
                                              << "(^|, )notification-daemon(,|$)" << true;
        // An emoji picker backs one optional control: suggested, never pulled in with the package.
        QTest::newRow("emoji picker suggested")
            << "Suggests"
            << "(^|, )gnome-characters \\| kcharselect \\| gucharmap(,|$)" << true;
        QTest::newRow("emoji picker not recommended") << "Recommends"
                                                      << "gnome-characters|kcharselect|gucharmap" << false;
        QTest::newRow("emoji picker not a dependency") << "Depends"
                                                       << "gnome-characters|kcharselect|gucharmap" << false;
    }

    void controlFields()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(bool, present);
        const QString value = field(name);
        QVERIFY2(QRegularExpression(pattern).match(value).hasMatch() == present,
                 qPrintable(name + QStringLiteral(": ") + value));
    }

    // What dpkg-shlibdeps finds in the binaries and what the runtime list adds meet in Depends.
    void noPackageNamedTwice()
    {
        QStringList names;
        for (const QString &relation :
             {QStringLiteral("Depends"), QStringLiteral("Recommends"), QStringLiteral("Suggests")})
            names += relationNames(relation);
        QVERIFY(names.contains(QStringLiteral("libqt6svg6")));
        QStringList seen;
        for (const QString &name : names) {
            QVERIFY2(!seen.contains(name),
                     qPrintable(name + QStringLiteral(" is named twice: ") + names.join(QLatin1Char(' '))));
            seen.append(name);
        }
    }

    void descriptionIsTheMetainfoSummary()
    {
        const QString metainfo =
            readText(QStringLiteral(GRUMBLIX_SOURCE_DIR "/packaging/grumblix.metainfo.xml"));
        const QRegularExpressionMatch summary =
            QRegularExpression(QStringLiteral("<summary>([^<]+)</summary>")).match(metainfo);
        QVERIFY(summary.hasMatch());
        const QStringList lines = field(QStringLiteral("Description")).split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), summary.captured(1));
        // An extended description follows, in lines apt shows unwrapped.
        QVERIFY2(lines.size() > 2, qPrintable(lines.join(QLatin1Char('\n'))));
        for (const QString &line : lines)
            QVERIFY2(line.size() <= 80, qPrintable(line));
    }

    void desktopEntryStartsTheInstalledLauncher()
    {
        const QStringList lines =
            readText(m_root + QStringLiteral("/usr/share/applications/grumblix.desktop"))
                .split(QLatin1Char('\n'));
        QVERIFY2(lines.contains(QStringLiteral("Exec=/usr/bin/grumblix %u")),
                 qPrintable(lines.filter(QStringLiteral("Exec=")).join(QLatin1Char(' '))));
        QVERIFY(lines.contains(QStringLiteral("MimeType=x-scheme-handler/grumblix;")));
    }

    void metainfoNamesThisBuildsRelease()
    {
        const QString metainfo =
            readText(m_root + QStringLiteral("/usr/share/metainfo/app.grumblix.Grumblix.metainfo.xml"));
        const QRegularExpressionMatch release =
            QRegularExpression(QStringLiteral("<release version=\"([^\"]*)\" date=\"([^\"]*)\""))
                .match(metainfo);
        QVERIFY2(release.hasMatch(), qPrintable(metainfo));
        QCOMPARE(release.captured(1), QStringLiteral(GRUMBLIX_VERSION));
        const QDate date = QDate::fromString(release.captured(2), Qt::ISODate);
        QVERIFY2(date.isValid(), qPrintable(release.captured(2)));
        QVERIFY2(date <= QDateTime::currentDateTimeUtc().date(), qPrintable(release.captured(2)));
        // The day of the source, whenever it was built.
        QVERIFY(sourceDateEpoch() > 0);
        QCOMPARE(date, sourceDate().date());
    }

    void changelogIsDatedByTheSource()
    {
        const Result changelog = exec(
            QStringLiteral("gzip"),
            {QStringLiteral("-dc"), m_root + QStringLiteral("/usr/share/doc/grumblix/changelog.Debian.gz")});
        QCOMPARE(changelog.code, 0);
        const QString trailer = changelog.output.trimmed().section(QLatin1Char('\n'), -1);
        QVERIFY(sourceDateEpoch() > 0);
        const QString date = QLocale::c().toString(sourceDate(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss"));
        QVERIFY2(trailer.endsWith(QStringLiteral("  ") + date + QStringLiteral(" +0000")),
                 qPrintable(trailer + QStringLiteral(" / ") + date));
    }

    // Without SOURCE_DATE_EPOCH a checkout is dated by its last commit.
    void sourceDateIsTheLastCommitsTime()
    {
        if (qEnvironmentVariableIsSet("SOURCE_DATE_EPOCH"))
            QSKIP("SOURCE_DATE_EPOCH sets the source date");
        const Result top =
            exec(QStringLiteral("git"), {QStringLiteral("-C"), QStringLiteral(GRUMBLIX_SOURCE_DIR),
                                         QStringLiteral("rev-parse"), QStringLiteral("--show-toplevel")});
        if (top.code != 0 || QFileInfo(top.output.trimmed()).canonicalFilePath() !=
                                 QFileInfo(QStringLiteral(GRUMBLIX_SOURCE_DIR)).canonicalFilePath())
            QSKIP("the source folder is no git checkout of its own");
        const Result last =
            exec(QStringLiteral("git"),
                 {QStringLiteral("-C"), QStringLiteral(GRUMBLIX_SOURCE_DIR), QStringLiteral("log"),
                  QStringLiteral("-1"), QStringLiteral("--format=%ct")});
        QCOMPARE(last.code, 0);
        QCOMPARE(sourceDateEpoch(), last.output.trimmed().toLongLong());
    }

    void membersCarryTheSourceDate_data()
    {
        QTest::addColumn<QString>("archive");
        QTest::newRow("data") << "fsys";
        QTest::newRow("control") << "ctrl";
    }

    void membersCarryTheSourceDate()
    {
        QFETCH(QString, archive);
        QVERIFY(sourceDateEpoch() > 0);
        const QString date = sourceDate().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        const QStringList listing = tarListing(archive);
        QVERIFY(!listing.isEmpty());
        for (const QString &line : listing) {
            // mode owner size date time path
            const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QVERIFY2(parts.size() >= 6, qPrintable(line));
            QVERIFY2(parts.at(3) + QLatin1Char(' ') + parts.at(4) == date,
                     qPrintable(line + QStringLiteral(" / ") + date));
        }
    }

    void arMembersCarryTheSourceDate()
    {
        const QList<QPair<QString, qint64>> members = arMembers(m_deb);
        QCOMPARE(members.size(), 3);
        QCOMPARE(members.first().first, QStringLiteral("debian-binary"));
        for (const auto &member : members)
            QVERIFY2(member.second == sourceDateEpoch(), qPrintable(member.first));
    }

    // Built again later, into another folder, the package comes out the same to the byte.
    void sameCheckoutBuildsTheSamePackage()
    {
        QString log;
        const QString again = buildPackage(m_work.filePath(QStringLiteral("again")), &log);
        QVERIFY2(!again.isEmpty(), qPrintable(log));
        QFile first(m_deb);
        QFile second(again);
        QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
        if (first.readAll() != second.readAll()) {
            const Result before = exec(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), m_deb});
            const Result after = exec(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), again});
            QFAIL(qPrintable(
                QStringLiteral("the two packages differ:\n%1\n%2").arg(before.output, after.output)));
        }
    }

    // A package built from the same checkout in another folder is the same package only when nothing
    // in it remembers where it was built: not a path the program looks in, not the debug information
    // the build id is made from.
    void programsNameNoBuildFolder_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("launcher") << QStringLiteral("/usr/bin/grumblix");
        QTest::newRow("program") << QStringLiteral("/usr/libexec/grumblix/grumblix-app");
    }

    void programsNameNoBuildFolder()
    {
        QFETCH(QString, file);
        QFile program(m_root + file);
        QVERIFY2(program.open(QIODevice::ReadOnly), qPrintable(program.errorString()));
        const QByteArray bytes = program.readAll();
        for (const char *folder : {GRUMBLIX_SOURCE_DIR, GRUMBLIX_BINARY_DIR})
            QVERIFY2(!bytes.contains(QByteArray(folder) + '/'), folder);
    }

    void unpackedProgramAnswersVersion()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        const Result result =
            exec(m_root + QStringLiteral("/usr/bin/grumblix"), {QStringLiteral("--version")}, environment);
        QCOMPARE(result.output,
                 QStringLiteral("Grumblix %1 (build %2)\n")
                     .arg(QStringLiteral(GRUMBLIX_VERSION), QStringLiteral(GRUMBLIX_BUILD_NUMBER)));
        QCOMPARE(result.code, 0);
    }

    void lintianFindsNoProblem()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
            QSKIP("lintian is not installed");
        const Result result = exec(QStringLiteral("lintian"),
                                   {QStringLiteral("--fail-on"), QStringLiteral("error,warning"), m_deb});
        QVERIFY2(result.code == 0, qPrintable(result.output));
    }
};

QTEST_GUILESS_MAIN(DebPackageTest)
#include "tst_debpackage.moc"
