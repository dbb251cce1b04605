#include "Unprivileged.h"

#include <QCoreApplication>
#include <QProcess>
#include <unistd.h>

namespace Unprivileged {

std::optional<bool> runTestFunction(const QString &function)
{
    if (geteuid() != 0)
        return std::nullopt;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Folders of root's that nobody may not write.
    env.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    env.insert(QStringLiteral("HOME"), QStringLiteral("/tmp"));
    for (const char *name :
         {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "XDG_RUNTIME_DIR"})
        env.remove(QString::fromLatin1(name));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QStringLiteral("setpriv"), {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                            QStringLiteral("--clear-groups"), QStringLiteral("--"),
                                            QCoreApplication::applicationFilePath(), function});
    if (!child.waitForFinished(60000)) {
        child.kill();
        child.waitForFinished();
        qWarning("the unprivileged run of %s did not finish", qPrintable(function));
        return false;
    }
    const QByteArray output = child.readAll();
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!passed)
        qWarning("unprivileged run of %s:\n%s", qPrintable(function), output.constData());
    return passed;
}

} // namespace Unprivileged
