#include "app/AppModel.h"
#include "platform/QuitOnSignal.h"
#include "platform/SessionBus.h"
#include "platform/SingleInstance.h"
#include "shell/Launcher.h"
#include "shell/Shell.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char **argv)
{
    // One Grumblix per user: a later launch hands its URLs to the running one and ends here,
    // before any GUI is built.
    std::unique_ptr<SingleInstance> instance;
    if (const std::optional<int> status = handOverOrClaim(argc, argv, instance))
        return *status;

    // Decided before Qt or anything else asks for the bus: none that hangs, none launched.
    const bool busNamed = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
    if (!SessionBus::settle() && busNamed)
        std::fputs("Grumblix: the session bus does not answer; running without it.\n", stderr);

    Q_INIT_RESOURCE(shell);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grumblix"));
    QApplication::setApplicationVersion(QStringLiteral(GRUMBLIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("grumblix"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("grumblix"), QIcon(QStringLiteral(":/grumblix.svg"))));

    // Until the model can take them, launches are answered with a refusal rather than dropped,
    // and a termination signal also ends a fatal message box.
    quitOnTerminationSignals();
    instance->listen();
    Shell shell(AppModel::shared());
    shell.start(QApplication::arguments());
    instance->setHandler([&shell](const QStringList &arguments) { return shell.handOver(arguments); });
    mainLoopStarting();
    return app.exec();
}
