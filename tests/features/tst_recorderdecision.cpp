#include "features/settings/RecorderDecision.h"
#include "features/settings/SettingsText.h"

#include <QtTest>

using Kind = RecorderDecision::Kind;

Q_DECLARE_METATYPE(RecorderDecision::Kind)

namespace {
constexpr quint32 ctrl = Shortcut::controlBit, alt = Shortcut::optionBit, shift = Shortcut::shiftBit,
                  super = Shortcut::commandBit;
}

// What one key press does to a recording: cancel, ignore, beep or accept which shortcut. No display.
class TestRecorderDecision : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decide_data();
    void decide();
    void texts_data();
    void texts();
    void appearanceFromStored_data();
    void appearanceFromStored();
};

void TestRecorderDecision::decide_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<RecorderDecision::Kind>("kind");
    QTest::addColumn<quint32>("storedModifiers");
    QTest::addColumn<QString>("label");

    const Qt::KeyboardModifiers none;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << none << QStringLiteral("\x1b") << Kind::Cancel << 0u
                            << QString();
    QTest::newRow("Ctrl+Alt+Escape cancels too")
        << int(Qt::Key_Escape) << (Qt::ControlModifier | Qt::AltModifier) << QString() << Kind::Cancel << 0u
        << QString();
    QTest::newRow("plain F beeps") << int(Qt::Key_F) << none << QStringLiteral("f") << Kind::Beep << 0u
                                   << QString();
    QTest::newRow("Shift+F beeps") << int(Qt::Key_F) << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                   << QStringLiteral("F") << Kind::Beep << 0u << QString();
    QTest::newRow("AltGr+K is not Alt") << int(Qt::Key_K) << Qt::KeyboardModifiers(Qt::GroupSwitchModifier)
                                        << QStringLiteral("\u0138") << Kind::Beep << 0u << QString();
    QTest::newRow("Ctrl alone waits") << int(Qt::Key_Control) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                      << QString() << Kind::Ignore << 0u << QString();
    QTest::newRow("AltGr key alone waits")
        << int(Qt::Key_AltGr) << none << QString() << Kind::Ignore << 0u << QString();
    QTest::newRow("Caps Lock key waits") << int(Qt::Key_CapsLock) << Qt::KeyboardModifiers(Qt::AltModifier)
                                         << QString() << Kind::Ignore << 0u << QString();
    QTest::newRow("NumLock key waits") << int(Qt::Key_NumLock) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                       << QString() << Kind::Ignore << 0u << QString();
    QTest::newRow("unknown key beeps") << int(Qt::Key_unknown) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                       << QString() << Kind::Beep << 0u << QString();

    QTest::newRow("Ctrl+Alt+K: label from the key, never U+000B")
        << int(Qt::Key_K) << (Qt::ControlModifier | Qt::AltModifier) << QStringLiteral("\x0b") << Kind::Accept
        << (ctrl | alt) << QStringLiteral("K");
    QTest::newRow("Alt+Shift+F is the default")
        << int(Qt::Key_F) << (Qt::AltModifier | Qt::ShiftModifier) << QStringLiteral("F") << Kind::Accept
        << (alt | shift) << QStringLiteral("F");
    QTest::newRow("Super+Shift+1 as typed")
        << int(Qt::Key_Exclam) << (Qt::MetaModifier | Qt::ShiftModifier) << QStringLiteral("!")
        << Kind::Accept << (super | shift) << QStringLiteral("!");
    QTest::newRow("keypad flag stays out")
        << int(Qt::Key_7) << (Qt::ControlModifier | Qt::KeypadModifier) << QStringLiteral("7") << Kind::Accept
        << ctrl << QStringLiteral("7");
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << (Qt::AltModifier | Qt::KeypadModifier)
                                  << QStringLiteral("\r") << Kind::Accept << alt << QStringLiteral("\u21A9");
    QTest::newRow("AltGr beside Ctrl stays out")
        << int(Qt::Key_Q) << (Qt::ControlModifier | Qt::GroupSwitchModifier) << QStringLiteral("@")
        << Kind::Accept << ctrl << QStringLiteral("Q");
    QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers(Qt::ControlModifier)
                                << QStringLiteral(" ") << Kind::Accept << ctrl << QStringLiteral("Space");
    QTest::newRow("Alt+F5") << int(Qt::Key_F5) << Qt::KeyboardModifiers(Qt::AltModifier) << QString()
                            << Kind::Accept << alt << QStringLiteral("F5");
    QTest::newRow("key without text gets its name")
        << int(Qt::Key_Insert) << Qt::KeyboardModifiers(Qt::ControlModifier) << QString() << Kind::Accept
        << ctrl << QStringLiteral("Ins");
    QTest::newRow("lower-case text is upper-cased")
        << int(0x430) << Qt::KeyboardModifiers(Qt::ControlModifier) << QStringLiteral("\u0430")
        << Kind::Accept << ctrl << QStringLiteral("\u0410");
}

