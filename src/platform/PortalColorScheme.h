#pragma once

#include "platform/ColorSchemeSource.h"

#include <QDBusConnection>

class QDBusPendingCallWatcher;
class QDBusMessage;

// Reads `org.freedesktop.appearance color-scheme` from the settings portal and follows its
// SettingChanged signal. Every call is asynchronous; until the portal answers (or when there is
// none) the scheme is NoPreference.
class PortalColorScheme : public ColorSchemeSource
{
    Q_OBJECT
public:
    explicit PortalColorScheme(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                               QObject *parent = nullptr);

    Scheme scheme() const override { return m_scheme; }

    // The portal's value: 1 prefers dark, 2 prefers light, anything else no preference.
    static Scheme fromPortalValue(uint value);

private Q_SLOTS:
    void onSettingChanged(const QDBusMessage &message);

private:
    void readInitial();
    void setScheme(Scheme scheme);

    QDBusConnection m_bus;
    Scheme m_scheme = Scheme::NoPreference;
    bool m_changedSeen = false;
};
