#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// One release listed in the update feed.
struct UpdateItem
{
    QString title;
    QString version;      // dotted display version, e.g. "1.2.0"
    QString build;        // build number, may be empty
    QString notes;        // release notes (HTML or plain text)
    QUrl downloadUrl;     // the enclosure
    qint64 length = 0;    // enclosure length in bytes; 0 when not given
    QByteArray signature; // Base64 Ed25519 signature of the download

    bool operator==(const UpdateItem &) const = default;
};

// The feed as read: its usable releases, or why it could not be read.
struct UpdateFeed
{
    QList<UpdateItem> items;
    QString error; // empty when the feed was read
};

// Reads an RSS 2.0 feed whose items carry a version, release notes and an enclosure with an
// Ed25519 signature:
//
//   <rss version="2.0" xmlns:grumblix="https://grumblix.app/xml/update">
//     <channel><item>
//       <title>Grumblix 1.2.0</title>
//       <grumblix:version>1.2.0</grumblix:version>
//       <grumblix:build>31</grumblix:build>
//       <description><![CDATA[<p>What changed</p>]]></description>
//       <enclosure url="https://…/grumblix_1.2.0_amd64.deb" length="1234"
//                  type="application/vnd.debian.binary-package" grumblix:edSignature="…"/>
//     </item></channel>
//   </rss>
//
// Element and attribute names are matched without their prefix. An item without a version, a
// download address that isUpdateUrlAllowed() accepts, or a signature is skipped.
UpdateFeed parseUpdateFeed(const QByteArray &xml, bool allowLoopbackHttp = false);

// Downloads and feeds travel over HTTPS only. Plain HTTP to the loopback host is accepted only
// where asked for (the tests' own feed server); the program's own configuration never asks.
bool isUpdateUrlAllowed(const QUrl &url, bool allowLoopbackHttp = false);

// The newest item by version, then build; none when the list is empty.
const UpdateItem *newestItem(const QList<UpdateItem> &items);
