#include "DesktopTools.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QTest>
#include <QThread>
#include <QWidget>
#include <functional>

namespace DesktopTools {

QString run(const QString &program, const QStringList &arguments, int timeoutMs)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

bool hasProgram(const QString &program)
{
    return !QStandardPaths::findExecutable(program).isEmpty();
}

QProcess *startDetachedChild(const QString &program, const QStringList &arguments, QObject *parent)
{
    auto *process = new QProcess(parent);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(program, arguments);
    process->waitForStarted();
    QObject::connect(parent, &QObject::destroyed, process, [process] {
        process->kill();
        process->waitForFinished(2000);
    });
    return process;
}

bool waitFor(const std::function<bool()> &predicate, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!predicate()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

bool activate(QWidget &window)
{
    return waitFor([&] {
        run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QString::number(window.winId())});
        return QTest::qWaitForWindowActive(&window, 500);
    });
}

} // namespace DesktopTools
