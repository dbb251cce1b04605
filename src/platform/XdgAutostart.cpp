#include "XdgAutostart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString kFileName = QStringLiteral("grumblix.desktop");

// The value of `key` in the [Desktop Entry] group, trimmed; empty when absent.
QString entryValue(const QByteArray &text, const QByteArray &key)
{
    bool inEntry = false;
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry)
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && line.left(equals).trimmed() == key)
            return QString::fromUtf8(line.mid(equals + 1).trimmed());
    }
    return {};
}

} // namespace

XdgAutostart::XdgAutostart(QString configHome, QString executable)
    : m_configHome(std::move(configHome)), m_executable(std::move(executable))
{
}

XdgAutostart XdgAutostart::forCurrentUser()
{
    return XdgAutostart(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation),
                        launcherFor(QCoreApplication::applicationFilePath()));
}

QString XdgAutostart::launcherFor(const QString &programProper)
{
    // The entry names the public command, not the private program under libexec: that path is no
    // interface, and the launcher hands a login start to an instance that already runs. Where the
    // install rules put it: bin/ and libexec/grumblix/ side by side under one prefix.
    const QFileInfo program(programProper);
    QStringList candidates{program.absolutePath() + QStringLiteral("/grumblix")};
    if (program.absoluteDir().dirName() == QLatin1String("grumblix"))
        candidates.append(program.absolutePath() + QStringLiteral("/../../bin/grumblix"));
    for (const QString &candidate : candidates) {
        const QFileInfo launcher(candidate);
        if (launcher.isFile() && launcher.isExecutable())
            return QDir::cleanPath(launcher.absoluteFilePath());
    }
    return programProper;
}

QString XdgAutostart::filePath() const
{
    return m_configHome + QStringLiteral("/autostart/") + kFileName;
}

bool XdgAutostart::isEnabled() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.read(64 * 1024);
    if (entryValue(text, "Hidden").compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return false;
    return entryValue(text, "X-GNOME-Autostart-enabled")
               .compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

bool XdgAutostart::setEnabled(bool on, QString *error)
{
    const QString path = filePath();
    if (!on) {
        QFile file(path);
        if (!file.exists() || file.remove())
            return true;
        if (error)
            *error = QStringLiteral("Could not remove %1: %2.")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("Could not create the folder %1.").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QSaveFile file(path);
    const QByteArray text = entryText(m_executable);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("Could not write %1: %2.")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

QString XdgAutostart::execValue(const QString &executable)
{
    // Inside double quotes the characters " ` $ \ take a backslash; the string escaping of the
    // file format then doubles every backslash, and a literal % is written %%.
    QString quoted;
    bool needsQuotes = false;
    for (const QChar c : executable) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
            needsQuotes = true;
        }
        if (c.isSpace() || QStringLiteral("'><~|&;*?#()").contains(c))
            needsQuotes = true;
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1String("%"), QLatin1String("%%"));
    return needsQuotes ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

QByteArray XdgAutostart::entryText(const QString &executable)
{
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Grumblix\n");
    text += QStringLiteral("Comment=Hit the big red button every time something at work frustrates you\n");
    text += QStringLiteral("Exec=") + execValue(executable) + QLatin1Char('\n');
    // Session managers skip an entry whose TryExec program is gone, so an entry left behind by an
    // uninstall starts nothing and reports no failure at login.
    QString tryExec = executable;
    tryExec.replace(QLatin1String("\\"), QLatin1String("\\\\"))
        .replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text += QStringLiteral("TryExec=") + tryExec + QLatin1Char('\n');
    text += QStringLiteral("Icon=grumblix\n");
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}
