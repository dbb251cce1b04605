#include "TestRerun.h"

#include <QCoreApplication>
#include <QProcess>

namespace TestRerun {

bool run(const QString &function, const QString &wrapper, const QStringList &wrapperArguments,
         const QProcessEnvironment &env, const QString &how)
{
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(wrapper, wrapperArguments + QStringList{QCoreApplication::applicationFilePath(), function});
    if (!child.waitForFinished(120000)) {
        child.kill();
        child.waitForFinished();
        qWarning("the %s run of %s did not finish", qPrintable(how), qPrintable(function));
        return false;
    }
    const QByteArray output = child.readAll();
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!passed)
        qWarning("%s run of %s:\n%s", qPrintable(how), qPrintable(function), output.constData());
    return passed;
}

} // namespace TestRerun
