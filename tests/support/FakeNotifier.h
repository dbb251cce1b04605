#pragma once

#include "platform/Notifier.h"

#include <QList>

// A notifier that keeps what it was asked. Like the desktop's, it answers authorisation questions
// on a later turn of the event loop, with the authorisation in force at the time of the question.
class FakeNotifier : public Notifier
{
    Q_OBJECT
public:
    using Notifier::Notifier;

    void queryAuthorized(std::function<void(bool authorized)> done) override;
    void post(const Notice &notice) override { posted.append(notice); }
    void requestAuthorization() override { ++authorizationRequests; }

    // What a click on a notice with this route does.
    void click(const QString &route) { Q_EMIT clicked(route); }

    bool authorized = true;
    QList<Notice> posted;
    int queries = 0;
    int answers = 0; // queries answered so far
    // Every question asked has its answer (and whatever the answer sends has been posted).
    bool settled() const { return answers == queries; }
    int authorizationRequests = 0;
};
