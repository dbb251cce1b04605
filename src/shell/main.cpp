#include "app/CommandLine.h"
#include "models/StoreLock.h"
#include "platform/DisplayCheck.h"
#include "platform/QuitOnSignal.h"
#include "platform/SessionBus.h"
#include "platform/SingleInstance.h"
#include "platform/StartReport.h"
#include "shell/Application.h"
#include "shell/Launcher.h"
#include "shell/Shell.h"

#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char **argv)
{
    // Before anything could start a process that inherits it: the launcher that started this one
    // in the background waits on this report for what became of its URLs.
    StartReport report = StartReport::fromEnvironment();
    const auto tell = [&report](const HandOver::Reply &reply) {
        if (!reply.message.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(reply.message));
        report.send(reply.encode().toStdString());
        return reply.exitStatus();
    };

    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine command = CommandLine::parse(rawArguments);
    switch (command.action) {
    case CommandLine::Action::Help:
        std::fputs(qPrintable(CommandLine::helpText()), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(qPrintable(CommandLine::versionText()), stdout);
        return 0;
    case CommandLine::Action::Run:
        break;
    }
    for (const QString &warning : command.warnings)
        std::fprintf(stderr, "%s\n", qPrintable(warning));

    // One Grumblix per user: a later launch hands its request to the running one and ends here,
    // before any GUI is built.
    std::unique_ptr<SingleInstance> instance;
    if (const std::optional<HandOver::Reply> reply = handOverOrClaim(command.arguments.mid(1), instance))
        return tell(*reply);
    // One writer per store: a Grumblix started from another environment, with a runtime folder of
    // its own, gets the launch. Only a process that goes on needs a display (without one Qt would
    // abort), and where no program ever locked the store none can hold it: a launch that cannot
    // start then says so before it makes anything beside the store.
    const auto noDisplay = [&rawArguments] {
        return DisplayCheck::problem(DisplayCheck::Environment::current(rawArguments),
                                     DisplayCheck::Probes::real());
    };
    const QString storePath = Shell::standardLocations().store;
    const bool everLocked = QFileInfo::exists(
        QFile::decodeName(StoreLock::pathFor(QFile::encodeName(storePath).toStdString()).c_str()));
    std::optional<QString> problem;
    if (!everLocked && (problem = noDisplay()))
        return tell({HandOver::Reply::Status::refused, *problem});
    StoreLock storeLock;
    if (const std::optional<HandOver::Reply> reply = handOverToStoreWriter(
            command.arguments.mid(1), storePath, storeLock, SingleInstance::claimTimeoutMs))
        return tell(*reply);
    if (everLocked && (problem = noDisplay()))
        return tell({HandOver::Reply::Status::refused, *problem});

    // Decided before Qt or anything else asks for the bus: none that hangs, none launched.
    const bool busNamed = !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
    if (!SessionBus::settle() && busNamed)
        std::fputs("Grumblix: the session bus does not answer; running without it.\n", stderr);

    Q_INIT_RESOURCE(shell);
    // The display may still go away before Qt reaches it: one line then, no core, no lock left.
    const std::unique_ptr<Application> app = Application::create(argc, argv, [&](const QString &line) {
        tell({HandOver::Reply::Status::refused, line});
        instance.reset();
        ::_exit(HandOverWire::exitNothingDone);
    });
    QApplication::setApplicationName(QStringLiteral("Grumblix"));
    QApplication::setApplicationVersion(QStringLiteral(GRUMBLIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("grumblix"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("grumblix"), QIcon(QStringLiteral(":/grumblix.svg"))));

    // Until the model can take them, launches are answered with a refusal rather than dropped,
    // and a termination signal also ends a fatal message box.
    quitOnTerminationSignals();
    // Launches from other runtime folders find this instance by way of the store's note.
    if (instance->listen())
        storeLock.note(QFile::encodeName(QFileInfo(instance->socketPath()).absoluteFilePath()).toStdString());
    Shell shell;
    // The launcher hears of a fatal start at once, not once the message box is closed.
    shell.setFatalReport([&report](const QString &message) {
        report.send(HandOver::Reply{HandOver::Reply::Status::refused, message}.encode().toStdString());
    });
    if (!shell.build(Shell::standardLocations(), Platform::forApplication(), std::move(storeLock)))
        return EXIT_FAILURE;
    tell(shell.start(command.arguments, [&report] { report.markTakingUrls(); }));
    instance->setHandler([&shell](const QStringList &arguments) { return shell.handOver(arguments); });
    mainLoopStarting();
    return app->exec();
}
