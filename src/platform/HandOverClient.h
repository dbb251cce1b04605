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
        notTaken, // an instance is there but did not take the request: nothing was handed over
        noAnswer, // the instance had the whole request but gave no reply that can be read: it may
                  // have been carried out
        tooLarge, // an instance listens, but the request is over the frame limit; nothing was sent
                  // and reply holds the refusal to show
    };
    Outcome outcome = Outcome::noServer;
    HandOver::Reply reply;

    static HandOverAttempt send(const QString &socketPath, const QStringList &arguments, int timeoutMs);
};
