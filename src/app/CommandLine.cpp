#include "app/CommandLine.h"

#include "platform/HandOverWire.h"

#include <QCommandLineParser>
#include <QRegularExpression>

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

QList<CommandLine::HelpSection> CommandLine::helpSections()
{
    const auto status = [](int code) { return QString::number(code); };
    return {
        {QStringLiteral("Options"),
         QStringLiteral("OPTIONS"),
         QStringLiteral("@OPTIONS@"),
         {
             {QStringLiteral("--dashboard"), QStringLiteral("open the dashboard")},
             {QStringLiteral("--tab=PAGE"),
              QStringLiteral("show PAGE when the dashboard opens: overview, history, report, achievements, "
                             "triggers or settings")},
             {QStringLiteral("--panel"), QStringLiteral("open the panel under the tray icon")},
             {QStringLiteral("--demo"),
              QStringLiteral("fill an empty store with five weeks of demo incidents")},
             {QStringLiteral("-h, --help"), QStringLiteral("show this help and exit")},
             {QStringLiteral("-v, --version"), QStringLiteral("show the version and exit")},
         }},
        {QStringLiteral("URLs"),
         QStringLiteral("URLS"),
         QStringLiteral("@URLS@"),
         {
             {QStringLiteral("grumblix://log"), QStringLiteral("log an incident")},
             {QStringLiteral("grumblix://log?trigger=KEY&note=TEXT"),
              QStringLiteral("log one with a trigger and a note")},
             {QStringLiteral("grumblix://report"), QStringLiteral("open the Friday report")},
             {QStringLiteral("grumblix://"), QStringLiteral("open the dashboard")},
         }},
        {QStringLiteral("Exit status"),
         QStringLiteral("EXIT STATUS"),
         QStringLiteral("@EXIT_STATUS@"),
         {
             {status(HandOverWire::exitDone), QStringLiteral("done; what it logged is on disk")},
             {status(HandOverWire::exitNothingDone),
              QStringLiteral("nothing was done (refused, no desktop session, cannot start, too large); the "
                             "message says why")},
             {status(HandOverWire::exitKept),
              QStringLiteral("logged but not on disk yet (the disk is full, say): the running Grumblix "
                             "keeps it while it runs and saves it once there is room, so do not log it "
                             "again")},
             {status(HandOverWire::exitUnknown),
              QStringLiteral("not known: the running Grumblix stopped answering after it was handed the "
                             "launch, so a URL may already be logged; check the history before trying "
                             "again")},
         }},
    };
}

QString CommandLine::helpText()
{
    constexpr qsizetype width = 80;
    QString text =
        QStringLiteral("Usage: grumblix [options] [grumblix://URL ...]\n"
                       "\n"
                       "Log frustrating moments at work with a big red button in your tray.\n"
                       "Starting Grumblix while it runs hands the request to the running one. A launch\n"
                       "of URLs alone returns once they are stored, and starts Grumblix in the\n"
                       "background when it is not running.\n");
    for (const HelpSection &section : helpSections()) {
        // The texts start in one column, on a tab stop of four past the longest name.
        qsizetype longest = 0;
        for (const HelpEntry &entry : section.entries)
            longest = qMax(longest, entry.name.size());
        const qsizetype column = (2 + longest + 2 + 3) / 4 * 4;
        text += QLatin1Char('\n') + section.title + QStringLiteral(":\n");
        for (const HelpEntry &entry : section.entries) {
            QString line = QStringLiteral("  ") + entry.name;
            for (const QString &word : entry.text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                const bool first = line.size() < column;
                if (!first && line.size() + 1 + word.size() > width) {
                    text += line + QLatin1Char('\n');
                    line.clear();
                }
                if (line.size() < column)
                    line = line.leftJustified(column, QLatin1Char(' '));
                else
                    line += QLatin1Char(' ');
                line += word;
            }
            text += line + QLatin1Char('\n');
        }
    }
    return text;
}

namespace {

// Text for a troff text line: a backslash written as one, a minus where an option's dashes stand,
// and nothing at a line's start that troff would read as a request.
QString troffText(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\e");
        else if (c == QLatin1Char('-') && (i == 0 || !text.at(i - 1).isLetterOrNumber()))
            out += QStringLiteral("\\-");
        else
            out += c;
    }
    if (out.startsWith(QLatin1Char('.')) || out.startsWith(QLatin1Char('\'')))
        out.prepend(QStringLiteral("\\&"));
    return out;
}

// An entry's name as the page shows it: in bold, the words to fill in in italics, the separator of
// a short and a long option in roman.
QString troffName(const QString &name)
{
    static const QRegularExpression parts(QStringLiteral("([A-Z][A-Z0-9_]+)|(, )"));
    QString out;
    qsizetype at = 0;
    const auto bold = [&out](const QString &text) {
        if (!text.isEmpty())
            out += QStringLiteral("\\fB") + troffText(text);
    };
    for (QRegularExpressionMatchIterator it = parts.globalMatch(name); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        bold(name.mid(at, match.capturedStart() - at));
        out += (match.hasCaptured(1) ? QStringLiteral("\\fI") : QStringLiteral("\\fR")) +
               troffText(match.captured());
        at = match.capturedEnd();
    }
    bold(name.mid(at));
    return out + QStringLiteral("\\fR");
}

} // namespace

QString CommandLine::manPage(const QString &manTemplate, const QDate &date)
{
    QString page = manTemplate;
    page.replace(QStringLiteral("@DATE@"), date.toString(Qt::ISODate));
    page.replace(QStringLiteral("@VERSION@"), QStringLiteral(GRUMBLIX_VERSION));
    for (const HelpSection &section : helpSections()) {
        QString troff = QStringLiteral(".SH ") + section.manTitle + QLatin1Char('\n');
        for (const HelpEntry &entry : section.entries)
            troff += QStringLiteral(".TP\n") + troffName(entry.name) + QLatin1Char('\n') +
                     troffText(entry.text) + QLatin1Char('\n');
        page.replace(section.placeholder + QLatin1Char('\n'), troff);
    }
    return page;
}

QString CommandLine::versionText()
{
    return QStringLiteral("Grumblix %1 (build %2)\n")
        .arg(QStringLiteral(GRUMBLIX_VERSION), QStringLiteral(GRUMBLIX_BUILD_NUMBER));
}
