#pragma once

#include "services/UpdateSignature.h"

#include <QByteArray>
#include <QString>

// What becomes of a finished download: the work runs on a thread of its own, since a release is
// up to 256 MiB and must not stall the program while it is hashed.
struct UpdateDownloadCheck
{
    SignatureCheck check = SignatureCheck::Unavailable;
    // Where the verified release is: an earlier verified copy of the very same release in the
    // folder, or the download itself under its final name. Empty unless check is Valid.
    QString path;
    QString error;

    // Verifies the downloaded `partial` file (in `folder`) against the release's signature. Valid:
    // an existing file `fileName`, "name (2)"… with the same signed content is reused and the
    // partial file removed; otherwise the partial file takes the first free of those names.
    // Anything else: the partial file is removed.
    static UpdateDownloadCheck run(const QString &partial, const QString &folder, const QString &fileName,
                                   const QByteArray &signatureBase64, const QByteArray &publicKeyBase64);
};
