#include "platform/KeySyms.h"

#include <QtTest>
#include <X11/keysym.h>

// The Qt key of a stored shortcut to the X keysym the X11 grab asks for.
class TestKeySyms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mapped_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<quint32>("keysym");
        QTest::newRow("F, the default") << int(Qt::Key_F) << quint32(XK_f);
        QTest::newRow("A") << int(Qt::Key_A) << quint32(XK_a);
        QTest::newRow("Z") << int(Qt::Key_Z) << quint32(XK_z);
        QTest::newRow("digit") << int(Qt::Key_7) << quint32(XK_7);
        QTest::newRow("F1") << int(Qt::Key_F1) << quint32(XK_F1);
        QTest::newRow("F12") << int(Qt::Key_F12) << quint32(XK_F12);
        QTest::newRow("F35") << int(Qt::Key_F35) << quint32(XK_F35);
        QTest::newRow("space") << int(Qt::Key_Space) << quint32(XK_space);
        QTest::newRow("return") << int(Qt::Key_Return) << quint32(XK_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << quint32(XK_KP_Enter);
        QTest::newRow("escape") << int(Qt::Key_Escape) << quint32(XK_Escape);
        QTest::newRow("backtab") << int(Qt::Key_Backtab) << quint32(XK_ISO_Left_Tab);
        QTest::newRow("delete") << int(Qt::Key_Delete) << quint32(XK_Delete);
        QTest::newRow("arrow") << int(Qt::Key_Left) << quint32(XK_Left);
        QTest::newRow("page down") << int(Qt::Key_PageDown) << quint32(XK_Next);
        QTest::newRow("menu") << int(Qt::Key_Menu) << quint32(XK_Menu);
        QTest::newRow("punctuation") << int(Qt::Key_Comma) << quint32(XK_comma);
        QTest::newRow("tilde, last printable ASCII") << int(Qt::Key_AsciiTilde) << quint32(XK_asciitilde);
        QTest::newRow("Latin-1 letter") << int(Qt::Key_Adiaeresis) << quint32(XK_Adiaeresis);
    }
    void mapped()
    {
        QFETCH(int, key);
        QFETCH(quint32, keysym);
        QCOMPARE(keysymForQtKey(key), keysym);
    }

    void unmapped_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("none") << 0;
        QTest::newRow("a modifier on its own") << int(Qt::Key_Control);
        QTest::newRow("beyond F35") << int(Qt::Key_F35) + 1;
        QTest::newRow("control character") << 0x1f;
        QTest::newRow("DEL is no printable key") << 0x7f;
        QTest::newRow("beyond Latin-1") << 0x100;
        QTest::newRow("media key") << int(Qt::Key_VolumeUp);
    }
    void unmapped()
    {
        QFETCH(int, key);
        QCOMPARE(keysymForQtKey(key), 0u);
    }
};

QTEST_GUILESS_MAIN(TestKeySyms)
#include "tst_keysyms.moc"
