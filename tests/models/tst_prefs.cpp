#include "models/Prefs.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QtTest>
#include <sys/stat.h>

class TestPrefs : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void registeredDefaultsWithNothingStored();
    void defaultsAreNeverWritten();
    void wrongTypesReadAsDefaults_data();
    void wrongTypesReadAsDefaults();
    void garbledFileGivesDefaults();
    void stringListsKeepAbsentEmptyAndSingle();
    void settingsFileIsPrivate_data();
    void settingsFileIsPrivate();

private:
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPrefs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("Grumblix/Grumblix.conf"));
}

void TestPrefs::registeredDefaultsWithNothingStored()
{
    Prefs prefs(m_path);
    for (const char *key : {"showHUD", "autoClosePanel", "notifyFriday", "notifyRecord", "notifyCalm"})
        QVERIFY2(prefs.boolValue(QString::fromLatin1(key)), key);
    QVERIFY(!prefs.boolValue(PrefKey::showCountInMenuBar, true));
    QCOMPARE(prefs.stringValue(PrefKey::sound), QStringLiteral("thunk"));
    QCOMPARE(prefs.stringValue(PrefKey::appearance), QStringLiteral("system"));
    QVERIFY(!prefs.boolValue(PrefKey::hasOnboarded));
    QVERIFY(!prefs.contains(PrefKey::seenAchievements));
}

void TestPrefs::defaultsAreNeverWritten()
{
    {
        Prefs prefs(m_path);
        prefs.boolValue(PrefKey::showHUD);
        prefs.setValue(PrefKey::hasOnboarded, true);
    }
    QSettings raw(m_path, QSettings::IniFormat);
    QCOMPARE(raw.allKeys(), QStringList{PrefKey::hasOnboarded});
}

void TestPrefs::wrongTypesReadAsDefaults_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("word for a bool") << QByteArray("showHUD=banana") << "showHUD" << QVariant(true);
    QTest::newRow("number for a bool")
        << QByteArray("showCountInMenuBar=7") << "showCountInMenuBar" << QVariant(false);
    QTest::newRow("list for a bool") << QByteArray("notifyRecord=a, b") << "notifyRecord" << QVariant(true);
    QTest::newRow("list for a text") << QByteArray("sound=a, b") << "sound"
                                     << QVariant(QStringLiteral("thunk"));
    QTest::newRow("rect for a text") << QByteArray("appearance=@Rect(1 2 3 4)") << "appearance"
                                     << QVariant(QStringLiteral("system"));
    QTest::newRow("stored false") << QByteArray("showHUD=false") << "showHUD" << QVariant(false);
    QTest::newRow("stored text") << QByteArray("sound=klaxon") << "sound"
                                 << QVariant(QStringLiteral("klaxon"));
}

void TestPrefs::wrongTypesReadAsDefaults()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, key);
    QFETCH(QVariant, expected);
    QDir().mkpath(QFileInfo(m_path).path());
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + line + "\n");
    file.close();

    Prefs prefs(m_path);
    if (expected.typeId() == QMetaType::Bool)
        QCOMPARE(prefs.boolValue(key, !expected.toBool()), expected.toBool());
    else
        QCOMPARE(prefs.stringValue(key), expected.toString());
}

void TestPrefs::garbledFileGivesDefaults()
{
    QDir().mkpath(QFileInfo(m_path).path());
    QFile file(m_path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 73 + 11) % 256);
    file.write(junk);
    file.close();

    Prefs prefs(m_path);
    QVERIFY(prefs.boolValue(PrefKey::showHUD));
    QCOMPARE(prefs.stringValue(PrefKey::sound), QStringLiteral("thunk"));
    prefs.setValue(PrefKey::lastRecordDay, QStringLiteral("2026-12-5"));
    QCOMPARE(prefs.stringValue(PrefKey::lastRecordDay), QStringLiteral("2026-12-5"));
}

void TestPrefs::stringListsKeepAbsentEmptyAndSingle()
{
    const QString key = PrefKey::seenAchievements;
    const QList<QStringList> lists{
        {}, {QStringLiteral("first")}, {QStringLiteral("a"), QStringLiteral("b, c")}};
    for (const QStringList &list : lists) {
        {
            Prefs prefs(m_path);
            prefs.setValue(key, list);
        }
        Prefs reread(m_path); // through the file, not the in-memory cache
        QVERIFY(reread.contains(key));
        QCOMPARE(reread.stringListValue(key), list);
    }
    Prefs prefs(m_path);
    prefs.remove(key);
    QVERIFY(!prefs.contains(key));
    QCOMPARE(prefs.stringListValue(key), QStringList());
}

void TestPrefs::settingsFileIsPrivate_data()
{
    QTest::addColumn<QString>("folders"); // made by the first write, under the temporary folder
    QTest::newRow("folder exists") << QString();
    QTest::newRow("folder missing") << QStringLiteral("config/Grumblix");
}

void TestPrefs::settingsFileIsPrivate()
{
    QFETCH(QString, folders);
    // The usual umask, under which new files would be readable by everyone.
    const mode_t umaskBefore = ::umask(022);
    const auto restoreUmask = qScopeGuard([&] { ::umask(umaskBefore); });
    const QString folder = folders.isEmpty() ? m_dir->path() : m_dir->filePath(folders);
    const QString path = folder + QStringLiteral("/Grumblix.conf");
    const auto mode = [](const QString &file) { return QFileInfo(file).permissions() & 0x7777; };
    const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    const auto ownerFolder = owner | QFile::ExeOwner | QFile::ExeUser;
    const auto sharedFolderMode = mode(m_dir->path());
    {
        Prefs prefs(path);
        if (!folders.isEmpty()) // made private before anything else of ours is written there
            QCOMPARE(mode(folder), ownerFolder);
        prefs.setValue(PrefKey::hasOnboarded, true);
        QCOMPARE(mode(path), owner);
        // Every later write replaces the file and keeps it private.
        prefs.setValue(PrefKey::sound, QStringLiteral("boing"));
        prefs.remove(PrefKey::sound);
        QCOMPARE(mode(path), owner);
    }
    QCOMPARE(mode(path), owner);
    QCOMPARE(Prefs(path).boolValue(PrefKey::hasOnboarded), true);
    if (!folders.isEmpty()) {
        QCOMPARE(mode(folder), ownerFolder);
        QCOMPARE(mode(QFileInfo(folder).path()), ownerFolder);
    }
    QCOMPARE(mode(m_dir->path()), sharedFolderMode); // a folder that was there keeps its mode

    // A file the user made readable to others stays so.
    const auto readable = owner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(path, readable));
    Prefs(path).setValue(PrefKey::sound, QStringLiteral("boing"));
    QCOMPARE(mode(path), readable);
}

QTEST_GUILESS_MAIN(TestPrefs)
#include "tst_prefs.moc"
