#include "features/settings/SettingsText.h"

#include "models/FileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace SettingsText {

QString shortcutHint(bool registered, bool throughDesktopPortal, const QString &keptByDesktop)
{
    if (registered && !keptByDesktop.isEmpty())
        return QStringLiteral("Your desktop keeps %1 for this shortcut. To use the new one, change "
                              "Grumblix's shortcut in your desktop's keyboard settings.")
            .arg(keptByDesktop);
    if (registered)
        return QStringLiteral("Works from any app. No special permission needed.");
    if (throughDesktopPortal)
        return QStringLiteral(
            "The desktop did not bind this shortcut. Add a custom shortcut in your "
            "desktop's keyboard settings that runs: xdg-open 'grumblix://log?source=shortcut'");
    return QStringLiteral("That shortcut is taken by something else. Try another.");
}

Installation installationOf(const QString &programPath)
{
    if (programPath.isEmpty())
        return Installation::package;
    const QFileInfo program(QDir::cleanPath(programPath));
    const QString path = program.absoluteFilePath();
    const bool packaged = path.startsWith(QLatin1String("/usr/")) &&
                          !path.startsWith(QLatin1String("/usr/local/")) &&
                          program.absoluteDir().dirName() == QLatin1String("grumblix");
    return packaged ? Installation::package : Installation::source;
}

Installation currentInstallation()
{
    return installationOf(QCoreApplication::applicationFilePath());
}

QString updateNote(const QUrl &feed, Installation installation)
{
    if (!feed.isValid() || feed.host().isEmpty()) {
        if (installation == Installation::source)
            return QStringLiteral("This build has no update feed: to update it, pull the new version "
                                  "and run ./scripts/setup.sh run again.");
        return QStringLiteral(
            "This build has no update feed: your package manager keeps Grumblix up to date.");
    }
    return QStringLiteral("Updates come from %1 and are signed, so only genuine builds install. "
                          "The check sends nothing but the app version.")
        .arg(feed.host());
}

QString eraseTitle(qsizetype count)
{
    return QStringLiteral("Erase all %1 incidents?").arg(count);
}

QString exportFailed(const QString &fileName, const QString &reason)
{
    return FileWriter::exportFailureText(fileName, reason);
}

} // namespace SettingsText

namespace Appearances {

const QList<AppearanceOption> &all()
{
    static const QList<AppearanceOption> options{AppearanceOption::system, AppearanceOption::light,
                                                 AppearanceOption::dark};
    return options;
}

QString rawValue(AppearanceOption option)
{
    switch (option) {
    case AppearanceOption::light:
        return QStringLiteral("light");
    case AppearanceOption::dark:
        return QStringLiteral("dark");
    case AppearanceOption::system:
        break;
    }
    return QStringLiteral("system");
}

QString label(AppearanceOption option)
{
    switch (option) {
    case AppearanceOption::light:
        return QStringLiteral("Paper");
    case AppearanceOption::dark:
        return QStringLiteral("Night");
    case AppearanceOption::system:
        break;
    }
    return QStringLiteral("System");
}

AppearanceOption fromStored(const QString &raw)
{
    if (raw == QLatin1String("light"))
        return AppearanceOption::light;
    if (raw == QLatin1String("dark"))
        return AppearanceOption::dark;
    return AppearanceOption::system;
}

} // namespace Appearances
