#include "FreedesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString interface = QStringLiteral("org.freedesktop.Notifications");

// Old notices whose close signal never came are forgotten beyond this many.
constexpr qsizetype maxRemembered = 64;

} // namespace

FreedesktopNotifier::FreedesktopNotifier(const QDBusConnection &bus, QObject *parent)
    : Notifier(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // No sender name is given: naming the service would make Qt look up its owner with a blocking
    // call. The ids we keep filter out other programs' notices.
    m_bus.connect(QString(), path, interface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(QString(), path, interface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onNotificationClosed(uint, uint)));
    m_bus.connect(QString(), path, interface, QStringLiteral("ActivationToken"), this,
                  SLOT(onActivationToken(uint, QString)));
}

void FreedesktopNotifier::queryAuthorized(std::function<void(bool authorized)> done)
{
    if (!m_bus.isConnected()) {
        QTimer::singleShot(0, this, [done = std::move(done)] { done(false); });
        return;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("GetCapabilities"));
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, done = std::move(done)](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<QStringList> reply = *w;
                if (reply.isError()) {
                    done(false);
                    return;
                }
                m_capabilities = reply.value();
                done(true);
            });
}

void FreedesktopNotifier::post(const Notice &notice)
{
    if (!m_bus.isConnected())
        return;
    QVariantMap hints{
        {QStringLiteral("desktop-entry"), QStringLiteral("grumblix")},
        {QStringLiteral("urgency"), QVariant::fromValue<uchar>(1)},
    };
    if (m_capabilities.contains(QLatin1String("sound")))
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    // A daemon that reads markup in bodies would swallow "<" and "&"; the text is meant as written.
    const QString body =
        m_capabilities.contains(QLatin1String("body-markup")) ? notice.body.toHtmlEscaped() : notice.body;
    // The "default" action is what a click on the notice's body invokes.
    const QStringList actions{QStringLiteral("default"), QStringLiteral("Open")};

    QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Notify"));
    call << QStringLiteral("Grumblix")                           // app_name
         << uint(0)                                              // replaces_id: every notice is a new one
         << QStringLiteral("grumblix")                           // app_icon
         << notice.title << body << actions << hints << int(-1); // expire_timeout: the daemon's default
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, callTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, route = notice.route](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                if (!reply.isError())
                    remember(reply.value(), route);
            });
}

void FreedesktopNotifier::requestAuthorization()
{
    // The freedesktop service has no permission prompt; asking only checks that it is there.
    queryAuthorized([](bool) {});
}

void FreedesktopNotifier::remember(uint id, const QString &route)
{
    if (!m_routes.contains(id))
        m_order.append(id);
    m_routes.insert(id, route);
    while (m_order.size() > maxRemembered) {
        const uint oldest = m_order.takeFirst();
        m_routes.remove(oldest);
        m_tokens.remove(oldest);
    }
}

void FreedesktopNotifier::onActionInvoked(uint id, const QString &action)
{
    Q_UNUSED(action) // every action of our notices counts as the click
    const auto it = m_routes.constFind(id);
    if (it == m_routes.constEnd())
        return;
    const QString route = it.value();
    m_routes.erase(it);
    m_order.removeOne(id);
    // The daemon sends a token just before the click; Qt's Wayland plugin takes it from the
    // environment (and clears it) when the window that the click opens asks for focus.
    if (const QString token = m_tokens.take(id); !token.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    Q_EMIT clicked(route);
}

void FreedesktopNotifier::onActivationToken(uint id, const QString &token)
{
    if (m_routes.contains(id))
        m_tokens.insert(id, token);
}

void FreedesktopNotifier::onNotificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason)
    // Some daemons report the close before the action; keep the route a moment longer so that a
    // click reported second still finds it.
    QTimer::singleShot(1000, this, [this, id] {
        m_tokens.remove(id);
        if (m_routes.remove(id))
            m_order.removeOne(id);
    });
}
