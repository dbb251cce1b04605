#pragma once

#include "Autostart.h"

// Start at login through the XDG autostart folder: $XDG_CONFIG_HOME/autostart/grumblix.desktop,
// an entry that runs the public `grumblix` command of this copy. Turning it off removes the entry.
class XdgAutostart : public Autostart
{
public:
    // `configHome` is $XDG_CONFIG_HOME; `executable` the absolute path the entry runs.
    XdgAutostart(QString configHome, QString executable);

    // Over the user's configuration folder and the launcher of this process's executable.
    static XdgAutostart forCurrentUser();

    // The command that starts the program proper at `programProper`: the `grumblix` beside it in a
    // build folder, <prefix>/bin/grumblix for <prefix>/libexec/grumblix/grumblix-app once installed;
    // `programProper` itself when neither is there.
    static QString launcherFor(const QString &programProper);

    QString filePath() const;

    // An entry counts when it exists and the desktop has not been told to skip it (Hidden=true,
    // or X-GNOME-Autostart-enabled=false as desktops write when the user turns it off there).
    bool isEnabled() const override;
    bool setEnabled(bool on, QString *error) override;

    // The entry's whole text for `executable`.
    static QByteArray entryText(const QString &executable);
    // The Exec value that runs `executable` with no arguments, quoted and escaped as desktop
    // entries require.
    static QString execValue(const QString &executable);

private:
    QString m_configHome;
    QString m_executable;
};
