#include "QuitOnSignal.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
bool mainLoopRuns = false;

void onSignal(int)
{
    // Only async-signal-safe work here: the event loop reads the byte.
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

void quitOnTerminationSignals()
{
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
        char buffer[16];
        while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
        }
        // exit(), not quit(): quit() first closes every window and gives up when one will not
        // close, and a logout's signal must reach aboutToQuit whatever dialog is open. exit() ends
        // the loops of any modal dialogs along with the main loop.
        if (mainLoopRuns)
            QCoreApplication::exit(EXIT_SUCCESS);
        else
            QThread::currentThread()->exit(EXIT_FAILURE);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void mainLoopStarting()
{
    mainLoopRuns = true;
}
