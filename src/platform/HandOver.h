#pragma once

#include "platform/HandOverWire.h"

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

// A request larger than this is not taken; the launcher checks before it sends.
constexpr qsizetype maxFrame = qsizetype(HandOverWire::maxFrame);

// Requests are written by HandOverWire::encodeRequest.
// The arguments once the whole frame is in `buffer` (which then loses it); none while it is
// incomplete. `malformed` is set for bytes that can never become a request.
std::optional<QStringList> takeRequest(QByteArray &buffer, bool *malformed);
// The whole frame's size (its length included) as the first four bytes of `buffer` announce it;
// -1 before they are there or when they announce no frame at all.
qsizetype announcedFrameSize(const QByteArray &buffer);

struct Reply
{
    enum class Status
    {
        done,       // handled; an incident it logged is on disk
        kept,       // handled, but what it logged is not on disk yet: the instance keeps it while
                    // it runs and saves it once the cause passes (see message)
        refused,    // the instance did not take the launch (see message); nothing was done
        unanswered, // known only to the launching side: the instance had the launch but did not
                    // answer, so it may have been carried out
    };
    Status status = Status::done;
    QString message; // for the launcher's user; empty when done

    // The launch's exit status (HandOverWire::ExitStatus).
    int exitStatus() const;

    QByteArray encode() const;
    // A reply once the running instance closed the connection after writing it.
    static std::optional<Reply> decode(const QByteArray &bytes);
};

} // namespace HandOver
