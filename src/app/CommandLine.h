#pragma once

#include <QDate>
#include <QList>
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
    static QString versionText();

    // What the help says, as one table: --help and the manual page are both made from it. In a
    // name, a word in capitals (PAGE, KEY) stands for what the user fills in.
    struct HelpEntry
    {
        QString name;
        QString text;
    };
    struct HelpSection
    {
        QString title;       // in --help: "Options"
        QString manTitle;    // in the manual page: "OPTIONS"
        QString placeholder; // the line of the page's template it replaces: "@OPTIONS@"
        QList<HelpEntry> entries;
    };
    static QList<HelpSection> helpSections();

    // The sections laid out in columns at most 80 wide.
    static QString helpText();
    // The manual page from its template (packaging/debian/grumblix.1): every section's placeholder
    // line becomes the section in troff, "@DATE@" the date, "@VERSION@" the version.
    static QString manPage(const QString &manTemplate, const QDate &date);
};
