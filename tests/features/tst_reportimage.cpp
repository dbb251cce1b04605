#include "features/report/ReportCard.h"
#include "features/report/ReportFiles.h"
#include "features/report/ReportImage.h"
#include "features/report/ReportShareLinks.h"
#include "models/FileWriter.h"
#include "support/IncidentFixtures.h"
#include "support/TestSupport.h"
#include "support/TriggerFixtures.h"
#include "ui/Theme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QByteArray pngSignature("\x89PNG\r\n\x1a\n", 8);

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Runs `body` without the privileges that would let it write anywhere: as root it runs in a child
// process that has become nobody. Answers what `body` answered.
bool withoutPrivileges(const std::function<bool()> &body)
{
    if (::geteuid() != 0)
        return body();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

// The shareable picture of a report and the files it is written to.
class TestReportImage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void sizeAndMarginOfEveryTheme_data();
    void sizeAndMarginOfEveryTheme();
    void sameBytesInLightAndDarkLooks();
    void pngDataAndClipboard();
    void writeReplacesAtomically();
    void failedWriteKeepsTheOldFile_data();
    void failedWriteKeepsTheOldFile();
    void shareFolderIsPrivate_data();
    void shareFolderIsPrivate();
    void shareFileReplacesTheEarlierOne();

private:
    WeeklyReport busyWeek() const;
    QString m_root;
};

void TestReportImage::initTestCase()
{
    m_root = TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestReportImage::cleanup()
{
    Theme::setApplicationScheme(ColorScheme::Light);
}

WeeklyReport TestReportImage::busyWeek() const
{
    const QTimeZone zone("Europe/Berlin");
    const QDateTime now(QDate(2025, 3, 7), QTime(17, 0), zone);
    QList<VorpEvent> events;
    for (int i = 0; i < 40; ++i)
        events << VorpEvent::make(now.addSecs(-qint64(i) * 5400), QStringLiteral("Slack"),
                                  QStringLiteral("com.slack.Slack"),
                                  i % 3 ? std::optional<QString>(QStringLiteral("meeting")) : std::nullopt,
                                  std::nullopt, EventSource::menuBar);
    std::sort(events.begin(), events.end(),
              [](const VorpEvent &a, const VorpEvent &b) { return a.timestamp < b.timestamp; });
    return WeeklyReport::build(events, Fixtures::builtInTriggers(), 0, now, Calendar(zone));
}

void TestReportImage::sizeAndMarginOfEveryTheme_data()
{
    QTest::addColumn<ReportTheme>("theme");
    for (ReportTheme theme : ReportThemes::allCases())
        QTest::newRow(qPrintable(ReportThemes::rawValue(theme))) << theme;
}

void TestReportImage::sizeAndMarginOfEveryTheme()
{
    QFETCH(ReportTheme, theme);
    const ReportCard card(busyWeek(), theme);
    const QImage image = ReportImage::render(card);
    QVERIFY(!image.isNull());
    QCOMPARE(image.width(), qCeil(2 * (card.size().width() + 48)));
    QCOMPARE(image.height(), qCeil(2 * (card.size().height() + 48)));
    QCOMPARE(image.devicePixelRatio(), 2.0);
    QVERIFY(!image.hasAlphaChannel());
    // Every corner is the opaque paper, whatever the card draws around itself.
    const QRgb paper = qRgb(243, 236, 226);
    const int r = image.width() - 1;
    const int b = image.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b), QPoint(4, 4)})
        QCOMPARE(QColor(image.pixel(corner)), QColor(paper));
}

void TestReportImage::sameBytesInLightAndDarkLooks()
{
    const WeeklyReport report = busyWeek();
    for (ReportTheme theme : ReportThemes::allCases()) {
        Theme::setApplicationScheme(ColorScheme::Light);
        QVERIFY(!Theme::isDark());
        const auto light = ReportImage::pngData(ReportImage::render(ReportCard(report, theme)));
        Theme::setApplicationScheme(ColorScheme::Dark);
        QVERIFY(Theme::isDark());
        const auto dark = ReportImage::pngData(ReportImage::render(ReportCard(report, theme)));
        // Rendering must not leave the scheme forced either.
        QVERIFY(Theme::isDark());
        QVERIFY(light && dark);
        QVERIFY2(*light == *dark, qPrintable(ReportThemes::rawValue(theme)));
    }
}

void TestReportImage::pngDataAndClipboard()
{
    const QImage image = ReportImage::render(ReportCard(busyWeek(), ReportTheme::receipt));
    const auto png = ReportImage::pngData(image);
    QVERIFY(png);
    QVERIFY(png->startsWith(pngSignature));
    QImage decoded;
    QVERIFY(decoded.loadFromData(*png, "PNG"));
    QCOMPARE(decoded.size(), image.size());
    QVERIFY(!ReportImage::pngData(QImage()));

    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("something older"));
    ReportImage::copy(image, *clipboard);
    const QMimeData *data = clipboard->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasImage());
    QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), image.size());
    QVERIFY(data->data(QStringLiteral("image/png")).startsWith(pngSignature));
    QVERIFY(!data->hasText());
}

