#include "app/CommandLine.h"

#include <QCommandLineParser>

namespace {

// Options the toolkit itself reads (a session manager restores with -session, a user may pick a
// platform plugin). They are understood and passed over, so their values are never taken for URLs.
const QStringList toolkitOptionsWithValue{
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),   QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("session"),        QStringLiteral("display"),
    QStringLiteral("style"),    QStringLiteral("stylesheet"),         QStringLiteral("name"),
    QStringLiteral("title"),    QStringLiteral("geometry")};
const QStringList toolkitFlags{QStringLiteral("reverse"), QStringLiteral("sync"), QStringLiteral("widgetcount"),
                               QStringLiteral("nograb"), QStringLiteral("dograb")};

} // namespace

CommandLine CommandLine::parse(const QStringList &argv)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption demo(QStringLiteral("demo"));
    const QCommandLineOption tab(QStringLiteral("tab"), {}, QStringLiteral("page"));
    const QCommandLineOption dashboard(QStringLiteral("dashboard"));
    const QCommandLineOption panel(QStringLiteral("panel"));
    parser.addOptions({help, version, demo, tab, dashboard, panel});
    for (const QString &name : toolkitOptionsWithValue)
        parser.addOption(QCommandLineOption(name, {}, QStringLiteral("value")));
    for (const QString &name : toolkitFlags)
        parser.addOption(QCommandLineOption(name));

    CommandLine result;
    const QString program = argv.isEmpty() ? QStringLiteral("grumblix") : argv.first();
    if (!parser.parse(argv.isEmpty() ? QStringList{program} : argv)) {
        const QStringList unknown = parser.unknownOptionNames();
        for (const QString &name : unknown)
            result.warnings << QStringLiteral("grumblix: unknown option '%1%2' ignored (see grumblix --help)")
                                   .arg(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--"), name);
        if (unknown.isEmpty())
            result.warnings << QStringLiteral("grumblix: %1 (see grumblix --help)").arg(parser.errorText());
    }
    if (parser.isSet(help)) {
        result.action = Action::Help;
        return result;
    }
    if (parser.isSet(version)) {
        result.action = Action::Version;
        return result;
    }

    result.arguments << program;
    if (parser.isSet(demo))
        result.arguments << QStringLiteral("--demo");
    // Only the first page asked for counts, as it always has.
    if (const QStringList tabs = parser.values(tab); !tabs.isEmpty())
        result.arguments << QStringLiteral("--tab=") + tabs.first();
    if (parser.isSet(dashboard))
        result.arguments << QStringLiteral("--dashboard");
    if (parser.isSet(panel))
        result.arguments << QStringLiteral("--panel");
    for (const QString &positional : parser.positionalArguments()) {
        if (!positional.isEmpty())
            result.arguments << positional;
    }
    return result;
}

QString CommandLine::helpText()
{
    return QStringLiteral(
        "Usage: grumblix [options] [grumblix://URL ...]\n"
        "\n"
        "Log frustrating moments at work with a big red button in your tray.\n"
        "Starting Grumblix while it runs hands the request to the running one.\n"
        "\n"
        "Options:\n"
        "  --dashboard       open the dashboard\n"
        "  --tab=PAGE        open the dashboard on a page: overview, history, report,\n"
        "                    achievements, triggers or settings\n"
        "  --panel           open the panel under the tray icon\n"
        "  --demo            fill an empty store with five weeks of demo incidents\n"
        "  -h, --help        show this help and exit\n"
        "  -v, --version     show the version and exit\n"
        "\n"
        "URLs:\n"
        "  grumblix://log                        log an incident\n"
        "  grumblix://log?trigger=KEY&note=TEXT  log one with a trigger and a note\n"
        "  grumblix://report                     open the Friday report\n"
        "  grumblix://                           open the dashboard\n");
}

QString CommandLine::versionText()
{
    return QStringLiteral("Grumblix %1 (build %2)\n")
        .arg(QStringLiteral(GRUMBLIX_VERSION), QStringLiteral(GRUMBLIX_BUILD_NUMBER));
}
