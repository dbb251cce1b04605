#include "TestSupport.h"

#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace TestSupport {

QString isolateFolders()
{
    static QTemporaryDir root;
    const QString base = root.path();
    for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"}) {
        const QString path = base + QLatin1Char('/') + QString::fromLatin1(name).toLower();
        QDir().mkpath(path);
        qputenv(name, path.toLocal8Bit());
    }
    QStandardPaths::setTestModeEnabled(false);
    return base;
}

QProcessEnvironment programEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &name : env.keys()) {
        if (name.startsWith(QLatin1String("QT_")) || name.startsWith(QLatin1String("LC_")) ||
            name.startsWith(QLatin1String("WAYLAND_")) || name.startsWith(QLatin1String("GDK_")))
            env.remove(name);
    }
    for (const char *name : {"XDG_CURRENT_DESKTOP", "XDG_SESSION_DESKTOP", "DESKTOP_SESSION", "LANGUAGE",
                             "XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("x11"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    env.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    return env;
}

} // namespace TestSupport
