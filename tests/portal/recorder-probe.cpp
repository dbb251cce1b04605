// The settings page's shortcut recorder against whatever GlobalShortcuts portal the session bus
// has: binds the default shortcut, records two new combinations with key presses, and prints what
// the desktop answered and what the page says. check-kde-portal.sh reads the lines it prints.
#include "features/settings/SettingsServices.h"
#include "features/settings/SettingsView.h"
#include "features/settings/ShortcutRecorder.h"
#include "platform/PortalHotKey.h"
#include "services/HotKeyService.h"
#include "support/ModelFixture.h"
#include "ui/ThemedLabel.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

QTextStream out(stdout);

// Waits for the portal's answer to the registration just made, and prints it.
bool answered(QSignalSpy &confirmed, QSignalSpy &kept, QSignalSpy &lost, const char *step)
{
    const qsizetype before = confirmed.count() + kept.count() + lost.count();
    if (!QTest::qWaitFor([&] { return confirmed.count() + kept.count() + lost.count() > before; }, 20000)) {
        out << step << ": no answer from the portal\n";
        return false;
    }
    if (confirmed.count() + kept.count() + lost.count() > before + 1)
        out << step << ": more than one answer\n";
    else if (lost.count())
        out << step << ": lost\n";
    else if (kept.count())
        out << step << ": kept " << kept.takeFirst().first().toString() << '\n';
    else
        out << step << ": confirmed " << confirmed.takeFirst().first().toString() << '\n';
    lost.clear();
    out.flush();
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestSupport::ModelFixture f;
    HotKeyService hotKeys(std::make_unique<PortalHotKey>());
    // As the composition root does.
    QObject::connect(&hotKeys, &HotKeyService::registrationLost,
                     [&f] { f.model->setHotKeyRegistered(false); });
    QObject::connect(&hotKeys, &HotKeyService::registrationConfirmed,
                     [&f] { f.model->setHotKeyRegistered(true); });
    QObject::connect(&hotKeys, &HotKeyService::registrationKept,
                     [&f] { f.model->setHotKeyRegistered(true); });
    QSignalSpy confirmed(&hotKeys, &HotKeyService::registrationConfirmed);
    QSignalSpy kept(&hotKeys, &HotKeyService::registrationKept);
    QSignalSpy lost(&hotKeys, &HotKeyService::registrationLost);

    SettingsServices services;
    services.hotKeys = &hotKeys;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *view = new SettingsView(*f.model, services);
    layout->addWidget(view);
    window.resize(1000, 800);
    window.show();

    const Shortcut start = f.model->shortcut();
    hotKeys.registerKey(start.keyCode, start.carbonModifiers);
    if (!answered(confirmed, kept, lost, "start"))
        return 1;
    for (const Qt::Key key : {Qt::Key_K, Qt::Key_J}) {
        view->recorder()->start();
        QTest::keyClick(&window, key, Qt::ControlModifier | Qt::AltModifier);
        if (!answered(confirmed, kept, lost, "recorded"))
            return 1;
        out << "note: " << view->shortcutNote()->text() << '\n';
        out.flush();
    }
    return 0;
}
