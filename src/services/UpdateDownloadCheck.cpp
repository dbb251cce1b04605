#include "services/UpdateDownloadCheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Checks a file by mapping it, so a large release is never copied into memory.
SignatureCheck verifyFile(const QString &path, const QByteArray &signature, const QByteArray &key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SignatureCheck::Invalid;
    if (file.size() == 0)
        return verifyUpdateSignature({}, signature, key);
    uchar *mapped = file.map(0, file.size());
    if (!mapped)
        return verifyUpdateSignature(file.readAll(), signature, key);
    const SignatureCheck check = verifyUpdateSignature(
        QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), qsizetype(file.size())), signature, key);
    file.unmap(mapped);
    return check;
}

QString numbered(const QDir &folder, const QFileInfo &name, int n)
{
    if (n == 1)
        return folder.filePath(name.fileName());
    const QString suffix = name.suffix().isEmpty() ? QString() : QLatin1Char('.') + name.suffix();
    return folder.filePath(QStringLiteral("%1 (%2)%3").arg(name.completeBaseName()).arg(n).arg(suffix));
}

} // namespace

UpdateDownloadCheck UpdateDownloadCheck::run(const QString &partial, const QString &folder, const QString &fileName,
                                             const QByteArray &signatureBase64, const QByteArray &publicKeyBase64)
{
    UpdateDownloadCheck result;
    result.check = verifyFile(partial, signatureBase64, publicKeyBase64);
    if (result.check != SignatureCheck::Valid) {
        QFile::remove(partial);
        return result;
    }
    const QDir dir(folder);
    const QFileInfo name(fileName);
    const qint64 size = QFileInfo(partial).size();
    for (int n = 1;; ++n) {
        const QString candidate = numbered(dir, name, n);
        if (!QFileInfo::exists(candidate)) {
            if (QFile::rename(partial, candidate)) {
                result.path = candidate;
            } else {
                result.check = SignatureCheck::Unavailable;
                result.error = QStringLiteral("it could not be moved to %1.").arg(candidate);
                QFile::remove(partial);
            }
            return result;
        }
        // The same signature holds only for the same content: that copy is this release.
        const QFileInfo existing(candidate);
        if (existing.isFile() && existing.size() == size &&
            verifyFile(candidate, signatureBase64, publicKeyBase64) == SignatureCheck::Valid) {
            QFile::remove(partial);
            result.path = candidate;
            return result;
        }
    }
}
