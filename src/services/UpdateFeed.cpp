#include "UpdateFeed.h"

#include "Versions.h"

#include <QHostAddress>
#include <QXmlStreamReader>

namespace {

UpdateItem readItem(QXmlStreamReader &xml)
{
    UpdateItem item;
    QString enclosureVersion;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("title")) {
            item.title = xml.readElementText().trimmed();
        } else if (name == QLatin1String("version")) {
            item.version = xml.readElementText().trimmed();
        } else if (name == QLatin1String("build")) {
            item.build = xml.readElementText().trimmed();
        } else if (name == QLatin1String("description")) {
            item.notes = xml.readElementText().trimmed();
        } else if (name == QLatin1String("enclosure")) {
            for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                const auto key = attribute.name();
                const QString value = attribute.value().toString().trimmed();
                if (key == QLatin1String("url"))
                    item.downloadUrl = QUrl(value, QUrl::StrictMode);
                else if (key == QLatin1String("length"))
                    item.length = qMax<qint64>(0, value.toLongLong());
                else if (key == QLatin1String("edSignature"))
                    item.signature = value.toLatin1();
                else if (key == QLatin1String("version"))
                    enclosureVersion = value;
            }
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (item.version.isEmpty())
        item.version = enclosureVersion;
    return item;
}

bool isUsable(const UpdateItem &item, bool allowLoopbackHttp)
{
    return !item.version.isEmpty() && !item.signature.isEmpty() &&
           isUpdateUrlAllowed(item.downloadUrl, allowLoopbackHttp);
}

} // namespace

UpdateFeed parseUpdateFeed(const QByteArray &data, bool allowLoopbackHttp)
{
    UpdateFeed feed;
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("rss")) {
        feed.error = QStringLiteral("The update feed is not an RSS feed.");
        return feed;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("channel")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() == QLatin1String("item")) {
                UpdateItem item = readItem(xml);
                if (isUsable(item, allowLoopbackHttp))
                    feed.items.append(std::move(item));
            } else {
                xml.skipCurrentElement();
            }
        }
    }
    if (xml.hasError()) {
        feed.items.clear();
        QString reason = xml.errorString().trimmed();
        while (reason.endsWith(QLatin1Char('.')))
            reason.chop(1);
        if (!reason.isEmpty())
            reason[0] = reason[0].toLower();
        feed.error = QStringLiteral("The update feed could not be read: %1 at line %2.").arg(reason).arg(xml.lineNumber());
    } else if (feed.items.isEmpty()) {
        feed.error = QStringLiteral("The update feed lists no release that can be installed.");
    }
    return feed;
}

bool isUpdateUrlAllowed(const QUrl &url, bool allowLoopbackHttp)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    if (url.scheme() == QLatin1String("https"))
        return true;
    if (url.scheme() != QLatin1String("http") || !allowLoopbackHttp)
        return false;
    if (url.host() == QLatin1String("localhost"))
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

const UpdateItem *newestItem(const QList<UpdateItem> &items)
{
    const UpdateItem *best = nullptr;
    for (const UpdateItem &item : items) {
        if (!best || isNewerRelease(item.version, item.build, best->version, best->build))
            best = &item;
    }
    return best;
}
