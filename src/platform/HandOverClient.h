#pragma once

#include "platform/HandOver.h"

#include <QString>
#include <QStringList>

// A later launch's side of the hand-over: plain socket calls with a deadline, so it runs before
// any application object exists and never waits longer than it was told.
struct HandOverAttempt
{
    enum class Outcome
    {
        answered, // the running instance replied (see reply)
        noServer, // nobody listens on the socket (none there, or a leftover)
        noAnswer, // connected, but no complete reply before the deadline
        tooLarge, // an instance listens, but the request is over the frame limit; nothing was sent
                  // and reply holds the refusal to show
    };
    Outcome outcome = Outcome::noServer;
    HandOver::Reply reply;

    static HandOverAttempt send(const QString &socketPath, const QStringList &arguments, int timeoutMs);
};
