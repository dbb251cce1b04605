#include "LaunchArguments.h"

LaunchArguments LaunchArguments::parse(const QStringList &arguments)
{
    static const QString tabPrefix = QStringLiteral("--tab=");
    LaunchArguments result;
    result.demo = arguments.contains(QStringLiteral("--demo"));
    result.dashboard = arguments.contains(QStringLiteral("--dashboard"));
    result.panel = arguments.contains(QStringLiteral("--panel"));
    for (const QString &argument : arguments) {
        if (argument.startsWith(tabPrefix)) {
            result.tab = dashboardTabFromRaw(argument.mid(tabPrefix.size()));
            break;
        }
    }
    return result;
}
