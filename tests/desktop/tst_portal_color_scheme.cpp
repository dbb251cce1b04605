#include "platform/Appearance.h"
#include "platform/PortalColorScheme.h"
#include "support/TestSupport.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QtTest>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");

// A settings portal of our own on the private session bus.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    explicit FakePortal(QDBusConnection bus) : m_bus(bus) {}

    uint scheme = 0;
    bool doubleWrap = true; // the older portals answer Read() with a variant inside a variant
    int reads = 0;

    void change(const QString &ns, const QString &key, uint value)
    {
        if (ns == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme"))
            scheme = value;
        QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("SettingChanged"));
        signal << ns << key << QVariant::fromValue(QDBusVariant(value));
        m_bus.send(signal);
    }

public Q_SLOTS:
    QDBusVariant Read(const QString &ns, const QString &key)
    {
        ++reads;
        if (ns != QLatin1String("org.freedesktop.appearance") || key != QLatin1String("color-scheme"))
            return QDBusVariant(QString());
        if (doubleWrap)
            return QDBusVariant(QVariant::fromValue(QDBusVariant(scheme)));
        return QDBusVariant(scheme);
    }

private:
    QDBusConnection m_bus;
};

// The fake portal registered under the portal's name on its own connection while it lives.
struct PortalOnBus
{
    QString name;
    QDBusConnection bus;
    FakePortal portal;
    bool registered = false;

    PortalOnBus(const QString &connectionName, uint scheme)
        : name(connectionName),
          bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName)), portal(bus)
    {
        portal.scheme = scheme;
        registered = bus.registerObject(kPath, &portal, QDBusConnection::ExportAllSlots) &&
                     bus.registerService(kService);
    }
    ~PortalOnBus()
    {
        bus.unregisterService(kService);
        bus.unregisterObject(kPath);
        QDBusConnection::disconnectFromBus(name);
    }
};

} // namespace

class TestPortalColorScheme : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::isolateFolders();
        QVERIFY(QDBusConnection::sessionBus().isConnected());
    }

    void noPortalMeansNoPreference();
    void readsAndFollowsThePortal();
    void singleWrappedAnswer();
    void appearanceFollowsPortal();
};

void TestPortalColorScheme::noPortalMeansNoPreference()
{
    PortalColorScheme source;
    QTest::qWait(200);
    QCOMPARE(source.scheme(), ColorSchemeSource::Scheme::NoPreference);
}

void TestPortalColorScheme::readsAndFollowsThePortal()
{
    PortalOnBus fake(QStringLiteral("portal-a"), 1);
    QVERIFY(fake.registered);
    FakePortal &portal = fake.portal;

    PortalColorScheme source;
    QSignalSpy changed(&source, &ColorSchemeSource::schemeChanged);
    QTRY_COMPARE_WITH_TIMEOUT(source.scheme(), ColorSchemeSource::Scheme::Dark, 3000);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(portal.reads, 1);

    portal.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 2);
    QTRY_COMPARE_WITH_TIMEOUT(source.scheme(), ColorSchemeSource::Scheme::Light, 3000);
    // Other settings are not ours.
    portal.change(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("color-scheme"), 1);
    QTest::qWait(300);
    QCOMPARE(source.scheme(), ColorSchemeSource::Scheme::Light);
    QCOMPARE(changed.count(), 2);
    portal.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 0);
    QTRY_COMPARE_WITH_TIMEOUT(source.scheme(), ColorSchemeSource::Scheme::NoPreference, 3000);
}

void TestPortalColorScheme::singleWrappedAnswer()
{
    PortalOnBus fake(QStringLiteral("portal-b"), 1);
    QVERIFY(fake.registered);
    fake.portal.doubleWrap = false;
    PortalColorScheme source;
    QTRY_COMPARE(source.scheme(), ColorSchemeSource::Scheme::Dark);
}

void TestPortalColorScheme::appearanceFollowsPortal()
{
    PortalOnBus fake(QStringLiteral("portal-c"), 2);
    QVERIFY(fake.registered);
    FakePortal &portal = fake.portal;
    Appearance appearance;
    PortalColorScheme source;
    appearance.setSystemSource(&source);
    QTRY_COMPARE(source.scheme(), ColorSchemeSource::Scheme::Light);
    QVERIFY(!appearance.isDark());
    QSignalSpy dark(&appearance, &Appearance::isDarkChanged);
    portal.change(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), 1);
    QTRY_VERIFY_WITH_TIMEOUT(appearance.isDark(), 3000);
    QCOMPARE(dark.count(), 1);
    appearance.setMode(Appearance::Mode::Light);
    QVERIFY(!appearance.isDark());
}

QTEST_MAIN(TestPortalColorScheme)
#include "tst_portal_color_scheme.moc"
