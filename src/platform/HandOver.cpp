#include "HandOver.h"

#include <QDataStream>
#include <QIODevice>

namespace HandOver {

namespace {
constexpr quint32 protocolMagic = 0x47524d31; // "GRM1"
constexpr quint32 nullArray = 0xffffffff;

// A frame is a QDataStream byte array: a big-endian length, then the payload.
std::optional<quint32> payloadLength(const QByteArray &buffer)
{
    if (buffer.size() < 4)
        return std::nullopt;
    const auto *bytes = reinterpret_cast<const uchar *>(buffer.constData());
    return quint32(bytes[0]) << 24 | quint32(bytes[1]) << 16 | quint32(bytes[2]) << 8 | bytes[3];
}

char statusByte(Reply::Status status)
{
    switch (status) {
    case Reply::Status::done:
        return HandOverWire::doneByte;
    case Reply::Status::kept:
        return HandOverWire::keptByte;
    case Reply::Status::refused:
        return HandOverWire::refusedByte;
    case Reply::Status::unanswered:
        break;
    }
    return HandOverWire::unansweredByte;
}

} // namespace

QString socketPathIn(const QString &folder)
{
    return folder + QStringLiteral("/grumblix.socket");
}

QString lockPathIn(const QString &folder)
{
    return folder + QStringLiteral("/grumblix.lock");
}

qsizetype announcedFrameSize(const QByteArray &buffer)
{
    const std::optional<quint32> length = payloadLength(buffer);
    if (!length || *length == nullArray)
        return -1;
    return 4 + qsizetype(*length);
}

std::optional<QStringList> takeRequest(QByteArray &buffer, bool *malformed)
{
    *malformed = false;
    const std::optional<quint32> announced = payloadLength(buffer);
    if (!announced)
        return std::nullopt;
    const quint32 length = *announced;
    if (length == nullArray || length > quint32(maxFrame)) {
        *malformed = true;
        return std::nullopt;
    }
    if (buffer.size() < 4 + qsizetype(length))
        return std::nullopt;
    const QByteArray payload = buffer.mid(4, length);
    buffer.remove(0, 4 + length);
    QDataStream body(payload);
    quint32 magic = 0;
    QStringList arguments;
    body >> magic;
    if (body.status() != QDataStream::Ok || magic != protocolMagic) {
        *malformed = true;
        return std::nullopt;
    }
    // The list by hand: QDataStream's own reader reserves room for as many strings as the count
    // claims, so a frame of a few bytes could ask for gigabytes. Every string takes at least its
    // four-byte length, which bounds an honest count by the payload.
    quint32 count = 0;
    body >> count;
    if (body.status() != QDataStream::Ok || count > quint32(payload.size() / 4)) {
        *malformed = true;
        return std::nullopt;
    }
    for (quint32 i = 0; i < count; ++i) {
        QString argument;
        body >> argument;
        if (body.status() != QDataStream::Ok) {
            *malformed = true;
            return std::nullopt;
        }
        arguments.append(argument);
    }
    if (!body.atEnd()) {
        *malformed = true;
        return std::nullopt;
    }
    return arguments;
}

int Reply::exitStatus() const
{
    return HandOverWire::exitStatusFor(statusByte(status));
}

QByteArray Reply::encode() const
{
    return QByteArray(1, statusByte(status)) + message.toUtf8();
}

std::optional<Reply> Reply::decode(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return std::nullopt;
    Reply reply;
    switch (bytes.front()) {
    case HandOverWire::doneByte:
        reply.status = Status::done;
        break;
    case HandOverWire::keptByte:
    case HandOverWire::failedByteOfOldVersions:
        reply.status = Status::kept;
        break;
    case HandOverWire::refusedByte:
        reply.status = Status::refused;
        break;
    case HandOverWire::unansweredByte:
        reply.status = Status::unanswered;
        break;
    default:
        return std::nullopt;
    }
    reply.message = QString::fromUtf8(bytes.mid(1));
    return reply;
}

} // namespace HandOver
