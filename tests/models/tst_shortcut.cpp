#include "models/Prefs.h"
#include "models/Shortcut.h"

#include <QtTest>

class TestShortcut : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultIsAltShiftF();
    void storedJson_data();
    void storedJson();
    void nonDataValueGivesDefault();
    void saveAndLoadRoundTrip();
    void modifiersFromKeyEvent();
    void labels_data();
    void labels();
    void capsFromDescription_data();
    void capsFromDescription();
};

void TestShortcut::defaultIsAltShiftF()
{
    const Shortcut s;
    QCOMPARE(s.keyCode, quint32(Qt::Key_F));
    QCOMPARE(s.carbonModifiers, quint32(2560));
    QCOMPARE(s.keyLabel, QStringLiteral("F"));
    QCOMPARE(s.displayText(), QStringLiteral("Alt+Shift+F"));
    QCOMPARE(s.toJson(), QByteArray(R"({"carbonModifiers":2560,"keyCode":70,"keyLabel":"F"})"));
}

void TestShortcut::storedJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::newRow("complete") << QByteArray(R"({"keyCode":32,"carbonModifiers":4096,"keyLabel":"Space"})")
                              << true;
    QTest::newRow("extra member") << QByteArray(R"({"keyCode":32,"carbonModifiers":0,"keyLabel":"x","y":1})")
                                  << true;
    QTest::newRow("no label") << QByteArray(R"({"keyCode":70,"carbonModifiers":2560})") << false;
    QTest::newRow("label not text") << QByteArray(R"({"keyCode":70,"carbonModifiers":2560,"keyLabel":5})")
                                    << false;
    QTest::newRow("code as text") << QByteArray(R"({"keyCode":"70","carbonModifiers":0,"keyLabel":"F"})")
                                  << false;
    QTest::newRow("negative") << QByteArray(R"({"keyCode":-1,"carbonModifiers":0,"keyLabel":"F"})") << false;
    QTest::newRow("over 32 bits") << QByteArray(
                                         R"({"keyCode":4294967296,"carbonModifiers":0,"keyLabel":"F"})")
                                  << false;
    QTest::newRow("fraction") << QByteArray(R"({"keyCode":70.5,"carbonModifiers":0,"keyLabel":"F"})")
                              << false;
    QTest::newRow("malformed") << QByteArray(R"({"keyCode":70,)") << false;
    QTest::newRow("array") << QByteArray("[70, 2560, \"F\"]") << false;
}

void TestShortcut::storedJson()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    QTemporaryDir dir;
    Prefs prefs(dir.filePath(QStringLiteral("p.conf")));
    prefs.setValue(QStringLiteral("shortcut"), json);
    const Shortcut loaded = Shortcut::load(prefs);
    QCOMPARE(loaded == Shortcut::defaultShortcut(), !valid);
    QCOMPARE(prefs.value(QStringLiteral("shortcut")).toByteArray(), json); // nothing written back
}

void TestShortcut::nonDataValueGivesDefault()
{
    QTemporaryDir dir;
    Prefs prefs(dir.filePath(QStringLiteral("p.conf")));
    prefs.setValue(QStringLiteral("shortcut"), 42);
    QCOMPARE(Shortcut::load(prefs), Shortcut::defaultShortcut());
}

void TestShortcut::saveAndLoadRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.conf"));
    const Shortcut custom{Qt::Key_F12, Shortcut::controlBit | Shortcut::commandBit, QStringLiteral("F12")};
    {
        Prefs prefs(path);
        QCOMPARE(Shortcut::load(prefs), Shortcut::defaultShortcut());
        custom.save(prefs);
    }
    Prefs prefs(path);
    QCOMPARE(Shortcut::load(prefs), custom);
    QCOMPARE(custom.displayText(), QStringLiteral("Ctrl+Super+F12"));
}

void TestShortcut::modifiersFromKeyEvent()
{
    const quint32 all =
        Shortcut::carbonModifiersFrom(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier |
                                      Qt::MetaModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
    QCOMPARE(all, quint32(0x1B00));
    const Shortcut s{Qt::Key_A, all, QStringLiteral("A")};
    QCOMPARE(s.modifierSymbols(), (QStringList{QStringLiteral("Ctrl"), QStringLiteral("Alt"),
                                               QStringLiteral("Shift"), QStringLiteral("Super")}));
    QCOMPARE(Shortcut::carbonModifiersFrom(Qt::NoModifier), quint32(0));
    // Bits outside the four are not shown.
    QCOMPARE((Shortcut{Qt::Key_A, 0x0001, QStringLiteral("A")}.modifierSymbols()), QStringList());
}

void TestShortcut::labels_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<std::optional<QString>>("characters");
    QTest::addColumn<QString>("label");
    QTest::newRow("space ignores text")
        << int(Qt::Key_Space) << std::optional<QString>(QStringLiteral("x")) << "Space";
    QTest::newRow("return") << int(Qt::Key_Return) << std::optional<QString>() << QStringLiteral("\u21A9");
    QTest::newRow("page down") << int(Qt::Key_PageDown) << std::optional<QString>()
                               << QStringLiteral("\u21DF");
    QTest::newRow("F15") << int(Qt::Key_F15) << std::optional<QString>() << "F15";
    QTest::newRow("letter upper-cased")
        << int(Qt::Key_Q) << std::optional<QString>(QStringLiteral("q")) << "Q";
    QTest::newRow("umlaut") << int(Qt::Key_Odiaeresis) << std::optional<QString>(QStringLiteral("ö")) << "Ö";
    QTest::newRow("escape uses text")
        << int(Qt::Key_Escape) << std::optional<QString>(QStringLiteral("\x1b")) << "\x1b";
    QTest::newRow("no characters") << int(Qt::Key_Q) << std::optional<QString>() << "?";
    QTest::newRow("empty characters") << int(Qt::Key_Q) << std::optional<QString>(QString()) << "";
}

void TestShortcut::labels()
{
    QFETCH(int, key);
    QFETCH(std::optional<QString>, characters);
    QFETCH(QString, label);
    QCOMPARE(Shortcut::label(quint32(key), characters), label);
}

void TestShortcut::capsFromDescription_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("caps");
    QTest::newRow("desktop words") << "Meta+Shift+F" << QStringList{"Super", "Shift", "F"};
    QTest::newRow("portal trigger form") << "CTRL+ALT+LOGO+f" << QStringList{"Ctrl", "Alt", "Super", "F"};
    QTest::newRow("spaces") << " Control + Alt + F9 " << QStringList{"Ctrl", "Alt", "F9"};
    QTest::newRow("named key kept") << "Alt+space" << QStringList{"Alt", "space"};
    QTest::newRow("plus as the key") << "Ctrl++" << QStringList{"Ctrl", "+"};
    QTest::newRow("plus alone") << "+" << QStringList{"+"};
    QTest::newRow("one key") << "Pause" << QStringList{"Pause"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("blank") << "   " << QStringList{};
}

void TestShortcut::capsFromDescription()
{
    QFETCH(QString, description);
    QFETCH(QStringList, caps);
    QCOMPARE(Shortcut::capsFromDescription(description), caps);
}

QTEST_GUILESS_MAIN(TestShortcut)
#include "tst_shortcut.moc"
