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

} // namespace TestSupport
