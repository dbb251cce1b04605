#include "services/HotKeyService.h"
#include "support/FakeHotKeyBackend.h"

#include <QtTest>

// The service around whatever backend grabs the keys: the recorder's suspension in particular.
class TestHotKeyService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void suspensionReleasesAndDropsPresses();
    void answersWhileSuspendedAreIgnored();
    void keptKeyLastsUntilTheNextAnswer_data();
    void keptKeyLastsUntilTheNextAnswer();
};

void TestHotKeyService::suspensionReleasesAndDropsPresses()
{
    auto owned = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *backend = owned.get();
    HotKeyService service(std::move(owned));
    int presses = 0;
    service.setHandler([&] { ++presses; });
    QVERIFY(service.registerKey(Qt::Key_F, HotKeyBackend::optionBit | HotKeyBackend::shiftBit));

    // A press already on its way when recording starts must not log either.
    backend->press();
    service.suspend();
    QVERIFY(service.isSuspended());
    QVERIFY(!service.isRegistered());
    QVERIFY(!backend->held);
    QCoreApplication::processEvents();
    QCOMPARE(presses, 0);

    // Registering again ends the suspension; presses count again.
    QVERIFY(service.registerKey(Qt::Key_K, HotKeyBackend::controlBit | HotKeyBackend::optionBit));
    QVERIFY(!service.isSuspended());
    QCOMPARE(backend->held, std::optional(std::pair{quint32(Qt::Key_K),
                                                    HotKeyBackend::controlBit | HotKeyBackend::optionBit}));
    backend->press();
    QTRY_COMPARE(presses, 1);
}

void TestHotKeyService::answersWhileSuspendedAreIgnored()
{
    auto owned = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *backend = owned.get();
    HotKeyService service(std::move(owned));
    QSignalSpy lost(&service, &HotKeyService::registrationLost);
    QSignalSpy confirmed(&service, &HotKeyService::registrationConfirmed);
    QSignalSpy kept(&service, &HotKeyService::registrationKept);
    QVERIFY(service.registerKey(Qt::Key_F, HotKeyBackend::optionBit));
    service.suspend();
    // The portal answering about the session we just closed.
    Q_EMIT backend->lost();
    Q_EMIT backend->confirmed(QStringLiteral("Alt+F"));
    Q_EMIT backend->kept(QStringLiteral("Alt+F"));
    QCOMPARE(lost.count(), 0);
    QCOMPARE(confirmed.count(), 0);
    QCOMPARE(kept.count(), 0);
    QVERIFY(service.keptByDesktop().isEmpty());
    QVERIFY(!service.isRegistered());
    QVERIFY(service.registerKey(Qt::Key_F, HotKeyBackend::optionBit));
    Q_EMIT backend->lost();
    QCOMPARE(lost.count(), 1);
}

// The desktop kept its own key: the shortcut counts as registered, and the kept key is known until
// something newer is.
void TestHotKeyService::keptKeyLastsUntilTheNextAnswer_data()
{
    QTest::addColumn<int>("next");
    QTest::addColumn<bool>("registeredAfterwards");
    QTest::newRow("confirmed") << 0 << true;
    QTest::newRow("lost") << 1 << false;
    QTest::newRow("registered again") << 2 << true;
    QTest::newRow("unregistered") << 3 << false;
}

void TestHotKeyService::keptKeyLastsUntilTheNextAnswer()
{
    QFETCH(int, next);
    QFETCH(bool, registeredAfterwards);
    auto owned = std::make_unique<FakeHotKeyBackend>();
    FakeHotKeyBackend *backend = owned.get();
    HotKeyService service(std::move(owned));
    QSignalSpy kept(&service, &HotKeyService::registrationKept);
    QVERIFY(service.registerKey(Qt::Key_K, HotKeyBackend::controlBit | HotKeyBackend::optionBit));
    Q_EMIT backend->kept(QStringLiteral("Alt+Shift+F"));
    QCOMPARE(kept.count(), 1);
    QCOMPARE(kept.first().first().toString(), QStringLiteral("Alt+Shift+F"));
    QVERIFY(service.isRegistered());
    QCOMPARE(service.keptByDesktop(), QStringLiteral("Alt+Shift+F"));

    switch (next) {
    case 0:
        Q_EMIT backend->confirmed(QStringLiteral("Ctrl+Alt+K"));
        break;
    case 1:
        Q_EMIT backend->lost();
        break;
    case 2:
        QVERIFY(service.registerKey(Qt::Key_F, HotKeyBackend::optionBit | HotKeyBackend::shiftBit));
        break;
    default:
        service.unregister();
        break;
    }
    QVERIFY(service.keptByDesktop().isEmpty());
    QCOMPARE(service.isRegistered(), registeredAfterwards);
}

QTEST_MAIN(TestHotKeyService)
#include "tst_hotkeyservice.moc"
