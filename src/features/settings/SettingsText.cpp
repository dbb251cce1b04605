#include "features/settings/SettingsText.h"

#include "models/FileWriter.h"

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

QString updateNote(const QUrl &feed)
{
    if (!feed.isValid() || feed.host().isEmpty())
        return QStringLiteral(
            "This build has no update feed: your package manager keeps Grumblix up to date.");
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
