#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

// The settings page's choices of text, apart from its widgets.
namespace SettingsText {

// The note under the shortcut recorder: whether the desktop took the shortcut.
// Through the desktop's shortcut portal a refusal is the desktop's, not another program's: the
// hint then says how to bind the key in the desktop's own settings instead. `keptByDesktop` is the
// key a desktop went on binding instead of the one recorded: the hint says where to change it.
QString shortcutHint(bool registered, bool throughDesktopPortal = false, const QString &keptByDesktop = {});

// How this copy of Grumblix was put in place, which says who updates a build without a feed.
enum class Installation
{
    package, // the package manager's
    source,  // built from a checkout: run from its build folder or installed by setup.sh
};

// Judged by where the program proper runs from: a package puts it in a grumblix folder under /usr
// (never /usr/local); ~/.local, a build folder or any other prefix is a build from source. An
// unknown path counts as a package.
Installation installationOf(const QString &programPath);
// The installation of the running program.
Installation currentInstallation();

// The note under the update controls: where updates come from, or, for a build without a feed,
// how this copy is updated instead.
QString updateNote(const QUrl &feed, Installation installation = Installation::package);

// The erase dialog's title for the number of incidents stored at the press.
QString eraseTitle(qsizetype count);

// The Data card's line after a failed export.
QString exportFailed(const QString &fileName, const QString &reason);

} // namespace SettingsText

// The "Look" choices, in the order the control shows them.
enum class AppearanceOption
{
    system,
    light,
    dark,
};

namespace Appearances {
const QList<AppearanceOption> &all();
QString rawValue(AppearanceOption option);
QString label(AppearanceOption option);
// "light" and "dark" name theirs; any other stored text (absent, "system", garbled) is system.
AppearanceOption fromStored(const QString &raw);
} // namespace Appearances
