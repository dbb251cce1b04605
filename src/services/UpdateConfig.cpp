#include "UpdateService.h"
#include "Versions.h"

#include <optional>

// This file alone sees the feed and key definitions, so changing them rebuilds one file.

namespace {

std::optional<QString> definedText(const char *text)
{
    if (!text)
        return std::nullopt;
    return QString::fromUtf8(text);
}

} // namespace

#ifndef GRUMBLIX_VERSION
#define GRUMBLIX_VERSION nullptr
#endif
#ifndef GRUMBLIX_BUILD_NUMBER
#define GRUMBLIX_BUILD_NUMBER nullptr
#endif
#ifndef GRUMBLIX_UPDATE_FEED_URL
#define GRUMBLIX_UPDATE_FEED_URL ""
#endif
#ifndef GRUMBLIX_UPDATE_PUBLIC_KEY
#define GRUMBLIX_UPDATE_PUBLIC_KEY ""
#endif

UpdateService::Config UpdateService::builtInConfig()
{
    Config config;
    const QString feed = QString::fromUtf8(GRUMBLIX_UPDATE_FEED_URL).trimmed();
    if (!feed.isEmpty())
        config.feedUrl = QUrl(feed, QUrl::StrictMode);
    config.publicKey = QByteArray(GRUMBLIX_UPDATE_PUBLIC_KEY).trimmed();
    config.version = definedText(GRUMBLIX_VERSION).value_or(QString());
    config.build = definedText(GRUMBLIX_BUILD_NUMBER).value_or(QString());
    return config;
}

QString UpdateService::versionString()
{
    return formatVersionString(definedText(GRUMBLIX_VERSION), definedText(GRUMBLIX_BUILD_NUMBER));
}