void TestReportImage::writeReplacesAtomically()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.png"));
    QVERIFY(writeAll(path, QByteArray(100'000, 'x')));
    const ReportFiles::Written written = ReportFiles::write(path, pngSignature);
    QVERIFY2(written.ok, qPrintable(written.error));
    QVERIFY(written.error.isEmpty());
    QCOMPARE(readAll(path), pngSignature);
    // No temporary file is left beside it.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("week.png")});
}

void TestReportImage::failedWriteKeepsTheOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<int>("error");
    QTest::newRow("read-only folder") << true << EACCES;
    QTest::newRow("folder is a file") << false << ENOTDIR;
}

void TestReportImage::failedWriteKeepsTheOldFile()
{
    QFETCH(bool, readOnlyFolder);
    QFETCH(int, error);
    QTemporaryDir dir;
    const QByteArray old("the picture saved last week");
    QString folder = dir.filePath(QStringLiteral("pictures"));
    QString target;
    // Others may enter the test's folder, so what they meet is the case itself.
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    if (readOnlyFolder) {
        QVERIFY(QDir().mkpath(folder));
        target = folder + QStringLiteral("/grumblix-week-2026-11-30.png");
        QVERIFY(writeAll(target, old));
        // They write nothing in the last one.
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
    } else {
        QVERIFY(writeAll(folder, old));
        target = folder + QStringLiteral("/grumblix-week-2026-11-30.png");
    }

    const bool failedAndSaid = withoutPrivileges([&] {
        const ReportFiles::Written written = ReportFiles::write(target, QByteArray(5000, 'p'));
        // The file's name and the system's reason, in the form every export uses.
        return !written.ok &&
               written.error == FileWriter::exportFailureText(QStringLiteral("grumblix-week-2026-11-30.png"),
                                                              qt_error_string(error));
    });
    QVERIFY(failedAndSaid);
    ::chmod(QFile::encodeName(folder).constData(), 0755);
    if (readOnlyFolder) {
        QCOMPARE(readAll(target), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 1);
    } else {
        QCOMPARE(readAll(folder), old);
    }
}

void TestReportImage::shareFolderIsPrivate_data()
{
    QTest::addColumn<QString>("runtime"); // how $XDG_RUNTIME_DIR is set up
    QTest::addColumn<bool>("underRuntime");
    QTest::newRow("private runtime folder") << QStringLiteral("private") << true;
    QTest::newRow("no runtime folder") << QStringLiteral("unset") << false;
    QTest::newRow("runtime folder others may write") << QStringLiteral("shared") << false;
    QTest::newRow("runtime folder is a link") << QStringLiteral("link") << false;
    QTest::newRow("share folder planted as a link") << QStringLiteral("planted") << false;
    QTest::newRow("share folder of ours left open") << QStringLiteral("open") << true;
    QTest::newRow("relative runtime folder") << QStringLiteral("relative") << false;
}

void TestReportImage::shareFolderIsPrivate()
{
    QFETCH(QString, runtime);
    QFETCH(bool, underRuntime);
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    const QString real = dir.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkpath(real));
    ::chmod(QFile::encodeName(real).constData(), 0700);
    QString value = real;
    if (runtime == QStringLiteral("shared")) {
        ::chmod(QFile::encodeName(real).constData(), 0777);
    } else if (runtime == QStringLiteral("link")) {
        value = dir.filePath(QStringLiteral("run-link"));
        QVERIFY(QFile::link(real, value));
    } else if (runtime == QStringLiteral("planted")) {
        const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
        QVERIFY(QDir().mkpath(elsewhere));
        QVERIFY(QFile::link(elsewhere, real + QStringLiteral("/grumblix-share")));
    } else if (runtime == QStringLiteral("open")) {
        const QString share = real + QStringLiteral("/grumblix-share");
        QVERIFY(QDir().mkpath(share));
        QVERIFY(::chmod(QFile::encodeName(share).constData(), 0777) == 0);
    } else if (runtime == QStringLiteral("relative")) {
        value = QStringLiteral("run");
    }
    if (runtime == QStringLiteral("unset"))
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(value));

    const QString folder = ReportFiles::shareFolder();
    qputenv("XDG_RUNTIME_DIR", saved);

    QVERIFY(!folder.isEmpty());
    if (underRuntime)
        QCOMPARE(folder, real + QStringLiteral("/grumblix-share"));
    else
        QVERIFY2(folder.startsWith(m_root), qPrintable(folder));
    QVERIFY(!folder.startsWith(dir.filePath(QStringLiteral("elsewhere"))));
    struct stat info
    {
    };
    QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
    QVERIFY(S_ISDIR(info.st_mode));
    QCOMPARE(info.st_uid, ::geteuid());
    QCOMPARE(info.st_mode & 0777, mode_t(0700));
}

void TestReportImage::shareFileReplacesTheEarlierOne()
{
    const QString name = ReportShareLinks::fileName(busyWeek());
    const ReportFiles::Written first = ReportFiles::writeShareFile(name, QByteArray("first"));
    QVERIFY2(first.ok, qPrintable(first.error));
    QCOMPARE(QFileInfo(first.path).fileName(), name);
    const ReportFiles::Written second = ReportFiles::writeShareFile(name, QByteArray("second"));
    QVERIFY(second.ok);
    QCOMPARE(second.path, first.path);
    QCOMPARE(readAll(second.path), QByteArray("second"));
    QVERIFY(!second.path.startsWith(QDir::tempPath() + QStringLiteral("/grumblix-week")));
}

QTEST_MAIN(TestReportImage)
#include "tst_reportimage.moc"
