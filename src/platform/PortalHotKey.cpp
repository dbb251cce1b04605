#include "PortalHotKey.h"

#include "KeySyms.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <X11/Xlib.h>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");

struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalHotKey::PortalHotKey(const QDBusConnection &bus, QObject *parent) : HotKeyBackend(parent), m_bus(bus)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
    m_bus.connect(portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
                  SLOT(onActivated(QDBusMessage)));
}

PortalHotKey::~PortalHotKey()
{
    closeSession();
}

bool PortalHotKey::isAvailable() const
{
    return m_bus.isConnected();
}

QString PortalHotKey::triggerText(quint32 keyCode, quint32 modifiers)
{
    const quint32 keysym = keysymForQtKey(int(keyCode));
    const char *name = keysym ? XKeysymToString(keysym) : nullptr;
    if (!name)
        return {};
    QStringList parts;
    if (modifiers & controlBit)
        parts << QStringLiteral("CTRL");
    if (modifiers & optionBit)
        parts << QStringLiteral("ALT");
    if (modifiers & shiftBit)
        parts << QStringLiteral("SHIFT");
    if (modifiers & commandBit)
        parts << QStringLiteral("LOGO");
    parts << QString::fromLatin1(name);
    return parts.join(QLatin1Char('+'));
}

QString PortalHotKey::newToken()
{
    return QStringLiteral("grumblix%1").arg(++m_tokenCounter);
}

QString PortalHotKey::requestPath(const QString &token) const
{
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

QString PortalHotKey::request(const char *slot)
{
    // Subscribe to the answer before asking, so a fast portal cannot answer unheard.
    const QString token = newToken();
    m_pendingRequest = requestPath(token);
    m_pendingSlot = slot;
    m_bus.connect(portalService, m_pendingRequest, requestInterface, QStringLiteral("Response"), this, slot);
    return token;
}

void PortalHotKey::dropRequest()
{
    if (!m_pendingRequest.isEmpty())
        m_bus.disconnect(portalService, m_pendingRequest, requestInterface, QStringLiteral("Response"), this,
                         m_pendingSlot);
    m_pendingRequest.clear();
    m_pendingSlot = nullptr;
}

namespace {

// Our one shortcut as the portal takes it, asking for `trigger`.
QList<PortalShortcut> shortcutsFor(const QString &trigger)
{
    return {{PortalHotKey::shortcutId(),
             {{QStringLiteral("description"), QStringLiteral("Log an incident")},
              {QStringLiteral("preferred_trigger"), trigger}}}};
}

} // namespace

bool PortalHotKey::grab(quint32 keyCode, quint32 modifiers)
{
    ungrab();
    m_trigger = triggerText(keyCode, modifiers);
    if (m_trigger.isEmpty() || !isAvailable())
        return false;

    const QString token = request(SLOT(onSessionResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface,
                                                       QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("session_handle_token"), sessionToken()},
                        {QStringLiteral("shortcuts"), QVariant::fromValue(shortcutsFor(m_trigger))}};
    send(call);
    return true;
}

void PortalHotKey::send(const QDBusMessage &call)
{
    // A call the portal rejects outright (no portal to start, no such method, a bad argument) ends
    // the registration, unless a later grab has replaced it meanwhile.
    const quint64 generation = m_generation;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher *w) {
                w->deleteLater();
                if (generation == m_generation && w->isError()) {
                    dropRequest();
                    Q_EMIT lost();
                }
            });
}

namespace {

const QString triggerKey = QStringLiteral("trigger_description");

// The properties of our shortcut in a results map, if the map lists it.
std::optional<QVariantMap> listedProperties(const QVariantMap &results)
{
    const auto found = results.constFind(QStringLiteral("shortcuts"));
    if (found == results.constEnd())
        return std::nullopt;
    QList<PortalShortcut> shortcuts;
    if (found->canConvert<QDBusArgument>())
        found->value<QDBusArgument>() >> shortcuts;
    else
        shortcuts = found->value<QList<PortalShortcut>>();
    for (const PortalShortcut &shortcut : std::as_const(shortcuts)) {
        if (shortcut.id == PortalHotKey::shortcutId())
            return shortcut.properties;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> PortalHotKey::listedTrigger(const QVariantMap &results) const
{
    const auto properties = listedProperties(results);
    if (!properties)
        return std::nullopt;
    const auto trigger = properties->constFind(triggerKey);
    if (trigger == properties->constEnd())
        return QString(); // bound; the desktop did not say to which key
    // An empty description is a shortcut the desktop holds without a key (taken by another program,
    // or cleared by the user): nothing is bound.
    const QString description = trigger->toString();
    return description.isEmpty() ? std::nullopt : std::optional(description);
}

void PortalHotKey::onSessionResponse(uint response, const QVariantMap &results)
{
    dropRequest();
    const QString session = results.value(QStringLiteral("session_handle")).toString();
    if (response != 0 || session.isEmpty()) {
        Q_EMIT lost();
        return;
    }
    m_session = session;
    m_listedAtSession = listedTrigger(results);
    // A session that holds the shortcut on a key is bound: asking again would only make the
    // desktop ask the user (Plasma 5.27 opens its shortcut settings for it).
    if (m_listedAtSession && !m_listedAtSession->isEmpty()) {
        settle(*m_listedAtSession);
        return;
    }
    bind();
}

void PortalHotKey::settle(const QString &description)
{
    if (!description.isEmpty() && description == m_heldDescription && m_trigger != m_heldForTrigger) {
        Q_EMIT kept(description);
        return;
    }
    m_heldDescription = description;
    m_heldForTrigger = m_trigger;
    Q_EMIT confirmed(description);
}

void PortalHotKey::bind()
{
    const QString token = request(SLOT(onBindResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface,
                                                       QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QVariant::fromValue(shortcutsFor(m_trigger))
         << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    send(call);
}

void PortalHotKey::onBindResponse(uint response, const QVariantMap &results)
{
    dropRequest();
    if (response != 0) {
        Q_EMIT lost();
        return;
    }
    if (const auto trigger = listedTrigger(results)) {
        settle(*trigger);
        return;
    }
    if (m_listedAtSession) {
        settle(*m_listedAtSession);
        return;
    }
    list();
}

void PortalHotKey::list()
{
    const QString token = request(SLOT(onListResponse(uint, QVariantMap)));
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface,
                                                       QStringLiteral("ListShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_session))
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    send(call);
}

void PortalHotKey::onListResponse(uint response, const QVariantMap &results)
{
    dropRequest();
    const auto trigger = response == 0 ? listedTrigger(results) : std::nullopt;
    if (trigger)
        settle(*trigger);
    else
        Q_EMIT lost();
}

void PortalHotKey::onActivated(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2)
        return;
    const QString session = qvariant_cast<QDBusObjectPath>(arguments.at(0)).path();
    if (!m_session.isEmpty() && session == m_session && arguments.at(1).toString() == shortcutId())
        Q_EMIT activated();
}

void PortalHotKey::closeSession()
{
    if (m_session.isEmpty())
        return;
    m_bus.asyncCall(
        QDBusMessage::createMethodCall(portalService, m_session, sessionInterface, QStringLiteral("Close")));
    m_session.clear();
}

void PortalHotKey::ungrab()
{
    ++m_generation;
    dropRequest();
    m_listedAtSession.reset();
    closeSession();
}
