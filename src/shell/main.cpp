#include "app/AppModel.h"
#include "app/CommandLine.h"
#include "platform/QuitOnSignal.h"
#include "platform/SingleInstance.h"
#include "shell/Shell.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

int main(int argc, char **argv)
{
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

    Q_INIT_RESOURCE(shell);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grumblix"));
    QApplication::setApplicationVersion(QStringLiteral(GRUMBLIX_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("grumblix"));
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("grumblix"), QIcon(QStringLiteral(":/grumblix.svg"))));

    // One Grumblix per user: a later launch hands its URLs to the running one and ends here.
    SingleInstance instance;
    const QStringList &arguments = command.arguments;
    switch (instance.claim(arguments.mid(1))) {
    case SingleInstance::Role::Forwarded:
        return 0;
    case SingleInstance::Role::Failed:
        std::fprintf(stderr, "Grumblix is already starting but does not answer; try again in a moment.\n");
        return 1;
    case SingleInstance::Role::Primary:
        break;
    }

    quitOnTerminationSignals();
    Shell shell(AppModel::shared());
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &shell, &Shell::handOver);
    shell.start(arguments);
    return app.exec();
}
