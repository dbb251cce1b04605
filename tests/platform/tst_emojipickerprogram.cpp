#include "platform/EmojiPickerProgram.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The emoji picker search on the PATH: the first known picker that is installed, or nothing, in
// which case the controls that would start it are left out.
class TestEmojiPickerProgram : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { m_path = qgetenv("PATH"); }
    void cleanup() { qputenv("PATH", m_path); }
    void findsAnInstalledPicker();
    void noneInstalledGivesNoLauncher();

private:
    static void install(const QString &folder, const QString &name, bool executable)
    {
        QFile file(folder + QLatin1Char('/') + name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\nexit 0\n");
        file.close();
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (executable)
            permissions |= QFile::ExeOwner;
        QVERIFY(file.setPermissions(permissions));
    }

    QByteArray m_path;
};

void TestEmojiPickerProgram::findsAnInstalledPicker()
{
    QTemporaryDir first, second;
    install(first.path(), QStringLiteral("gucharmap"), true);
    install(second.path(), QStringLiteral("gnome-characters"), true);
    qputenv("PATH", (first.path() + QLatin1Char(':') + second.path()).toUtf8());
    // gnome-characters comes before gucharmap in the order of preference, wherever it lives.
    QCOMPARE(EmojiPickerProgram::find(), second.filePath(QStringLiteral("gnome-characters")));
    QVERIFY(EmojiPickerProgram::launcher());
}

void TestEmojiPickerProgram::noneInstalledGivesNoLauncher()
{
    QTemporaryDir folder;
    // Not executable, and not a picker: neither counts.
    install(folder.path(), QStringLiteral("emote"), false);
    install(folder.path(), QStringLiteral("charmap-of-some-other-kind"), true);
    qputenv("PATH", folder.path().toUtf8());
    QCOMPARE(EmojiPickerProgram::find(), QString());
    QVERIFY(!EmojiPickerProgram::launcher());
}

QTEST_GUILESS_MAIN(TestEmojiPickerProgram)
#include "tst_emojipickerprogram.moc"
