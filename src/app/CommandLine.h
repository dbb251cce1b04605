#pragma once

#include <QString>
#include <QStringList>

// What `grumblix …` was asked on its command line, read before any window exists so that --help,
// --version and a hand-over to the running instance need no GUI.
struct CommandLine
{
    enum class Action
    {
        Run,     // start, or hand `arguments` over to the running instance
        Help,    // print helpText() and exit 0
        Version, // print versionText() and exit 0
    };

    Action action = Action::Run;
    // The launch as the program understands it: the program path, then the recognised options in
    // their canonical spelling ("--demo", "--tab=history", "--dashboard", "--panel"), then the URLs.
    QStringList arguments;
    // One line per option that was not understood; the launch goes on without it.
    QStringList warnings;

    static CommandLine parse(const QStringList &argv);
    static QString helpText();
    static QString versionText();
};
