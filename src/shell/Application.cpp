#include "shell/Application.h"

#include <QEvent>
#include <QList>
#include <QRegularExpression>
#include <cstdlib>
#include <mutex>
#include <unistd.h>

namespace {

struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QString text;
};

// What the message handler needs while the application object is made; Qt's threads may log too.
struct Start
{
    QList<HeldMessage> held;
    const std::function<void(const QString &)> *failed = nullptr;
};
std::recursive_mutex startMutex;
Start *start = nullptr;
QtMessageHandler previousHandler = nullptr;

// One line from what Qt said before it gave up: the most telling of its messages.
QString failureLine(const QList<HeldMessage> &held, const QString &fatal)
{
    static const QRegularExpression gone(QStringLiteral("^could not connect to display (.*)$"));
    static const QRegularExpression missing(
        QStringLiteral("^Could not find the Qt platform plugin \"([^\"]*)\""));
    QString reason;
    for (const HeldMessage &message : held) {
        if (const QRegularExpressionMatch match = gone.match(message.text); match.hasMatch()) {
            reason = QStringLiteral("the X display %1 cannot be opened any more").arg(match.captured(1));
            break;
        }
        if (const QRegularExpressionMatch match = missing.match(message.text); match.hasMatch()) {
            reason = QStringLiteral("there is no Qt platform plugin \"%1\"").arg(match.captured(1));
            break;
        }
    }
    if (reason.isEmpty()) {
        reason = fatal.section(QLatin1Char('\n'), 0, 0).trimmed();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
    }
    return QStringLiteral("Grumblix could not start: %1; nothing was logged.").arg(reason);
}

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    std::unique_lock<std::recursive_mutex> locker(startMutex);
    if (!start) {
        // Made already: a thread that picked this handler just before it was replaced.
        locker.unlock();
        previousHandler(type, context, text);
        return;
    }
    if (type != QtFatalMsg) {
        start->held.append({type, QByteArray(context.category), text});
        return;
    }
    (*start->failed)(failureLine(start->held, text));
    ::_exit(EXIT_FAILURE);
}

} // namespace

std::unique_ptr<Application> Application::create(int &argc, char **argv,
                                                 const std::function<void(const QString &)> &failed)
{
    Start watch;
    watch.failed = &failed;
    {
        const std::lock_guard<std::recursive_mutex> locker(startMutex);
        start = &watch;
    }
    previousHandler = qInstallMessageHandler(holdMessage);
    auto app = std::make_unique<Application>(argc, argv);
    qInstallMessageHandler(previousHandler);
    {
        const std::lock_guard<std::recursive_mutex> locker(startMutex);
        start = nullptr;
    }
    for (const HeldMessage &message : std::as_const(watch.held)) {
        const QMessageLogContext context(nullptr, 0, nullptr,
                                         message.category.isEmpty() ? nullptr : message.category.constData());
        previousHandler(message.type, context, message.text);
    }
    return app;
}

bool Application::event(QEvent *event)
{
    if (event->type() == QEvent::ApplicationPaletteChange)
        Q_EMIT paletteChanged();
    return QApplication::event(event);
}
