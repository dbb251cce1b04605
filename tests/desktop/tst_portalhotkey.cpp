#include "platform/PortalHotKey.h"
#include "support/DesktopTools.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using DesktopTools::waitFor;

namespace {

const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// A GlobalShortcuts portal of our own on the private session bus: it answers requests the way
// xdg-desktop-portal does (a request object, then its Response signal) and can press the shortcut.
class FakePortal : public QDBusVirtualObject
{
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(bus) {}

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        if (message.interface() != QLatin1String("org.freedesktop.portal.GlobalShortcuts"))
            return false;
        const QString member = message.member();
        QVariantMap options = qdbus_cast<QVariantMap>(message.arguments().constLast());
        QString sender = message.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString request = portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') +
                                options.value(QStringLiteral("handle_token")).toString();
        QVariantMap results;
        uint response = 0;
        if (member == QLatin1String("CreateSession")) {
            session = portalPath + QStringLiteral("/session/") + sender + QLatin1Char('/') +
                      options.value(QStringLiteral("session_handle_token")).toString();
            results.insert(QStringLiteral("session_handle"), session);
            ++sessions;
        } else if (member == QLatin1String("BindShortcuts")) {
            const QDBusArgument list = message.arguments().at(1).value<QDBusArgument>();
            list.beginArray();
            while (!list.atEnd()) {
                QString id;
                QVariantMap properties;
                list.beginStructure();
                list >> id >> properties;
                list.endStructure();
                boundId = id;
                trigger = properties.value(QStringLiteral("preferred_trigger")).toString();
            }
            list.endArray();
            response = refuse ? 2 : 0;
        } else {
            return false;
        }
        m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QTimer::singleShot(10, [this, request, response, results] {
            QDBusMessage signal = QDBusMessage::createSignal(
                request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            signal << response << results;
            m_bus.send(signal);
        });
        return true;
    }

    void press(const QString &id)
    {
        QDBusMessage signal =
            QDBusMessage::createSignal(portalPath, QStringLiteral("org.freedesktop.portal.GlobalShortcuts"),
                                       QStringLiteral("Activated"));
        signal << QVariant::fromValue(QDBusObjectPath(session)) << id << qulonglong(1) << QVariantMap();
        m_bus.send(signal);
    }

    QString session;
    QString boundId;
    QString trigger;
    int sessions = 0;
    bool refuse = false;

private:
    QDBusConnection m_bus;
};

} // namespace

class PortalHotKeyTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FakePortal> m_portal;

private Q_SLOTS:
    void triggerText_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<uint>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::newRow("default") << int(Qt::Key_F) << uint(0x0A00) << "ALT+SHIFT+f";
        QTest::newRow("all four") << int(Qt::Key_F5) << uint(0x1B00) << "CTRL+ALT+SHIFT+LOGO+F5";
        QTest::newRow("space") << int(Qt::Key_Space) << uint(0x1000) << "CTRL+space";
        QTest::newRow("no keysym") << int(Qt::Key_unknown) << uint(0x1000) << "";
    }

    void triggerText()
    {
        QFETCH(int, key);
        QFETCH(uint, modifiers);
        QFETCH(QString, text);
        QCOMPARE(PortalHotKey::triggerText(quint32(key), modifiers), text);
    }

    void withoutAPortalRegistrationFails()
    {
        PortalHotKey hotKey;
        QVERIFY(!hotKey.isAvailable());
        QVERIFY(!hotKey.grab(Qt::Key_F, 0x0A00));
    }

    void bindsAndReportsPresses()
    {
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("portal"));
        QVERIFY(bus.isConnected());
        m_portal = std::make_unique<FakePortal>(bus);
        QVERIFY(bus.registerVirtualObject(portalPath, m_portal.get()));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));

        PortalHotKey hotKey;
        QSignalSpy activated(&hotKey, &HotKeyBackend::activated);
        QSignalSpy lost(&hotKey, &HotKeyBackend::lost);
        QVERIFY(hotKey.grab(Qt::Key_F, 0x0A00));
        QVERIFY(waitFor([&] { return !m_portal->trigger.isEmpty(); }));
        QCOMPARE(m_portal->trigger, QStringLiteral("ALT+SHIFT+f"));
        QCOMPARE(m_portal->boundId, PortalHotKey::shortcutId());

        m_portal->press(PortalHotKey::shortcutId());
        QVERIFY(activated.wait(2000));
        m_portal->press(QStringLiteral("someone-else"));
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
        QCOMPARE(lost.count(), 0);

        // A refused binding is reported after the fact.
        m_portal->refuse = true;
        m_portal->trigger.clear();
        QVERIFY(hotKey.grab(Qt::Key_F9, 0x1000));
        QVERIFY(lost.wait(2000));
        QCOMPARE(m_portal->sessions, 2); // a new session for the new combination

        // After ungrab, presses of the old session do nothing.
        hotKey.ungrab();
        m_portal->press(PortalHotKey::shortcutId());
        QTest::qWait(200);
        QCOMPARE(activated.count(), 1);
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    PortalHotKeyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portalhotkey.moc"
