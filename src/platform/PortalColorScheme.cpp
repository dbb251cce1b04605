#include "platform/PortalColorScheme.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

// Read() wraps the value in one variant too many on older portals; peel until a number remains.
bool unwrapUint(QVariant v, uint &out)
{
    for (int depth = 0; depth < 4; ++depth) {
        if (v.canConvert<QDBusVariant>() && v.metaType() == QMetaType::fromType<QDBusVariant>()) {
            v = v.value<QDBusVariant>().variant();
            continue;
        }
        if (v.metaType() == QMetaType::fromType<QDBusArgument>()) {
            const auto arg = v.value<QDBusArgument>();
            if (arg.currentType() != QDBusArgument::VariantType)
                return false;
            QDBusVariant inner;
            arg >> inner;
            v = inner.variant();
            continue;
        }
        bool ok = false;
        const uint value = v.toUInt(&ok);
        if (ok)
            out = value;
        return ok;
    }
    return false;
}

} // namespace

PortalColorScheme::PortalColorScheme(const QDBusConnection &bus, QObject *parent)
    : ColorSchemeSource(parent), m_bus(bus)
{
    if (!m_bus.isConnected())
        return;
    // No sender name in the match: naming the portal's well-known name would make Qt look its owner
    // up with a blocking call. The path and interface are the portal's own.
    m_bus.connect(QString(), kPath, kInterface, QStringLiteral("SettingChanged"), this,
                  SLOT(onSettingChanged(QDBusMessage)));
    readInitial();
}

ColorSchemeSource::Scheme PortalColorScheme::fromPortalValue(uint value)
{
    switch (value) {
    case 1:
        return Scheme::Dark;
    case 2:
        return Scheme::Light;
    default:
        return Scheme::NoPreference;
    }
}

void PortalColorScheme::readInitial()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Read"));
    call << kNamespace << kKey;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const QDBusMessage reply = w->reply();
        // A change signal that arrived first is newer than this answer.
        if (m_changedSeen || reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return;
        uint value = 0;
        if (unwrapUint(reply.arguments().constFirst(), value))
            setScheme(fromPortalValue(value));
    });
}

void PortalColorScheme::onSettingChanged(const QDBusMessage &message)
{
    const QList<QVariant> args = message.arguments();
    if (args.size() < 3 || args.at(0).toString() != kNamespace || args.at(1).toString() != kKey)
        return;
    m_changedSeen = true;
    uint v = 0;
    setScheme(unwrapUint(args.at(2), v) ? fromPortalValue(v) : Scheme::NoPreference);
}

void PortalColorScheme::setScheme(Scheme scheme)
{
    if (m_scheme == scheme)
        return;
    m_scheme = scheme;
    Q_EMIT schemeChanged();
}
