#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// The exchange between a later launch and the running instance over the single-instance socket:
// one request frame with the launch's arguments, one reply that tells what became of them.
namespace HandOver {

// Where the running instance listens and keeps its lock, in its private runtime folder.
QString socketPathIn(const QString &folder);
QString lockPathIn(const QString &folder);

// A request larger than this is not a launch.
constexpr qsizetype maxFrame = 1 << 20;

// Requests are written by HandOverWire::encodeRequest.
// The arguments once the whole frame is in `buffer` (which then loses it); none while it is
// incomplete. `malformed` is set for bytes that can never become a request.
std::optional<QStringList> takeRequest(QByteArray &buffer, bool *malformed);

struct Reply
{
    enum class Status
    {
        done,    // handled; an incident it logged is on disk
        failed,  // handled, but what it logged could not be saved
        refused, // the instance cannot take launches now; nothing was done
    };
    Status status = Status::done;
    QString message; // for the launcher's user; empty when done

    QByteArray encode() const;
    // A reply once the running instance closed the connection after writing it.
    static std::optional<Reply> decode(const QByteArray &bytes);
};

} // namespace HandOver