void TestRecorderDecision::decide()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(RecorderDecision::Kind, kind);
    QFETCH(quint32, storedModifiers);
    QFETCH(QString, label);

    const RecorderDecision decision = RecorderDecision::decide(key, modifiers, text);
    QCOMPARE(decision.kind, kind);
    if (kind != Kind::Accept)
        return;
    QCOMPARE(decision.shortcut.keyCode, quint32(key));
    QCOMPARE(decision.shortcut.carbonModifiers, storedModifiers);
    QCOMPARE(decision.shortcut.keyLabel, label);
    for (const QChar c : decision.shortcut.displayText())
        QVERIFY2(c.isPrint(), qPrintable(decision.shortcut.displayText()));
}

void TestRecorderDecision::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    QTest::newRow("shortcut held") << SettingsText::shortcutHint(true)
                                   << QStringLiteral(
                                          "Works from any app. No special permission needed.");
    QTest::newRow("shortcut refused")
        << SettingsText::shortcutHint(false)
        << QStringLiteral("That shortcut is taken by something else. Try another.");
    QTest::newRow("refused by the desktop's portal")
        << SettingsText::shortcutHint(false, true)
        << QStringLiteral("The desktop did not bind this shortcut. Add a custom shortcut in your desktop's keyboard "
                          "settings that runs: xdg-open 'grumblix://log?source=shortcut'");
    QTest::newRow("held through the portal") << SettingsText::shortcutHint(true, true)
                                             << QStringLiteral("Works from any app. No special permission needed.");
    QTest::newRow("the desktop kept its own key")
        << SettingsText::shortcutHint(true, true, QStringLiteral("Meta+P"))
        << QStringLiteral(
               "Your desktop keeps Meta+P for this shortcut. To use the new one, change Grumblix's "
               "shortcut in your desktop's keyboard settings.");
    QTest::newRow("refused, whatever was kept before")
        << SettingsText::shortcutHint(false, true, QStringLiteral("Meta+P"))
        << QStringLiteral(
               "The desktop did not bind this shortcut. Add a custom shortcut in your desktop's keyboard "
               "settings that runs: xdg-open 'grumblix://log?source=shortcut'");
    QTest::newRow("erase none") << SettingsText::eraseTitle(0) << QStringLiteral("Erase all 0 incidents?");
    QTest::newRow("erase one stays plural")
        << SettingsText::eraseTitle(1) << QStringLiteral("Erase all 1 incidents?");
    QTest::newRow("update host")
        << SettingsText::updateNote(QUrl(QStringLiteral("https://updates.example.org/feed.xml")))
        << QStringLiteral("Updates come from updates.example.org and are signed, so only "
                          "genuine builds install. The check sends nothing but the app version.");
    QTest::newRow("no feed") << SettingsText::updateNote(QUrl())
                             << QStringLiteral(
                                    "This build has no update feed: your package manager keeps Grumblix "
                                    "up to date.");
    QTest::newRow("export failure")
        << SettingsText::exportFailed(QStringLiteral("grumblix-2026-12-10.csv"),
                                      QStringLiteral("Permission denied"))
        << QStringLiteral(
               "Could not save grumblix-2026-12-10.csv: Permission denied. Nothing was changed; pick "
               "another folder.");
}

void TestRecorderDecision::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

void TestRecorderDecision::appearanceFromStored_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("label");
    QTest::newRow("light") << QStringLiteral("light") << QStringLiteral("Paper");
    QTest::newRow("dark") << QStringLiteral("dark") << QStringLiteral("Night");
    QTest::newRow("system") << QStringLiteral("system") << QStringLiteral("System");
    QTest::newRow("absent") << QString() << QStringLiteral("System");
    QTest::newRow("wrong case") << QStringLiteral("Dark") << QStringLiteral("System");
    QTest::newRow("garbled") << QStringLiteral("\u00ffnope") << QStringLiteral("System");
}

void TestRecorderDecision::appearanceFromStored()
{
    QFETCH(QString, stored);
    QFETCH(QString, label);
    QCOMPARE(Appearances::label(Appearances::fromStored(stored)), label);
}

QTEST_APPLESS_MAIN(TestRecorderDecision)
#include "tst_recorderdecision.moc"
